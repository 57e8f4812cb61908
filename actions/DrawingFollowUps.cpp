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
    for (const TkString& p : done.problems) r.leftAlone.push_back({p, L"left alone", true});
    return session.commit(r);
}
