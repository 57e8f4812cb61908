#include "drawings/DwgReader.h"

#include "host/PathUtil.h"

#include <sys/stat.h>

#include <cwctype>

#include "drawings/SheetSetStamp.h"
#include "host/Documents.h"
#include "host/Graphics.h"
#include "host/NqSystem.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/gs/TkGsRenderer.h"
#include "toolkit/sm/TkSmDatabase.h"

namespace {

bool sheetsUse(TkSmSubset* s, const TkString& drawing) {
    for (auto e = s->getSheetEnumerator(); TkSmComponent* c = e.next();) {
        if (auto* sheet = tkSmSafeCast<TkSmSheet>(c)) {
            if (sheet->getLayout() && vrutSamePath(sheet->getLayout()->getFileName(), drawing)) return true;
        } else if (auto* sub = tkSmSafeCast<TkSmSubset>(c); sub && sheetsUse(sub, drawing)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void DwgReader::load(const TkString& p, bool sizeLimit, bool listingOnly) {
    lastError = 0;
    fileSize = 0;
    database.reset();
    path = p;
    std::string utf8 = tkToUtf8(p);
    struct stat st {};
    if (::stat(utf8.c_str(), &st) == 0 && S_ISREG(st.st_mode)) fileSize = static_cast<uint32_t>(st.st_size & 0xFFFFFFFFu);
    if (sizeLimit && (st.st_size == 0 || static_cast<uint64_t>(st.st_size) >= kDwgReadSizeLimit)) return;
    // Reads and saves run with bit 0x20 of the host's mode word set, restored afterwards.
    CNqSystem& sys = CNqSystem::instance();
    uint32_t mode = sys.modeWord();
    sys.setModeWord(mode | 0x20);
    auto db = std::make_shared<TkDbDatabase>();
    TkDbReadOptions options;
    options.listingOnly = listingOnly;
    TkDbResult r = db->readDxfFile(utf8, options);
    sys.setModeWord(mode);
    if (!r) {
        lastError = r.code;
        return;
    }
    database = std::move(db);
}

TkString DwgReader::getLastEditedBy() const { return database ? tkFromUtf8(database->getSysVar("LOGINNAME")) : TkString(); }

bool DwgReader::saveAs(const TkString& target, int version) {
    if (!database) return false;
    CNqSystem& sys = CNqSystem::instance();
    uint32_t mode = sys.modeWord();
    sys.setModeWord(mode | 0x20);
    TkDbResult r = database->saveAs(tkToUtf8(target.empty() ? path : target), version);
    sys.setModeWord(mode);
    return r.ok();
}

void DwgReader::setCurrentLayout(const TkString& name) {
    if (database) (void)database->setCurrentLayout(tkToUtf8(name));  // errors are of no interest here
}

std::optional<TkDbLayout> DwgReader::findLayout(const TkString& name) const {
    if (!database) return std::nullopt;
    std::string wanted = tkToUtf8(name);
    for (const TkDbBlockRecord& b : database->blockRecords()) {
        if (!tkDbStartsWithNoCase(b.name(), "*paper_space")) continue;
        const TkDbRecord* l = database->byHandle(b.layoutHandle());
        if (l && l->type() == "LAYOUT" && TkDbLayout(l).name() == wanted) return TkDbLayout(l);
    }
    return std::nullopt;
}

int DwgReader::listPaperLayouts(bool initializedOnly, std::vector<TkString>& names, std::vector<uint32_t>& handles) const {
    if (database)
        for (const TkDbBlockRecord& b : database->blockRecords()) {
            if (!b.isPaperSpace()) continue;
            const TkDbRecord* l = database->byHandle(b.layoutHandle());
            if (!l || l->type() != "LAYOUT") continue;
            TkDbLayout layout(l);
            if (initializedOnly && !database->isInitialized(layout)) continue;
            names.push_back(tkFromUtf8(layout.name()));
            handles.push_back(static_cast<uint32_t>(layout.handle() & 0xFFFFFFFFu));
        }
    return static_cast<int>(names.size());
}

int DwgReader::listBlocks(std::vector<TkString>& names, std::vector<uint32_t>& handles) const {
    if (database)
        for (const TkDbBlockRecord& b : database->blockRecords()) {
            if (b.isAnonymous() || b.layoutHandle() != 0) continue;
            const TkDbRecord* begin = database->blockBegin(b.handle());
            long long flags = begin ? begin->integer(70) : 0;
            if (flags & (4 | 8)) continue;  // external reference or overlay
            names.push_back(tkFromUtf8(b.name()));
            handles.push_back(static_cast<uint32_t>(b.handle() & 0xFFFFFFFFu));
        }
    return static_cast<int>(names.size());
}

void DwgReader::listPageSetups(std::vector<TkString>& names) const {
    if (!database) return;
    for (const TkDbPlotSettings& s : database->pageSetups())
        if (!s.isModelSetup() && (s.plotAreaType() == 5 || s.plotAreaType() == 1)) names.push_back(tkFromUtf8(s.pageSetupName()));
}

TkString DwgReader::readStampSheetSetPath() const { return ::readStampSheetSetPath(database.get()); }

bool DwgReader::writeStamp(const TkString& sheetSetPath, const TkString& drawingPath, const TkString& layoutName,
                           const TkString& layoutHandle) {
    return ::writeStamp(database.get(), sheetSetPath, drawingPath, layoutName, layoutHandle);
}

bool DwgReader::isInSheetSet(const TkString& sheetSetPath) const {
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    try {
        TkSmDatabase* db = mgr->openDatabase(sheetSetPath);
        bool found = sheetsUse(db->getSheetSet(), path);
        mgr->closeDatabase(db);
        return found;
    } catch (const TkException&) {
        return false;
    }
}

QImage DwgReader::getBlockIcon(const TkString& blockName) const {
    if (!database) return {};
    auto b = database->findBlockRecord(tkToUtf8(blockName));
    return b ? tkGsIconImage(b->previewIcon()) : QImage();
}

QImage DwgReader::renderLayoutPreview(const TkString& layoutName, int width, int height) const {
    VrGsManager* gs = vrgsGetGsManager();
    if (!database || vrDocManagerPtr()->documentCount() == 0 || !gs || !findLayout(layoutName)) return {};
    return gs->renderLayout(*database, tkToUtf8(layoutName), width, height);
}
