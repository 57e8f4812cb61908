#include "model/SheetSetMgrImpl.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include "host/PathUtil.h"
#include "toolkit/common/TkUtf8.h"

CSheetSetMgrImpl::CSheetSetMgrImpl() : toolkit_(TkSmSheetSetMgr::create()) {}

CSheetSetMgrImpl::~CSheetSetMgrImpl() {
    while (!sets_.empty()) closeSheetSet(0);
    toolkit_->release();
}

namespace {
// A set reached through a link is the file the link names, once and for all: its lock, backup and
// journal are beside that file, so it has one lock whatever path each user took to it.
TkString throughLinks(const wchar_t* path) {
    const std::string p = tkToUtf8(path);
    struct stat st {};
    char target[PATH_MAX];
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || !::realpath(p.c_str(), target)) return path;
    return tkFromUtf8(target);
}
}  // namespace

bool CSheetSetMgrImpl::openSheetSet(const wchar_t* linkOrPath) {
    lastError_.clear();
    const TkString resolved = throughLinks(linkOrPath);
    const wchar_t* path = resolved.c_str();
    for (size_t i = 0; i < sets_.size(); ++i)
        if (sameTextNoCase(sets_[i]->getFileName(), path)) {
            current_ = static_cast<int>(i);
            return true;
        }
    try {
        TkSmDatabase* db = toolkit_->openDatabase(path);
        sets_.push_back(new CSheetSetImpl(db));
    } catch (const std::exception& e) {  // the toolkit's refusals, and whatever else a bad file may cause
        lastError_ = tkFromUtf8(e.what());
        return false;
    }
    current_ = static_cast<int>(sets_.size()) - 1;
    return true;
}

bool CSheetSetMgrImpl::reloadSheetSet(int index) {
    lastError_.clear();
    if (index < 0 || index >= getCount()) return false;
    CSheetSetImpl* old = sets_[static_cast<size_t>(index)];
    // Saves replace the file by rename, so what is read is always a whole file. The new copy is
    // read beside the old one: a file that cannot be read leaves the open set as it was.
    TkSmDatabase* fresh = nullptr;
    try {
        fresh = toolkit_->openDatabaseAgain(old->getFileName());
    } catch (const std::exception& e) {
        lastError_ = tkFromUtf8(e.what());
        return false;
    }
    TkSmDatabase* oldDb = old->database();
    sets_[static_cast<size_t>(index)] = new CSheetSetImpl(fresh);
    delete old;
    toolkit_->closeDatabase(oldDb);
    return true;
}

int CSheetSetMgrImpl::closeSheetSet(int index) {
    CSheetSetImpl* s = sets_[static_cast<size_t>(index)];
    TkSmDatabase* db = s->database();
    delete s;
    toolkit_->closeDatabase(db);
    sets_.erase(sets_.begin() + index);
    if (current_ > index) --current_;
    else if (current_ == index) current_ = sets_.empty() ? -1 : (current_ > 0 ? current_ - 1 : 0);
    return current_;
}

CSheetSet* CSheetSetMgrImpl::createSheetSet() {
    TkSmDatabase* db = toolkit_->createDatabase(L"", L"", false);
    return db ? new CSheetSetImpl(db) : nullptr;
}

void CSheetSetMgrImpl::releaseSheetSet(CSheetSet* sheetSet) {
    auto* s = dynamic_cast<CSheetSetImpl*>(sheetSet);
    if (!s) return;
    TkSmDatabase* db = s->database();
    delete s;
    toolkit_->closeDatabase(db);
}

bool CSheetSetMgrImpl::containsLayout(const wchar_t* dwgPath, const wchar_t* layoutName) const {
    for (CSheetSetImpl* s : sets_)
        if (s->containsLayout(dwgPath, layoutName)) return true;
    return false;
}
