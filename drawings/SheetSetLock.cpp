#include "drawings/SheetSetLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QString>
#include <QThread>
#include <cerrno>
#include <chrono>

#include "host/PathUtil.h"
#include "toolkit/common/TkFileIdentity.h"
#include "toolkit/common/TkIdentity.h"
#include "toolkit/common/TkSafeOpen.h"
#include "toolkit/common/TkUtf8.h"

namespace {

TkString loginName() { return tkFromUtf8(tkUserName()); }
TkString machineName() { return tkFromUtf8(tkMachineName()); }

// Values stay on one line whatever a user or host name holds.
std::string oneLine(const TkString& s) {
    std::string u = tkToUtf8(s);
    for (char& c : u)
        if (c == '\n' || c == '\r') c = ' ';
    return u;
}

bool writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    size_t n = text.size();
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// A lock file that this user may not write (a colleague's, left by a crash) cannot be locked for
// writing, so it would block forever. A read lock needs no write access and shuts out every writer:
// taken, it proves the file stale and lets it be removed safely. True when it was removed.
bool evictStaleLockFile(const std::string& path) {
    int fd = tkOpenRegularFile(path, O_RDONLY);
    if (fd < 0) return false;
    bool removed = false;
    if (tryLockFile(fd, false)) {
        TkFileIdentity mine = TkFileIdentity::ofDescriptor(fd), named = TkFileIdentity::ofPath(path);
        removed = named.known() && mine.inode == named.inode && mine.device == named.device && ::unlink(path.c_str()) == 0;
    }
    ::close(fd);
    return removed;
}

// The key=value lines of the "UserInfo" section.
void parseUserInfo(const std::string& text, SheetSetLockInfo& info) {
    bool inSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[UserInfo]";
            continue;
        }
        size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        TkString value = tkFromUtf8(line.substr(eq + 1));
        if (key == "UserName") info.user = value;
        else if (key == "Machine") info.machine = value;
        else if (key == "Since") info.since = value;
    }
}

}  // namespace

TkString SheetSetLockInfo::describe() const {
    TkString s = (user.empty() ? TkString(L"an unknown user") : user) + L" on " + (machine.empty() ? TkString(L"an unknown machine") : machine);
    if (!since.empty()) s += L" since " + since;
    return s;
}

TkString CSheetSetLock::lockFileName(const TkString& dataFile) {
    // Never cut: two long names cut alike would share one lock.
    TkString p = dataFile;
    return !p.empty() && vrutPathRenameExtension(p, L".dbl") ? p : TkString();
}

void CSheetSetLock::lock() {
    unlock();
    if (!sheetSet_) return;
    TkString dataFile = sheetSet_->lockDataFileName();
    TkString dbl = lockFileName(dataFile);
    if (dbl.empty()) return;
    const std::string path = tkToUtf8(dbl), data = tkToUtf8(dataFile);
    // A holder removes the file while it holds it; an attempt that opened the old file and got its
    // lock after that holds a file nobody sees, so it looks again (a few times: each round means
    // another editor came and went).
    for (int round = 0; round < 8; ++round) {
        // Never truncated here, never through a link, never a pipe or device someone put there.
        int fd = tkOpenRegularFile(path, O_RDWR | O_CREAT, 0666);
        if (fd < 0) {
            if (errno == EACCES && evictStaleLockFile(path)) continue;
            return;
        }
        if (!tryLockFile(fd, true)) {
            ::close(fd);  // someone holds it: touch nothing
            return;
        }
        TkFileIdentity mine = TkFileIdentity::ofDescriptor(fd), named = TkFileIdentity::ofPath(path);
        if (!named.known() || mine.inode != named.inode || mine.device != named.device) {
            ::close(fd);
            continue;
        }
        // The file is ours now, stale content and all. A set that cannot be written cannot be edited:
        // no lock, and no lock file left behind.
        std::string note = "[UserInfo]\nUserName=" + oneLine(loginName()) + "\nMachine=" + oneLine(machineName()) +
                           "\nSince=" + QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss").toStdString() +
                           "\nProcess=" + std::to_string(::getpid()) + "\n";
        if (::access(data.c_str(), W_OK) != 0 || ::ftruncate(fd, 0) != 0 || !writeAll(fd, note)) {
            ::unlink(path.c_str());
            ::close(fd);
            return;
        }
        // Colleagues on a shared folder must be able to lock it too, should a crash leave it.
        (void)::fchmod(fd, 0666);
        fd_ = fd;
        lockFile_ = path;
        sheetSet_->setLockedHere(true);
        return;
    }
}

bool CSheetSetLock::lockWaiting(int waitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(waitMs, 0));
    int pause = 5;
    for (;;) {
        lock();
        if (isHeld() || std::chrono::steady_clock::now() >= deadline) return isHeld();
        // A short, growing pause with some jitter, so waiting editors do not move in step.
        QThread::msleep(static_cast<unsigned long>(pause + (::getpid() + pause) % 7));
        pause = std::min(pause * 2, 100);
    }
}

void CSheetSetLock::unlock() {
    // Only a lock that held tells the set it is no longer held here: a failed attempt must not
    // clear the mark of another hold of this process (an open dialog's).
    if (fd_ < 0) return;
    ::unlink(lockFile_.c_str());  // while still held: nobody can take a lock on a file that is gone
    ::close(fd_);
    fd_ = -1;
    lockFile_.clear();
    if (sheetSet_) sheetSet_->setLockedHere(false);
}

void CSheetSetLock::transferTo(CSheetSetLockable* sheetSet) {
    sheetSet_ = sheetSet;
    if (sheetSet_) sheetSet_->setLockedHere(isHeld());
}

SheetSetLockInfo CSheetSetLock::holder(const TkString& dataFile) {
    SheetSetLockInfo info;
    TkString dbl = lockFileName(dataFile);
    if (dbl.empty()) return info;
    int fd = tkOpenRegularFile(tkToUtf8(dbl), O_RDONLY);
    if (fd < 0) {
        info.present = errno == ELOOP || errno == EINVAL;
        return info;
    }
    info.present = true;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    info.held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    std::string text;
    char buf[1024];
    for (ssize_t n; text.size() < 8192 && (n = ::read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    ::close(fd);
    parseUserInfo(text, info);
    return info;
}

bool CSheetSetLock::isHeldByAnyone(const TkString& dataFile) {
    TkString dbl = lockFileName(dataFile);
    return !dbl.empty() && isFileHeldByOther(tkToUtf8(dbl));
}

bool CSheetSetLock::readLockFile(const TkString& dataFile, TkString& user, TkString& machine) {
    SheetSetLockInfo info = holder(dataFile);
    if (!info.present) return false;
    user = info.user;
    machine = info.machine;
    return true;
}

bool CSheetSetLock::isStale(const TkString& dataFile) {
    SheetSetLockInfo info = holder(dataFile);
    return info.present && !info.held;
}
