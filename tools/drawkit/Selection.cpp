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

namespace {

int selectionIndex(CSheetSelSetsImpl* sels, const TkString& name) {
    for (int i = 0; i < sels->getCount(); ++i)
        if (vrutSameTextNoCase(sels->getName(i), name)) return i;
    return -1;
}

bool checkSelectionName(CSheetSelSetsImpl* sels, const TkString& name, TkString& error) {
    if (name.find_first_not_of(L" \t") == TkString::npos) error = L"a selection needs a name";
    else if (hasUnsupportedCharacters(name)) error = L"\"" + name + L"\" holds a character names may not: " + unsupportedNameCharacters();
    else if (name.size() > static_cast<size_t>(kMaxTitleLength)) error = L"a selection name is at most 64 characters";
    else if (selectionIndex(sels, name) >= 0) error = L"a selection " + name + L" exists already";
    return error.empty();
}

}  // namespace

int drawkitSelection(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args);
    if (!a.error.empty()) return fail(1, a.error);
    const auto& p = a.positional;
    const std::string verb = p.size() > 1 ? p[1] : "";
    const bool ok = (verb == "add" && p.size() >= 4) || ((verb == "restore" || verb == "delete") && p.size() == 3) || (verb == "rename" && p.size() == 4);
    if (!ok) return fail(1, "usage: drawkit selection SET.dst add NAME ITEM... | restore NAME | rename OLD NEW | delete NAME [--wait SECONDS]");
    const TkString name = tkFromUtf8(p[2]);
    std::vector<std::string> lines;
    const int code = runEdit(p[0], a.waitMs, reporting([&](CSheetSetImpl& set, TkString& error) {
        CSheetSelSetsImpl* sels = set.getSheetSelSets();
        const int at = selectionIndex(sels, name);
        if (verb != "add" && at < 0) return (error = L"no selection " + name), false;
        if (verb == "add") {
            if (!checkSelectionName(sels, name, error)) return false;
            std::vector<CComponent*> members;
            for (size_t i = 3; i < p.size(); ++i) {
                CComponent* c = p[i] == "/" ? &set : findItem(&set, tkFromUtf8(p[i]), error);
                if (!c) return false;
                members.push_back(c);
            }
            sels->add(name.c_str(), members);
            lines.push_back("selection " + p[2] + " of " + std::to_string(members.size()) + " items");
            return true;
        }
        if (verb == "delete") {
            sels->remove(at);
            lines.push_back("selection " + p[2] + " deleted");
            return true;
        }
        if (verb == "rename") {
            const TkString to = tkFromUtf8(p[3]);
            if (!vrutSameTextNoCase(to, name) && !checkSelectionName(sels, to, error)) return false;
            sels->setName(at, to.c_str());
            lines.push_back("selection " + p[2] + " renamed " + p[3]);
            return true;
        }
        std::vector<CComponent*> members;  // restore: what the selection holds, nothing changes
        sels->getMembers(at, members);
        for (CComponent* c : members) {
            if (c->getType() == 2) lines.push_back(tkToUtf8(sheetDisplayName(static_cast<CSheet*>(c)->getNumber(), static_cast<CSheet*>(c)->getTitle())));
            else lines.push_back("[" + tkToUtf8(static_cast<CSubset*>(c)->getName()) + "]");
        }
        return false;
    }), {}, verb == "restore");
    for (const std::string& l : lines) std::printf("%s\n", l.c_str());
    return code;
}
