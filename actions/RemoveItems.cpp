#include "actions/RemoveItems.h"

#include "model/ItemLookup.h"
#include "model/RemoveItems.h"

ActionResult removeItems(EditSession& session, const std::vector<ItemRef>& items) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    std::vector<uint64_t> ids;
    for (const ItemRef& r : items) {
        CComponent* c = resolveItem(set, r, error);
        if (!c) return session.commit(ActionResult::refused(error));
        ids.push_back(componentId(c));
    }
    if (ids.empty()) return session.commit(ActionResult::nothingToDo());
    if (!removeItems(set, ids, error)) return session.commit(ActionResult::refused(error));
    ActionResult r;
    r.status = ActionResult::Done;
    r.changed.push_back(std::to_wstring(ids.size()) + L" item" + (ids.size() == 1 ? L"" : L"s") + L" removed; their drawings are untouched");
    return session.commit(r);
}
