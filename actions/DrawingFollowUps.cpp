#include "actions/DrawingFollowUps.h"

ActionResult updateFields(EditSession& session, TitleBlockReport* report) {
    session.followAllTitleBlocks();
    ActionResult r = session.commit(ActionResult::nothingToDo());
    if (report) *report = session.titleBlockReport();
    return r;
}

ActionResult restamp(EditSession& session, RestampReport* report) {
    const RestampReport done = restampDrawings(session.set());
    if (report) *report = done;
    ActionResult r = ActionResult::nothingToDo();
    // A copied or moved set is saved too: its stored paths then name the folder it is in now.
    if (const TkString& old = session.set()->database()->savedElsewhere(); !old.empty()) {
        r.status = ActionResult::Done;
        r.changed.push_back(L"the sheet set's stored paths now name this folder, not " + old);
    }
    for (const TkString& p : done.problems) r.leftAlone.push_back({p, L"left alone", true});
    return session.commit(r);
}
