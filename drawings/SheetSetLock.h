#pragma once
// The edit lock of a sheet set data file. The ".dbl" file beside the set is both the lock and the
// note of who holds it: an operating-system write lock on it (F_OFD_SETLK) says that the holder is
// alive, its "UserInfo" section says who that is. The lock never lives on the data file, which every
// save replaces by rename. A ".dbl" file with no lock behind it was left by a crash: it is stale,
// names who left it, and never blocks the next editor.
#include "drawings/FileLocks.h"

// What the lock needs of a sheet set.
class CSheetSetLockable {
public:
    virtual ~CSheetSetLockable() = default;
    virtual TkString lockDataFileName() const = 0;  // the ".dst" path
    virtual void setLockedHere(bool held) = 0;
};

// Who a ".dbl" file names.
struct SheetSetLockInfo {
    bool present = false;  // a ".dbl" file exists
    bool held = false;     // and somebody holds its lock now (false: stale)
    TkString user, machine;
    TkString since;  // local time the holder took it, "2026-12-06 23:04:05"; empty when not recorded
    // "USER on MACHINE since TIME", as messages quote it.
    TkString describe() const;
};

class CSheetSetLock {
public:
    explicit CSheetSetLock(CSheetSetLockable* sheetSet) : sheetSet_(sheetSet) {}
    ~CSheetSetLock() { unlock(); }
    CSheetSetLock(const CSheetSetLock&) = delete;
    CSheetSetLock& operator=(const CSheetSetLock&) = delete;

    // One attempt, without waiting. A failed attempt writes, truncates and deletes nothing.
    void lock();
    // Attempts until held or `waitMs` has passed (0: one attempt). True when held.
    bool lockWaiting(int waitMs);
    // Removes the ".dbl" file while still holding it, then lets go. The caller saves first.
    void unlock();
    bool isHeld() const { return fd_ >= 0; }
    // The set object was replaced (a reload under the lock): the lock now reports to `sheetSet`.
    void transferTo(CSheetSetLockable* sheetSet);

    // The ".dbl" file beside `dataFile` and whether it is held. Asking never takes a lock.
    static SheetSetLockInfo holder(const TkString& dataFile);
    // Whether some holder (another process, or another lock in this one) has the set now.
    static bool isHeldByAnyone(const TkString& dataFile);
    // Who the ".dbl" file beside `dataFile` names; false when there is none.
    static bool readLockFile(const TkString& dataFile, TkString& user, TkString& machine);
    // A ".dbl" file exists but nobody holds it: a crash left it behind.
    static bool isStale(const TkString& dataFile);
    static TkString lockFileName(const TkString& dataFile);  // empty when none can be formed

private:
    CSheetSetLockable* sheetSet_;
    int fd_ = -1;
    std::string lockFile_;  // UTF-8, while held
};
