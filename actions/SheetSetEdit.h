#pragma once
// The simplest core: a change written as a function of the set, run inside an edit session. It
// gets the set as it is on disk now (read again under the lock when someone saved meanwhile), so it
// must find the items it changes in that set by stable id, path or number; it returns false when it
// did nothing, and a change that fails must check first and change nothing.
#include <functional>

#include "actions/EditSession.h"

using SheetSetChange = std::function<bool(CSheetSetImpl& set)>;

// Applies the change in a session already begun and commits it (saved, title blocks followed).
ActionResult applyChange(EditSession& session, const SheetSetChange& change);
// The same in a session of its own on the manager's set `index`; `waitMs` is how long to wait for
// another editor's lock.
ActionResult editSheetSet(CSheetSetMgrImpl& mgr, int index, const SheetSetChange& change, int waitMs = 0);
