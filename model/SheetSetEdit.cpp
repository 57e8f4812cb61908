#include "model/SheetSetEdit.h"


SheetSetEditResult editSheetSet(CSheetSetMgrImpl& mgr, int index, const SheetSetChange& change, int waitMs) {
    SheetSetEditResult r;
    if (index < 0 || index >= mgr.getCount()) return r;
    CSheetSetImpl* set = mgr.sheetSetImpl(index);
    const TkString file = set->getFileName();
    CSheetSetLock lock(set);
    if (!lock.lockWaiting(waitMs)) {
        r.status = SheetSetEditResult::Locked;
        r.holder = CSheetSetLock::holder(file);
        if (!r.holder.held) r.message = L"the sheet set data file cannot be written: " + file;
        return r;
    }
    if (set->isChangedOnDisk()) {
        if (!mgr.reloadSheetSet(index)) {
            r.status = SheetSetEditResult::ReadFailed;
            r.message = mgr.lastError();
            return r;
        }
        set = mgr.sheetSetImpl(index);
        lock.transferTo(set);
        r.reloaded = true;
    }
    if (!change(*set)) return r;
    // Saved while still held: the next editor reads what this one wrote.
    if (!set->save()) {
        r.status = SheetSetEditResult::SaveFailed;
        r.message = set->lastSaveError();
        // What is shown must be what is on disk: the change that could not be saved is dropped.
        r.reloaded = mgr.reloadSheetSet(index);
        if (r.reloaded) lock.transferTo(mgr.sheetSetImpl(index));
        return r;
    }
    r.status = SheetSetEditResult::Done;
    return r;
}

TkString editFailureText(const SheetSetEditResult& r, const TkString& setPath) {
    switch (r.status) {
    case SheetSetEditResult::Locked:
        if (r.holder.held) return L"The sheet set " + setPath + L" is locked by " + r.holder.describe() + L".";
        return L"The sheet set cannot be changed: " + r.message + L".";
    case SheetSetEditResult::ReadFailed:
        return L"The sheet set was changed by someone else and cannot be read again: " + r.message;
    case SheetSetEditResult::SaveFailed:
        return L"The change could not be saved: " + r.message + L". The sheet set on disk is as it was before.";
    default: return {};
    }
}
