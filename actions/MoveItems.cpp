#include "actions/MoveItems.h"

#include <algorithm>

#include "toolkit/sm/TkSmComponents.h"

#include "model/ItemLookup.h"
#include "model/MoveComponents.h"

namespace {
// Levels of subsets from `s` down, `s` included; the tree read or made is at most 100 deep.
int subsetHeight(CSubset* s) {
    int below = 0;
    for (int i = 0; i < s->getCount(); ++i)
        if (auto* child = dynamic_cast<CSubset*>(s->getAt(i))) below = std::max(below, subsetHeight(child));
    return below + 1;
}
}  // namespace

ActionResult moveItems(EditSession& session, const MoveRequest& request, std::vector<uint64_t>* movedIds) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    std::vector<CComponent*> items;
    for (const ItemRef& r : request.items) {
        CComponent* c = resolveItem(set, r, error);
        if (!c) return session.commit(ActionResult::refused(error));
        if (c == &set) return session.commit(ActionResult::refused(L"the sheet set itself cannot be moved"));
        items.push_back(c);
    }
    if (items.empty()) return session.commit(ActionResult::nothingToDo());
    CComponent* anchor = nullptr;
    bool besideAnchor = true;
    if (!request.after.empty()) {
        if (!(anchor = resolveItem(set, request.after, error))) return session.commit(ActionResult::refused(error));
        if (!request.into.empty()) {
            CSubset* dest = resolveSubset(set, request.into, error);
            if (!dest) return session.commit(ActionResult::refused(error));
            if (anchor->getParent() != dest)
                return session.commit(ActionResult::refused(L"\"" + request.after.describe() + L"\" is not in the subset \"" + request.into.describe() + L"\""));
        }
    } else {
        CSubset* dest = resolveSubset(set, request.into, error);
        if (!dest) return session.commit(ActionResult::refused(error));
        anchor = dest;
        besideAnchor = false;
        if (request.last && dest->getCount() > 0) anchor = dest->getAt(dest->getCount() - 1), besideAnchor = true;
    }
    CComponent* destination = besideAnchor ? anchor->getParent() : anchor;
    for (CComponent* c : items)
        if (destination && isWithin(destination, c)) return session.commit(ActionResult::refused(L"a subset cannot move into itself"));
    // Subsets may nest only so deep: a move may not take a tree of them past that.
    int depth = 0;  // of the destination below the set
    for (CComponent* c = destination; c && c != &set; c = c->getParent()) ++depth;
    for (CComponent* c : items)
        if (auto* sub = dynamic_cast<CSubset*>(c); sub && depth + subsetHeight(sub) > kTkSmMaxSubsetDepth)
            return session.commit(ActionResult::refused(L"subsets may nest at most " + std::to_wstring(kTkSmMaxSubsetDepth) + L" levels deep"));
    if (items.size() == 1 && items.front() == anchor) return session.commit(ActionResult::nothingToDo(L"it is there already"));
    const std::vector<CComponent*> moved = moveComponents(anchor, besideAnchor, items);
    if (moved.empty()) return session.commit(ActionResult::refused(L"it cannot be moved there"));
    ActionResult r;
    r.status = ActionResult::Done;
    for (CComponent* c : moved) {
        if (movedIds) movedIds->push_back(componentId(c));
    }
    return session.commit(r);
}
