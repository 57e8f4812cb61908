#pragma once
// Every change to a sheet set goes through here, so that two drafters and a nightly script never
// lose each other's work: take the edit lock, read the set again when the file on disk is no longer
// the one this process read, apply the change to that, save, and only then let go of the lock.
#include <functional>

#include "drawings/SheetSetLock.h"
#include "model/SheetSetMgrImpl.h"

struct SheetSetEditResult {
    enum Status {
        Done,        // applied and saved
        NotApplied,  // the change found nothing to do (or refused); nothing was saved
        Locked,      // another editor holds the set, or it cannot be written (see `holder`)
        ReadFailed,  // the set changed on disk and the new file cannot be read (see `message`)
        SaveFailed,  // applied in memory, but the file could not be written (see `message`)
    };
    Status status = NotApplied;
    bool reloaded = false;  // the set was read again first: pointers into the old tree are gone
    TkString message;
    SheetSetLockInfo holder;
};

// The change gets the sheet set as it is on disk now. It must find the items it changes in that
// set (by stable id, path or number), since a reload replaced every object of the old one, and it
// returns false when it did nothing: a change that fails must check first and change nothing, for
// the open set then stays as it is, unsaved. `waitMs` is how long to wait for another editor's lock.
using SheetSetChange = std::function<bool(CSheetSetImpl& set)>;
SheetSetEditResult editSheetSet(CSheetSetMgrImpl& mgr, int index, const SheetSetChange& change, int waitMs = 0);

// The message a user sees for a result that is not Done ("The sheet set is locked by ...").
TkString editFailureText(const SheetSetEditResult& r, const TkString& setPath);
