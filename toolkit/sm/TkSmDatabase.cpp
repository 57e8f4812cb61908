#include "toolkit/sm/TkSmDatabase.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "toolkit/common/TkAtomicFile.h"
#include "toolkit/sm/TkSmStore.h"

TKSM_DEFINE_CLASS(TkSmDatabase, TkSmObject)
TKSM_DEFINE_CLASS(TkSmSheetSetMgr, TkSmObject)

namespace {
bool stampOf(const std::string& path, int64_t& size, int64_t& time) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    size = st.st_size;
    time = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}
}  // namespace

TkSmDatabase::TkSmDatabase() {
    // The database is its own root: the sheet set and everything below belong to it.
    sheetSet_ = TkSmPtr<TkSmSheetSet>::adopt(TkSmSheetSet::create());
    sheetSet_->initNew(this);
    modified_ = false;
}

void TkSmDatabase::setFileName(const TkString& path) {
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
    int64_t size = 0, time = 0;
    if (stampOf(target, size, time)) {
        bool known = size == diskSize_ && time == diskTime_;
        if (known || TkSmStore::isReadable(target)) {
            std::string failure = tkBackupFile(target, target + ".bak");
            (void)failure;  // no backup is no reason to refuse the save itself
        }
    }
    std::string failure = tkWriteFileAtomically(target, text);
    if (!failure.empty()) throw TkException(TkError_WriteFailed, failure);
    stampOf(target, diskSize_, diskTime_);
    modified_ = false;
}

TkSmSheetSetMgr::~TkSmSheetSetMgr() = default;

TkSmDatabase* TkSmSheetSetMgr::openDatabase(const TkString& path) {
    for (auto& db : open_)
        if (db->getFileName() == path) return db.get();
    TkSmPtr<TkSmDatabase> db = TkSmPtr<TkSmDatabase>::adopt(new TkSmDatabase);
    TkSmStore::load(*db.get(), path);  // raises
    int64_t size = 0, time = 0;
    if (stampOf(tkToUtf8(path), size, time)) {
        db->diskSize_ = size;
        db->diskTime_ = time;
    }
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
