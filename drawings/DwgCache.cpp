#include "drawings/DwgCache.h"

#include "drawings/FileLocks.h"
#include "toolkit/common/TkUtf8.h"

const QSize CDwgCache::kPreviewSizes[3] = {QSize(64, 42), QSize(128, 84), QSize(256, 168)};

void DwgCacheEntry::loadFacts(const TkString& file) {
    load(file, true, true);
    readable = database != nullptr;
    lastEditedBy = getLastEditedBy();
    sheetSizes.clear();
    if (database)
        for (const TkDbLayout& l : database->layouts())
            if (l.blockRecordHandle() != database->modelSpace())  // sheets are paper layouts
                sheetSizes[tkFromUtf8(l.name())] = {l.limMax().x - l.limMin().x, l.limMax().y - l.limMin().y};
    database.reset();
}

DwgCacheEntry* CDwgCache::getEntry(const CSheetImpl* sheet, const TkString& layoutName, const TkString& fileName) {
    int64_t time = 0;
    if (!getFileTime(fileName, time)) time = 0;
    DwgCacheEntry* entry = findEntry(fileName);
    if (entry && entry->lastWriteTime != time) {
        // The drawing changed on disk: forget its previews and registrations and read it again.
        entry->layouts.clear();
        entry->loadFacts(fileName);
        entry->lastWriteTime = time;
    } else if (!entry) {
        auto fresh = std::make_unique<DwgCacheEntry>();
        fresh->loadFacts(fileName);
        fresh->lastWriteTime = time;
        entry = fresh.get();
        entries_.emplace(fileName, std::move(fresh));
    }
    auto& layout = entry->layouts[layoutName];
    if (!layout) layout = std::make_unique<LayoutCacheEntry>();
    layout->sheets.insert(sheet);
    return entry;
}

void CDwgCache::unregister(const CSheetImpl* sheet) {
    for (auto& [path, entry] : entries_)
        for (auto& [name, layout] : entry->layouts) layout->sheets.erase(sheet);
}

const QImage* CDwgCache::getPreview(DwgCacheEntry* entry, const TkString& layoutName, unsigned sizeIndex) {
    if (!entry || sizeIndex > 2) return nullptr;
    auto it = entry->layouts.find(layoutName);
    if (it == entry->layouts.end()) return nullptr;
    QImage& preview = it->second->previews[sizeIndex];
    if (preview.isNull() && entry->readable) {
        // The drawing is read again for the render and let go of after it.
        if (!entry->database) entry->load(entry->path, true);
        preview = entry->renderLayoutPreview(layoutName, kPreviewSizes[sizeIndex].width(), kPreviewSizes[sizeIndex].height());
        entry->database.reset();
    }
    return preview.isNull() ? nullptr : &preview;  // a failed render is tried again next time
}

void CDwgCache::purge() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        auto& layouts = it->second->layouts;
        std::erase_if(layouts, [](const auto& l) { return l.second->sheets.empty(); });
        if (layouts.empty()) it = entries_.erase(it);
        else ++it;
    }
}

DwgCacheEntry* CDwgCache::findEntry(const TkString& path) const {
    auto it = entries_.find(path);
    return it == entries_.end() ? nullptr : it->second.get();
}
