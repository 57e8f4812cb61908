#include "toolkit/common/TkAtomicFile.h"

#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "toolkit/common/TkFileIdentity.h"
#include "toolkit/common/TkFileJournal.h"

namespace {

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    std::filesystem::path p(path);
    return p.parent_path().empty() ? std::string(".") : p.parent_path().string();
}

void syncFolder(const std::string& dir) {
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

// The process's umask, read once while the program starts on one thread: reading it means setting
// it, and a file another thread made meanwhile would get the wrong permissions.
const mode_t processUmask = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

// A temporary file beside `path`, with the permissions `path` has (or 0666 less umask).
int makeTemp(const std::string& path, std::string& tmp) {
    std::filesystem::path target(path);
    tmp = (std::filesystem::path(folderOf(path)) / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) return -1;
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode = 0666 & ~processUmask;
    }
    ::fchmod(fd, mode);
    return fd;
}

// The fault seam: the n-th change from now fails as a full disk would. Armed by tests, or for a
// whole process by VORN_FAIL_WRITE_AFTER=n (counting from 1).
std::atomic<long> g_faultIn{[] {
    const char* v = std::getenv("VORN_FAIL_WRITE_AFTER");
    return v && *v ? std::atol(v) : 0L;
}()};

bool faultNow() {
    long n = g_faultIn.load();
    while (n > 0 && !g_faultIn.compare_exchange_weak(n, n - 1)) {
    }
    return n == 1;
}

// Tells the active journal before a change, and of a change that failed.
std::string journalBefore(const std::string& path, bool removal) {
    TkFileJournal* j = TkFileJournal::active();
    if (!j) return {};
    std::string e = removal ? j->beforeRemove(path) : j->beforeWrite(path);
    if (!e.empty()) j->noteFailure(e);
    return e;
}

std::string failed(std::string reason) {
    if (TkFileJournal* j = TkFileJournal::active()) j->noteFailure(reason);
    return reason;
}

}  // namespace

void tkArmWriteFault(long nthChange) { g_faultIn.store(nthChange); }

std::string tkRemoveFile(const std::string& path) {
    if (std::string e = journalBefore(path, true); !e.empty()) return e;
    if (faultNow()) return failed("cannot remove " + path + ": " + std::strerror(EIO));
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return failed("cannot remove " + path + ": " + std::strerror(errno));
    syncFolder(folderOf(path));
    return {};
}

namespace {
// Where a save of `path` goes: the path itself, or for a link the file it names, so that the link
// stays and the file it names gets the save. Empty with `error` for a link that names no regular
// file and for a pipe, device or folder at `path`.
std::string saveTarget(const std::string& path, std::string& error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return path;  // a new file
    if (S_ISREG(st.st_mode)) return path;
    if (S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        struct stat target {};
        if (::realpath(path.c_str(), resolved) && ::stat(resolved, &target) == 0 && S_ISREG(target.st_mode)) return resolved;
        error = "cannot write " + path + ": a link to no regular file";
        return {};
    }
    error = "cannot write " + path + ": not a regular file";
    return {};
}
}  // namespace

std::string tkWriteFileAtomically(const std::string& linkOrPath, std::string_view data, TkFileIdentity* written) {
    std::string error;
    const std::string path = saveTarget(linkOrPath, error);
    if (path.empty()) return failed(error);
    if (std::string e = journalBefore(path, false); !e.empty()) return e;
    if (faultNow()) return failed("cannot write " + path + ": " + std::strerror(ENOSPC));
    std::string tmp;
    int fd = makeTemp(path, tmp);
    if (fd < 0) return failed("cannot write in the folder " + folderOf(path) + ": " + std::strerror(errno));
    auto fail = [&](const char* what) {
        int e = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        return failed(std::string(what) + " " + path + ": " + std::strerror(e));
    };
    if (!writeAll(fd, data.data(), data.size())) return fail("cannot write");
    if (::fsync(fd) != 0) return fail("cannot flush");
    // A rename keeps the inode and the modification time: this is what the path will show.
    const TkFileIdentity identity = TkFileIdentity::ofDescriptor(fd);
    if (written) *written = identity;
    if (::close(fd) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return failed("cannot write " + path + ": " + std::strerror(e));
    }
    if (TkFileJournal* j = TkFileJournal::active()) j->beforePlace(path, identity);
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return failed("cannot replace " + path + ": " + std::strerror(e));
    }
    syncFolder(folderOf(path));
    return {};
}

std::string tkBackupFile(const std::string& path, const std::string& backup) {
    std::string tmp = backup + ".new";
    ::unlink(tmp.c_str());
    if (::link(path.c_str(), tmp.c_str()) != 0) {
        // No hard links here (some network shares): copy instead.
        std::error_code ec;
        std::filesystem::copy_file(path, tmp, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) return "cannot keep a backup of " + path + ": " + ec.message();
    }
    if (::rename(tmp.c_str(), backup.c_str()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return "cannot keep a backup of " + path + ": " + std::strerror(e);
    }
    return {};
}
