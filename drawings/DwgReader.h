#pragma once
// A drawing read into memory for the palette and the operations, without opening it in the editor.
#include <QImage>
#include <memory>
#include <optional>
#include <vector>

#include "host/VrTypes.h"
#include "toolkit/db/TkDbDatabase.h"

// Drawings of this size or more (and empty files) are not read in the background.
constexpr uint64_t kDwgReadSizeLimit = 8388608;

struct DwgReader {
    std::shared_ptr<TkDbDatabase> database;
    uint32_t lastError = 0;  // toolkit error code of the last failed read, 0 otherwise
    uint32_t fileSize = 0;   // low 32 bits of the file's size; 0 when it could not be opened

    // Reads the drawing; with `sizeLimit`, files of 0 bytes or kDwgReadSizeLimit and more are skipped.
    // With `listingOnly` the drawing is read for its facts only (layouts, header), fast, and must
    // not be edited or saved.
    void load(const TkString& path, bool sizeLimit, bool listingOnly = false);
    TkString getLastEditedBy() const;  // "LOGINNAME": who saved it last
    // Saves the held drawing to `path` (its own file when empty) in toolkit version `version`.
    bool saveAs(const TkString& path, int version);
    void setCurrentLayout(const TkString& name);
    // The paper-space layout of that exact name; model space is never found.
    std::optional<TkDbLayout> findLayout(const TkString& name) const;
    // Appends name and low 32 bits of the handle of every paper-space layout in block table order;
    // with `initializedOnly`, layouts without an overall viewport are left out. The new count.
    int listPaperLayouts(bool initializedOnly, std::vector<TkString>& names, std::vector<uint32_t>& handles) const;
    // Block definitions a user can insert: not anonymous, not layouts, not external references.
    int listBlocks(std::vector<TkString>& names, std::vector<uint32_t>& handles) const;
    // Named page setups for paper space whose plot area is the layout or the extents.
    void listPageSetups(std::vector<TkString>& names) const;
    TkString readStampSheetSetPath() const;
    // Stamps the held drawing as the sheet `layoutName` of `sheetSetPath`; false without a drawing.
    bool writeStamp(const TkString& sheetSetPath, const TkString& drawingPath, const TkString& layoutName,
                    const TkString& layoutHandle);
    // Whether a sheet of that sheet set refers to this drawing (paths compared ignoring case).
    bool isInSheetSet(const TkString& sheetSetPath) const;
    // The block's stored preview icon as an image; null without one or when it is damaged.
    QImage getBlockIcon(const TkString& blockName) const;
    // The layout rendered for a thumbnail; null without a drawing, an open document in the host,
    // the host's graphics, or the layout.
    QImage renderLayoutPreview(const TkString& layoutName, int width, int height) const;

    TkString path;  // the file last loaded
};
