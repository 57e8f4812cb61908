#include "actions/Selections.h"

#include "host/PathUtil.h"
#include "model/NameRules.h"

namespace {

int selectionIndex(CSheetSelSetsImpl* sels, const TkString& name) {
    for (int i = 0; i < sels->getCount(); ++i)
        if (vrutSameTextNoCase(sels->getName(i), name)) return i;
    return -1;
}

bool checkSelectionName(CSheetSelSetsImpl* sels, const TkString& name, TkString& error) {
    if (!checkEnteredText(L"the selection name", name, kMaxTitleLength, error)) return false;
    if (name.find_first_not_of(L" ") == TkString::npos) error = L"a selection needs a name";
    else if (hasUnsupportedCharacters(name)) error = L"\"" + name + L"\" holds a character names may not: " + unsupportedNameCharacters();
    else if (name.size() > static_cast<size_t>(kMaxTitleLength)) error = L"a selection name is at most 64 characters";
    else if (selectionIndex(sels, name) >= 0) error = L"a selection " + name + L" exists already";
    return error.empty();
}

}  // namespace

ActionResult changeSelections(EditSession& session, const std::vector<SelectionChange>& changes) {
    CSheetSetImpl& set = *session.set();
    CSheetSelSetsImpl* sels = set.getSheetSelSets();
    TkString error;
    ActionResult r;
    for (const SelectionChange& c : changes) {
        const int at = selectionIndex(sels, c.name);
        if (c.kind != SelectionChange::Add && at < 0) return session.commit(ActionResult::refused(L"no selection " + c.name));
        switch (c.kind) {
        case SelectionChange::Add: {
            if (!checkSelectionName(sels, c.name, error)) return session.commit(ActionResult::refused(error));
            std::vector<CComponent*> members;
            for (const ItemRef& m : c.members) {
                CComponent* found = resolveItem(set, m, error);
                // A member someone removed meanwhile is left out, as the palette's tree would.
                if (!found && !m.id) return session.commit(ActionResult::refused(error));
                if (found) members.push_back(found);
            }
            sels->add(c.name.c_str(), members);
            r.changed.push_back(L"selection " + c.name + L" of " + std::to_wstring(members.size()) + L" items");
            break;
        }
        case SelectionChange::Rename:
            if (!vrutSameTextNoCase(c.newName, c.name) && !checkSelectionName(sels, c.newName, error))
                return session.commit(ActionResult::refused(error));
            sels->setName(at, c.newName.c_str());
            r.changed.push_back(L"selection " + c.name + L" renamed " + c.newName);
            break;
        case SelectionChange::Delete:
            sels->remove(at);
            r.changed.push_back(L"selection " + c.name + L" deleted");
            break;
        }
    }
    r.status = r.changed.empty() ? ActionResult::NothingToDo : ActionResult::Done;
    return session.commit(r);
}
