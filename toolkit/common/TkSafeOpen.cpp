#include "toolkit/common/TkSafeOpen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int tkOpenRegularFile(const std::string& path, int flags, int mode, bool followLinks) {
    const int fd = ::open(path.c_str(), flags | (followLinks ? 0 : O_NOFOLLOW) | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    // Reads and writes of a regular file wait as usual.
    const int status = ::fcntl(fd, F_GETFL);
    if (status >= 0) (void)::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

bool tkIsNotRegularFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}
