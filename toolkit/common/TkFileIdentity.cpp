#include "toolkit/common/TkFileIdentity.h"

#include <sys/stat.h>

namespace {
TkFileIdentity fromStat(const struct stat& st) {
    TkFileIdentity id;
    id.device = static_cast<uint64_t>(st.st_dev);
    id.inode = static_cast<uint64_t>(st.st_ino);
    id.size = static_cast<int64_t>(st.st_size);
    id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}
}  // namespace

TkFileIdentity TkFileIdentity::ofDescriptor(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? fromStat(st) : TkFileIdentity{};
}

TkFileIdentity TkFileIdentity::ofPath(const std::string& utf8Path) {
    struct stat st {};
    return ::stat(utf8Path.c_str(), &st) == 0 ? fromStat(st) : TkFileIdentity{};
}
