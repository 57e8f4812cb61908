#include "actions/SheetSetEdit.h"

ActionResult applyChange(EditSession& session, const SheetSetChange& change) {
    CSheetSetImpl* set = session.set();
    if (!set) return session.commit(session.failure());
    ActionResult r;
    if (change(*set)) r.status = ActionResult::Done;
    return session.commit(r);
}

ActionResult editSheetSet(CSheetSetMgrImpl& mgr, int index, const SheetSetChange& change, int waitMs) {
    EditSession session(mgr, index);
    if (!session.begin(waitMs)) return session.failure();
    return applyChange(session, change);
}
