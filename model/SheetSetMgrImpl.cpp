#include "model/SheetSetMgrImpl.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "host/PathUtil.h"
#include "toolkit/common/TkUtf8.h"

CSheetSetMgrImpl::CSheetSetMgrImpl() : toolkit_(TkSmSheetSetMgr::create()) {}

CSheetSetMgrImpl::~CSheetSetMgrImpl() {
    while (!sets_.empty()) closeSheetSet(0);
    toolkit_->release();
}

bool CSheetSetMgrImpl::openSheetSet(const wchar_t* path) {
    for (size_t i = 0; i < sets_.size(); ++i)
        if (sameTextNoCase(sets_[i]->getFileName(), path)) {
            current_ = static_cast<int>(i);
            return true;
        }
    if (!vrutPathExists(path)) return false;
    int fd = ::open(tkToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    try {
        TkSmDatabase* db = toolkit_->openDatabase(path);
        sets_.push_back(new CSheetSetImpl(db));
    } catch (const TkException&) {
        return false;
    }
    current_ = static_cast<int>(sets_.size()) - 1;
    return true;
}

bool CSheetSetMgrImpl::reloadSheetSet(int index) {
    TkString path = sets_[static_cast<size_t>(index)]->getFileName();
    // The file may be in the middle of being written by another process: try for a second.
    TkSmSheetSetMgr* probe = TkSmSheetSetMgr::create();
    bool ok = false;
    for (int attempt = 0; attempt < 10 && !ok; ++attempt) {
        try {
            probe->closeDatabase(probe->openDatabase(path));
            ok = true;
        } catch (const TkException&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    probe->release();
    if (!ok) return false;
    CSheetSetImpl* old = sets_[static_cast<size_t>(index)];
    TkSmDatabase* oldDb = old->database();
    delete old;
    toolkit_->closeDatabase(oldDb);
    try {
        sets_[static_cast<size_t>(index)] = new CSheetSetImpl(toolkit_->openDatabase(path));
        return true;
    } catch (const TkException&) {
        sets_.erase(sets_.begin() + index);  // it went away between the probe and now
        if (current_ >= getCount()) current_ = getCount() - 1;
        return false;
    }
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
