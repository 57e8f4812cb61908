#include "toolkit/sm/TkSmDatabase.h"

#include <algorithm>
#include <filesystem>

#include "toolkit/common/TkAtomicFile.h"
#include "toolkit/common/TkFileJournal.h"
#include "toolkit/sm/TkSmStore.h"

TKSM_DEFINE_CLASS(TkSmDatabase, TkSmObject)
TKSM_DEFINE_CLASS(TkSmSheetSetMgr, TkSmObject)


TkSmDatabase::TkSmDatabase() {
    // The database is its own root: the sheet set and everything below belong to it.
    sheetSet_ = TkSmPtr<TkSmSheetSet>::adopt(TkSmSheetSet::create());
    sheetSet_->initNew(this);
    modified_ = false;
}

void TkSmDatabase::setFileName(const TkString& path) {
    if (path != fileName_) disk_ = {};  // another file: nothing of it has been read
    fileName_ = path;
    modified_ = true;
}

void TkSmDatabase::save() {
    if (fileName_.empty()) throw TkException(TkError_InvalidInput, "the sheet set has no data file name to save to");
    std::filesystem::path path(tkToUtf8(fileName_));
    std::string text = TkSmStore::serialize(*this, tkFromUtf8(path.parent_path().string()));
    std::string target = path.string();
    // The file being replaced becomes the backup, but only when it is known to be good: one that
    // another program damaged must not push out the last good copy.
    // A file that still has the identity this database last saw is known to be good.
    TkFileIdentity now = TkFileIdentity::ofPath(target);
    if (now.known()) {
        if (now == disk_ || TkSmStore::isReadable(target)) {
            // An action's journal keeps the backup it replaces, so that undoing the action puts
            // back the backup too.
            TkFileJournal* journal = TkFileJournal::active();
            if (!journal || journal->beforeWrite(target + ".bak").empty()) {
                std::string failure = tkBackupFile(target, target + ".bak");
                (void)failure;  // no backup is no reason to refuse the save itself
            }
        }
    }
    std::string failure = tkWriteFileAtomically(target, text, &disk_);
    if (!failure.empty()) throw TkException(TkError_WriteFailed, failure);
    modified_ = false;
}

TkSmSheetSetMgr::~TkSmSheetSetMgr() = default;

TkSmDatabase* TkSmSheetSetMgr::openDatabase(const TkString& path) {
    for (auto& db : open_)
        if (db->getFileName() == path) return db.get();
    return openDatabaseAgain(path);
}

TkSmDatabase* TkSmSheetSetMgr::openDatabaseAgain(const TkString& path) {
    TkSmPtr<TkSmDatabase> db = TkSmPtr<TkSmDatabase>::adopt(new TkSmDatabase);
    db->disk_ = TkSmStore::load(*db.get(), path);  // raises
    open_.push_back(db);
    return db.get();
}

TkSmDatabase* TkSmSheetSetMgr::createDatabase(const TkString& fileName, const TkString& templateName, bool) {
    TkSmPtr<TkSmDatabase> db = TkSmPtr<TkSmDatabase>::adopt(new TkSmDatabase);
    db->fileName_ = fileName;
    db->templateName_ = templateName;
    open_.push_back(db);
    return db.get();
}

void TkSmSheetSetMgr::closeDatabase(TkSmDatabase* db) {
    std::erase_if(open_, [&](const TkSmPtr<TkSmDatabase>& p) { return p.get() == db; });
}
