#pragma once
// The per-process cache of drawing facts and thumbnails, keyed by the exact path: two spellings
// of one path are two entries. An entry is read again when the file's last-write time changes.
#include <QImage>
#include <map>
#include <memory>
#include <set>

#include "drawings/DwgReader.h"

class CSheetImpl;  // registered by identity only

struct LayoutCacheEntry {
    QImage previews[3];  // 64 x 42, 128 x 84, 256 x 168; null until rendered
    std::set<const CSheetImpl*> sheets;
};

// What the palette shows of a drawing. The drawing itself is not kept (a thousand drawings would
// hold several times their size on disk): its facts are taken when it is read, and it is read
// again only to render a preview that is not cached yet.
struct DwgCacheEntry : DwgReader {
    int64_t lastWriteTime = 0;
    std::map<TkString, std::unique_ptr<LayoutCacheEntry>> layouts;  // exact, case-sensitive names
    bool readable = false;      // it was read (not too big, not damaged)
    TkString lastEditedBy;      // "LOGINNAME"
    // Width and height of each paper layout's limits, by exact layout name.
    std::map<TkString, std::pair<double, double>> sheetSizes;
    // Reads the drawing with the size limit and keeps its facts, not the drawing.
    void loadFacts(const TkString& path);
};

class CDwgCache : public CNqUnknown {
public:
    static constexpr const wchar_t* kServiceName = L"CDwgCache";
    static const QSize kPreviewSizes[3];

    // The drawing's entry, read or refreshed as needed, with `sheet` registered under the layout.
    // Never null: an unreadable drawing gives an entry without database.
    DwgCacheEntry* getEntry(const CSheetImpl* sheet, const TkString& layoutName, const TkString& fileName);
    // Takes the sheet out of whatever layout it is registered under.
    void unregister(const CSheetImpl* sheet);
    // The layout's preview at size index 0..2, rendered on first use; null for a layout no sheet
    // registered, or when rendering failed (tried again next time).
    // The cache keeps the image; the pointer stays valid until the entry is refreshed or purged.
    const QImage* getPreview(DwgCacheEntry* entry, const TkString& layoutName, unsigned sizeIndex);
    // Drops layouts no sheet uses, and drawings left without layouts.
    void purge();
    DwgCacheEntry* findEntry(const TkString& path) const;
    size_t size() const { return entries_.size(); }

private:
    std::map<TkString, std::unique_ptr<DwgCacheEntry>> entries_;
};
