#include "drawings/FileLocks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "toolkit/common/TkSafeOpen.h"
#include "toolkit/common/TkUtf8.h"

bool tryLockFile(int fd, bool write) {
    struct flock fl {};
    fl.l_type = write ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

bool isFileHeldByOther(const std::string& p) {
    int fd = tkOpenRegularFile(p, O_RDONLY, 0, true);  // a drawing may be a link; a pipe must not block
    if (fd < 0) return false;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    bool held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

bool isDrawingLocked(const TkString& path) {
    std::string p = tkToUtf8(path);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode) || ::access(p.c_str(), W_OK) != 0) return true;  // read-only or no access: not editable
    // Asked, never tried: a test lock, however short, would make a real holder's attempt fail.
    return isFileHeldByOther(p);
}

bool getFileTime(const TkString& path, int64_t& time) {
    std::string p = tkToUtf8(path);
    int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!ok) return false;
    // Local calendar fields, formed back into a calendar time with the local rules for daylight
    // saving; before 1900 the time reads as 0.
    std::tm local {};
    time_t t = st.st_mtim.tv_sec;
    if (!::localtime_r(&t, &local)) return false;
    if (local.tm_year < 0) {
        time = 0;
        return true;
    }
    local.tm_isdst = -1;
    time = static_cast<int64_t>(::mktime(&local));
    return true;
}

bool FileHold::hold(const TkString& path) {
    release();
    int fd = ::open(tkToUtf8(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    if (!tryLockFile(fd, true)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool FileHold::release() {
    if (fd_ < 0) return false;
    ::close(fd_);
    fd_ = -1;
    return true;
}

const wchar_t* heldBySomeoneElseText() { return L"in use by someone else or read-only"; }
