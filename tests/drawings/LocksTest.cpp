// Locks seen from another process: a drawing or sheet set held elsewhere reads as locked, a lock
// that cannot be taken leaves no ".dbl" file, and a ".dbl" file with nobody behind it is stale.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <pwd.h>

#include "drawings/SheetSetLock.h"
#include "toolkit/db/TkDbDatabase.h"
#include "tests/support/OtherProcess.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

std::shared_ptr<void> holdFile(const std::wstring& path) {
    auto h = std::make_shared<FileHold>();
    return h->hold(path) ? h : nullptr;
}

// As root: become "nobody" (group and supplementary groups too, or root's group still applies).
bool becomeOrdinaryUser() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

struct FakeSheetSet : CSheetSetLockable {
    std::wstring file;
    bool lockedHere = false;
    std::wstring lockDataFileName() const override { return file; }
    void setLockedHere(bool h) override { lockedHere = h; }
};

}  // namespace

std::shared_ptr<void> lockSet(const std::wstring& dst) {
    auto set = std::make_shared<FakeSheetSet>();
    set->file = dst;
    auto lock = std::make_shared<CSheetSetLock>(set.get());
    lock->lock();
    if (!lock->isHeld()) return nullptr;
    return std::make_shared<std::pair<std::shared_ptr<FakeSheetSet>, std::shared_ptr<CSheetSetLock>>>(set, lock);
}

TEST(Locks, AnotherProcessHoldingADrawing) {
    ScratchDir dir;
    std::wstring dwg = tkFromUtf8(dir.file("A-101.dwg"));
    writeFileText(tkToUtf8(dwg), "drawing");
    EXPECT_FALSE(isDrawingLocked(dwg));
    EXPECT_FALSE(isDrawingLocked(tkFromUtf8(dir.file("missing.dwg"))));
    {
        OtherProcess other([&] { return holdFile(dwg); });
        ASSERT_TRUE(other.took());
        EXPECT_TRUE(isDrawingLocked(dwg));
        EXPECT_TRUE(isDrawingLocked(dwg));  // asking twice: the question itself never takes the lock
        FileHold mine;
        EXPECT_FALSE(mine.hold(dwg));  // in this process too
    }
    EXPECT_FALSE(isDrawingLocked(dwg));
    // Held here, asked from another process.
    FileHold mine;
    ASSERT_TRUE(mine.hold(dwg));
    OtherProcess tester([&] { return isDrawingLocked(dwg) ? std::make_shared<int>(1) : nullptr; });
    EXPECT_TRUE(tester.took());
}

// The ".dbl" file is the lock and the note of who holds it. A colleague's attempt that fails
// touches nothing; the holder removes it on letting go; a crash leaves it stale, and stale blocks
// nobody.
TEST(Locks, SheetSetLockFileIsTheLockAndTheNote) {
    ScratchDir dir;
    std::wstring dst = tkFromUtf8(dir.file("Riverside.dst"));
    const std::string dbl = dir.file("Riverside.dbl");
    writeFileText(tkToUtf8(dst), "sheet set");
    FakeSheetSet set;
    set.file = dst;
    {
        OtherProcess other([&] { return lockSet(dst); });
        ASSERT_TRUE(other.took());
        const std::string note = readFileText(dbl);
        EXPECT_NE(note.find("[UserInfo]"), std::string::npos);
        EXPECT_NE(note.find("Since="), std::string::npos);
        for (int attempt = 0; attempt < 3; ++attempt) {
            CSheetSetLock lock(&set);
            lock.lock();
            EXPECT_FALSE(lock.isHeld());
            EXPECT_FALSE(set.lockedHere);
        }
        CSheetSetLock patient(&set);
        EXPECT_FALSE(patient.lockWaiting(60));
        EXPECT_EQ(readFileText(dbl), note);  // the holder's note, byte for byte
        SheetSetLockInfo who = CSheetSetLock::holder(dst);
        EXPECT_TRUE(who.present && who.held);
        EXPECT_FALSE(who.user.empty());
        EXPECT_NE(who.describe().find(L" since "), std::wstring::npos);
        EXPECT_FALSE(CSheetSetLock::isStale(dst));
        EXPECT_TRUE(CSheetSetLock::isHeldByAnyone(dst));
        EXPECT_FALSE(isDrawingLocked(dst));  // the data file itself is never locked: saves replace it
        // Waiting: the holder lets go while we wait, and we get it.
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            other.letGo();
        });
        CSheetSetLock waiter(&set);
        EXPECT_TRUE(waiter.lockWaiting(5000));
        release.join();
        EXPECT_TRUE(set.lockedHere);
    }
    EXPECT_FALSE(set.lockedHere);
    EXPECT_FALSE(std::filesystem::exists(dbl));  // removed by its holder

    // A crash leaves the lock file without its lock: stale, naming who left it.
    {
        OtherProcess crashing([&] { return lockSet(dst); });
        ASSERT_TRUE(crashing.took());
        crashing.crash();
    }
    ASSERT_TRUE(std::filesystem::exists(dbl));
    EXPECT_TRUE(CSheetSetLock::isStale(dst));
    EXPECT_FALSE(CSheetSetLock::isHeldByAnyone(dst));
    writeFileText(dbl, "[UserInfo]\nUserName=mchen\nMachine=cad-07\nSince=2026-12-01 08:15:00\n");
    SheetSetLockInfo who = CSheetSetLock::holder(dst);
    EXPECT_EQ(who.describe(), L"mchen on cad-07 since 2026-12-01 08:15:00");
    EXPECT_FALSE(who.held);
    {
        CSheetSetLock lock(&set);
        lock.lock();
        ASSERT_TRUE(lock.isHeld());  // stale blocks nobody
        EXPECT_EQ(readFileText(dbl).find("mchen"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dbl));
}

// A data file the user may not write cannot be locked for editing, and the attempt leaves no lock
// file behind, not even a stale one left by someone else. Root may write anything, so as root the
// attempt runs in a child that has become an ordinary user.
TEST(Locks, ReadOnlyDataFileIsNotLocked) {
    ScratchDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::wstring dst = tkFromUtf8(dir.file("ro.dst"));
    writeFileText(tkToUtf8(dst), "sheet set");
    std::filesystem::permissions(tkToUtf8(dst), std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                    std::filesystem::perms::others_read);
    writeFileText(dir.file("ro.dbl"), "[UserInfo]\nUserName=mchen\nMachine=cad-07\n");  // stale
    std::filesystem::permissions(dir.file("ro.dbl"), std::filesystem::perms::all);
    auto attempt = [&]() -> std::shared_ptr<void> {
        if (!becomeOrdinaryUser()) return nullptr;
        FakeSheetSet set;
        set.file = dst;
        CSheetSetLock lock(&set);
        lock.lock();
        bool ok = !lock.isHeld() && !set.lockedHere && !std::filesystem::exists(tkToUtf8(CSheetSetLock::lockFileName(dst))) &&
                  isDrawingLocked(dst);  // read-only reads as locked
        return ok ? std::make_shared<int>(1) : nullptr;
    };
    OtherProcess user(attempt);
    EXPECT_TRUE(user.took());
}

// A crash left a lock file that this user may not write (a colleague's, with the colleague's
// permissions): it still blocks nobody.
TEST(Locks, AStaleLockFileOfAnotherUserBlocksNobody) {
    ScratchDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::wstring dst = tkFromUtf8(dir.file("shared.dst"));
    writeFileText(tkToUtf8(dst), "sheet set");
    std::filesystem::permissions(tkToUtf8(dst), std::filesystem::perms::all);
    writeFileText(dir.file("shared.dbl"), "[UserInfo]\nUserName=mchen\nMachine=cad-07\n");
    std::filesystem::permissions(dir.file("shared.dbl"), std::filesystem::perms::owner_read | std::filesystem::perms::others_read);
    OtherProcess user([&]() -> std::shared_ptr<void> {
        if (!becomeOrdinaryUser()) return nullptr;
        FakeSheetSet set;
        set.file = dst;
        CSheetSetLock lock(&set);
        lock.lock();
        bool ok = lock.isHeld() && readFileText(tkToUtf8(CSheetSetLock::lockFileName(dst))).find("mchen") == std::string::npos;
        return ok ? std::make_shared<int>(1) : nullptr;
    });
    if (::geteuid() != 0) GTEST_SKIP() << "needs another user to own the stale file";
    EXPECT_TRUE(user.took());
    EXPECT_FALSE(std::filesystem::exists(dir.file("shared.dbl")));  // removed on letting go
}

// Cron jobs, services and containers often run without $USER or $LOGNAME: the lock note, what the
// holder reads as and a drawing's "last saved by" then name the account and the machine, never
// "unknown".
TEST(Locks, WithoutUserInTheEnvironmentTheAccountNamesTheHolder) {
    ScratchDir dir;
    std::wstring dst = tkFromUtf8(dir.file("Riverside.dst"));
    writeFileText(tkToUtf8(dst), "sheet set");
    const passwd* pw = ::getpwuid(::geteuid());
    ASSERT_TRUE(pw && pw->pw_name);
    const std::string account = pw->pw_name;
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    const std::string drawing = dir.file("A-101.dxf");
    OtherProcess other([&] {
        ::unsetenv("USER");
        ::unsetenv("LOGNAME");
        std::unique_ptr<TkDbDatabase> db = TkDbDatabase::createNew();
        if (!db || !db->saveAs(drawing, db->version())) return std::shared_ptr<void>();
        return lockSet(dst);
    });
    ASSERT_TRUE(other.took());
    const std::string note = readFileText(dir.file("Riverside.dbl"));
    EXPECT_NE(note.find("UserName=" + account + "\n"), std::string::npos) << note;
    EXPECT_NE(note.find("Machine=" + std::string(host) + "\n"), std::string::npos) << note;
    EXPECT_EQ(CSheetSetLock::holder(dst).describe().rfind(tkFromUtf8(account + " on " + host + " since "), 0), 0u);
    TkDbDatabase saved;
    ASSERT_TRUE(saved.readDxfFile(drawing));
    EXPECT_EQ(saved.getSysVar("LOGINNAME"), account);
}
