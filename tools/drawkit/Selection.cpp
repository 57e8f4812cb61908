// drawkit selection SET.dst add NAME ITEM... | restore NAME | rename OLD NEW | delete NAME
// Named sheet selections, as the palette keeps them: "restore" prints the members (the sheets a
// publish or transmit of the selection takes). Names follow the rules of sheet names.
#include <cstdio>

#include "host/PathUtil.h"
#include "model/ItemLookup.h"
#include "model/NameRules.h"
#include "model/NewSheet.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/EditRun.h"
#include "actions/Selections.h"

int drawkitSelection(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args);
    if (!a.error.empty()) return fail(2, a.error);
    const auto& p = a.positional;
    const std::string verb = p.size() > 1 ? p[1] : "";
    const bool ok = (verb == "add" && p.size() >= 4) || ((verb == "restore" || verb == "delete") && p.size() == 3) || (verb == "rename" && p.size() == 4);
    if (!ok) return fail(2, "usage: drawkit selection SET.dst add NAME ITEM... | restore NAME | rename OLD NEW | delete NAME [--wait SECONDS]");
    const TkString name = tkFromUtf8(p[2]);
    if (verb == "restore") {
        // What the selection holds; nothing changes, so nothing is locked.
        CSheetSetMgrImpl mgr;
        if (!mgr.openSheetSet(setPathOf(p[0]).c_str())) return fail(2, p[0] + ": " + tkToUtf8(mgr.lastError()));
        CSheetSelSetsImpl* sels = mgr.sheetSetImpl(0)->getSheetSelSets();
        int at = -1;
        std::string names;
        for (int i = 0; i < sels->getCount(); ++i) {
            if (vrutSameTextNoCase(sels->getName(i), name)) at = i;
            names += (names.empty() ? "\"" : ", \"") + tkToUtf8(sels->getName(i)) + "\"";
        }
        if (at < 0) return fail(1, "no selection \"" + p[2] + "\" (" + (names.empty() ? "the set has none" : "the set has " + names) + ")");
        std::vector<CComponent*> members;
        sels->getMembers(at, members);
        for (CComponent* c : members) {
            if (c->getType() == kComponentSheet) std::printf("%s\n", tkToUtf8(sheetDisplayName(static_cast<CSheet*>(c)->getNumber(), static_cast<CSheet*>(c)->getTitle())).c_str());
            else std::printf("[%s]\n", tkToUtf8(static_cast<CSubset*>(c)->getName()).c_str());
        }
        return 0;
    }
    SelectionChange change;
    change.name = name;
    if (verb == "add") {
        change.kind = SelectionChange::Add;
        for (size_t i = 3; i < p.size(); ++i) change.members.push_back(ItemRef::named(p[i] == "/" ? TkString() : tkFromUtf8(p[i])));
    } else if (verb == "rename") {
        change.kind = SelectionChange::Rename;
        change.newName = tkFromUtf8(p[3]);
    } else {
        change.kind = SelectionChange::Delete;
    }
    return report(p[0], runAction(setPathOf(p[0]), a.waitMs, [&](EditSession& s) { return changeSelections(s, {change}); }));
}
