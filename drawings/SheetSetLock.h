#pragma once
// The edit lock of a sheet set data file, taken around every change: a ".dbl" file beside the set
// says who holds it, and an operating-system write lock on the data file says that the holder is
// alive. A ".dbl" file without the lock behind it was left by a crash: it is stale.
#include "drawings/FileLocks.h"

// What the lock needs of a sheet set.
class CSheetSetLockable {
public:
    virtual ~CSheetSetLockable() = default;
    virtual TkString lockDataFileName() const = 0;  // the ".dst" path
    virtual void setLockedHere(bool held) = 0;
};

class CSheetSetLock {
public:
    explicit CSheetSetLock(CSheetSetLockable* sheetSet) : sheetSet_(sheetSet) {}
    ~CSheetSetLock() { unlock(); }
    CSheetSetLock(const CSheetSetLock&) = delete;
    CSheetSetLock& operator=(const CSheetSetLock&) = delete;

    void lock();
    void unlock();
    bool isHeld() const { return hold_.isHeld(); }

    // Who the ".dbl" file beside `dataFile` names; false when there is none.
    static bool readLockFile(const TkString& dataFile, TkString& user, TkString& machine);
    // A ".dbl" file exists but nobody holds the data file: a crash left it behind.
    static bool isStale(const TkString& dataFile);
    static TkString lockFileName(const TkString& dataFile);  // empty when none can be formed

private:
    CSheetSetLockable* sheetSet_;
    FileHold hold_;
    TkString lockFile_;
};
