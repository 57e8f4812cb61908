#include "actions/Renumber.h"

ActionResult renumberSheets(EditSession& session, const RenumberRequest& request, const std::function<void(const RenumberPlan&)>& told) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    CSubset* subset = resolveSubset(set, request.subset, error);
    if (!subset) return session.commit(ActionResult::refused(error));
    const RenumberPlan plan = planRenumber(&set, subset, request.pattern, request.start, request.step);
    if (!plan.error.empty()) return session.commit(ActionResult::refused(plan.error));
    if (told) told(plan);
    if (!plan.collisions.empty()) {
        ActionResult r = ActionResult::refused(std::to_wstring(plan.collisions.size()) + L" numbers collide with sheets outside the subset; nothing changed");
        for (const TkString& c : plan.collisions) r.leftAlone.push_back({c, L"collides", true});
        return session.commit(r);
    }
    if (plan.changes.empty()) return session.commit(ActionResult::refused(L"the subset has no sheets"));
    if (request.dryRun) return session.commit(ActionResult::nothingToDo(L"dry run: nothing changed"));
    ActionResult r;
    r.status = ActionResult::Done;
    for (const TkString& p : applyRenumber(&set, plan, request.renameLayouts, request.renameFiles)) r.leftAlone.push_back({p, L"left alone", true});
    return session.commit(r);
}
