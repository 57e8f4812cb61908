#include "toolkit/sm/TkSmReferences.h"

#include <filesystem>

#include "toolkit/sm/TkSmDatabase.h"

TKSM_DEFINE_CLASS(TkSmFileReference, TkSmObject)
TKSM_DEFINE_CLASS(TkSmDbLayoutReference, TkSmFileReference)
TKSM_DEFINE_CLASS(TkSmDbBlockRecordReference, TkSmFileReference)

void TkSmFileReference::setFileName(const TkString& path) {
    file_ = path;
    relative_.clear();  // recomputed from the new path when the sheet set is saved
    markModified();
}

TkString TkSmFileReference::resolveFileName() const {
    namespace fs = std::filesystem;
    if (relative_.empty() || !database() || database()->getFileName().empty()) return file_;
    std::error_code ec;
    fs::path folder = fs::path(tkToUtf8(database()->getFileName())).parent_path();
    fs::path viaRelative = (folder / tkToUtf8(relative_)).lexically_normal();
    if (fs::exists(viaRelative, ec)) return tkFromUtf8(viaRelative.string());
    if (!file_.empty() && fs::exists(fs::path(tkToUtf8(file_)), ec)) return file_;
    return tkFromUtf8(viaRelative.string());
}

void TkSmDbLayoutReference::setName(const TkString& n) {
    name_ = n;
    markModified();
}
void TkSmDbLayoutReference::setHandle(const TkString& h) {
    handle_ = h;
    markModified();
}
void TkSmDbBlockRecordReference::setName(const TkString& n) {
    name_ = n;
    markModified();
}
void TkSmDbBlockRecordReference::setHandle(const TkString& h) {
    handle_ = h;
    markModified();
}
void TkSmDbBlockRecordReference::setOwnerHandle(const TkString& h) {
    ownerHandle_ = h;
    markModified();
}
