// Locks seen from another process: a drawing or sheet set held elsewhere reads as locked, a lock
// that cannot be taken leaves no ".dbl" file, and a ".dbl" file with nobody behind it is stale.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "drawings/SheetSetLock.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

// A second process that holds `path` until told to let go.
class Holder {
public:
    explicit Holder(const std::wstring& path) {
        int ready[2], go[2];
        EXPECT_EQ(::pipe(ready), 0);
        EXPECT_EQ(::pipe(go), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            FileHold h;
            char c = h.hold(path) ? 'y' : 'n';
            ssize_t n = ::write(ready[1], &c, 1);
            n = ::read(go[0], &c, 1);
            (void)n;
            ::_exit(0);
        }
        char c = 0;
        EXPECT_EQ(::read(ready[0], &c, 1), 1);
        held_ = c == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
        ::close(go[0]);
        goFd_ = go[1];
    }
    ~Holder() { letGo(); }
    bool held() const { return held_; }
    void letGo() {
        if (pid_ <= 0) return;
        char c = 'x';
        ssize_t n = ::write(goFd_, &c, 1);
        (void)n;
        ::close(goFd_);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int goFd_ = -1;
    bool held_ = false;
};

struct FakeSheetSet : CSheetSetLockable {
    std::wstring file;
    bool lockedHere = false;
    std::wstring lockDataFileName() const override { return file; }
    void setLockedHere(bool h) override { lockedHere = h; }
};

}  // namespace

TEST(Locks, AnotherProcessHoldingADrawingOrSheetSet) {
    ScratchDir dir;
    std::wstring dwg = tkFromUtf8(dir.file("A-101.dwg")), dst = tkFromUtf8(dir.file("Riverside.dst"));
    writeFileText(tkToUtf8(dwg), "drawing");
    writeFileText(tkToUtf8(dst), "sheet set");
    EXPECT_FALSE(isDrawingLocked(dwg));
    EXPECT_FALSE(isDrawingLocked(tkFromUtf8(dir.file("missing.dwg"))));
    {
        Holder other(dwg);
        ASSERT_TRUE(other.held());
        EXPECT_TRUE(isDrawingLocked(dwg));
        FileHold mine;
        EXPECT_FALSE(mine.hold(dwg));  // in this process too
    }
    EXPECT_FALSE(isDrawingLocked(dwg));

    FakeSheetSet set;
    set.file = dst;
    {
        Holder other(dst);
        CSheetSetLock lock(&set);
        lock.lock();
        EXPECT_FALSE(lock.isHeld());
        EXPECT_FALSE(set.lockedHere);
        EXPECT_FALSE(std::filesystem::exists(dir.file("Riverside.dbl")));  // no lock, no lock file
    }
    {
        CSheetSetLock lock(&set);
        lock.lock();
        ASSERT_TRUE(lock.isHeld());
        EXPECT_TRUE(set.lockedHere);
        std::wstring user, machine;
        ASSERT_TRUE(CSheetSetLock::readLockFile(dst, user, machine));
        EXPECT_FALSE(user.empty());
        EXPECT_FALSE(machine.empty());
        EXPECT_NE(readFileText(dir.file("Riverside.dbl")).find("[UserInfo]"), std::string::npos);
        EXPECT_TRUE(isDrawingLocked(dst));
        EXPECT_FALSE(CSheetSetLock::isStale(dst));  // a live holder
    }
    EXPECT_FALSE(set.lockedHere);
    EXPECT_FALSE(std::filesystem::exists(dir.file("Riverside.dbl")));
    // A crash leaves the lock file without its lock: stale.
    writeFileText(dir.file("Riverside.dbl"), "[UserInfo]\nUserName=mchen\nMachine=cad-07\n");
    EXPECT_TRUE(CSheetSetLock::isStale(dst));
    std::wstring user, machine;
    ASSERT_TRUE(CSheetSetLock::readLockFile(dst, user, machine));
    EXPECT_EQ(user, L"mchen");
    EXPECT_EQ(machine, L"cad-07");
}

TEST(Locks, ReadOnlyDataFileIsNotLocked) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
    ScratchDir dir;
    std::wstring dst = tkFromUtf8(dir.file("ro.dst"));
    writeFileText(tkToUtf8(dst), "sheet set");
    std::filesystem::permissions(tkToUtf8(dst), std::filesystem::perms::owner_read);
    FakeSheetSet set;
    set.file = dst;
    CSheetSetLock lock(&set);
    lock.lock();
    EXPECT_FALSE(lock.isHeld());
    EXPECT_FALSE(std::filesystem::exists(dir.file("ro.dbl")));
    EXPECT_TRUE(isDrawingLocked(dst));  // read-only reads as locked
}
