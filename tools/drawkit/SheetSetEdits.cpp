// drawkit's scripted edits of a sheet set: new-subset, move, prop and restamp. They take the same
// edit lock as the palette, read the set again when someone else saved it meanwhile, and save
// before they let go. Exit 0 done, 1 a bad item or argument, 2 a set that cannot be read or
// written, 3 locked by someone else (after --wait SECONDS, when given).
#include <cstdio>
#include <filesystem>

#include "actions/DrawingFollowUps.h"
#include "model/ItemLookup.h"
#include "model/ScriptedEdits.h"
#include "actions/MoveItems.h"
#include "actions/NewSubset.h"
#include "actions/Properties.h"
#include "actions/SheetSetEdit.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/EditRun.h"
#include "tools/drawkit/Json.h"

int drawkitNewSubset(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args);
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() < 2)
        return fail(2, "usage: drawkit new-subset SET.dst PATH [NAME=VALUE...] [--wait SECONDS]\n"
                       "       (settings: \"New sheet location=FOLDER\", \"Template=LAYOUT@FILE\", \"Prompt for template=yes\", Publish=no)");
    TkString subsetPath = tkFromUtf8(a.positional[1]);
    PropertyValues settings;
    for (size_t i = 2; i < a.positional.size(); ++i) {
        const size_t eq = a.positional[i].find('=');
        if (eq == std::string::npos) return fail(2, "expected NAME=VALUE, not " + a.positional[i]);
        settings.emplace_back(tkFromUtf8(a.positional[i].substr(0, eq)), tkFromUtf8(a.positional[i].substr(eq + 1)));
    }
    // The subset and its own settings in one edit: a wrong value refuses the whole.
    std::vector<TkString> names;
    for (size_t start = 0; start <= subsetPath.size();) {
        const size_t slash = std::min(subsetPath.find(L'/', start), subsetPath.size());
        if (slash > start) names.push_back(subsetPath.substr(start, slash - start));
        start = slash + 1;
    }
    const ActionResult r = runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return newSubset(s, {{}, names, {}, settings}); });
    return report(a.positional[0], r, r.status == ActionResult::Done ? L"new subset " + subsetPath : TkString());
}

int drawkitMove(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--to", "--after"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 2 || !a.has("--to"))
        return fail(2, "usage: drawkit move SET.dst ITEM --to SUBSET [--after ITEM] [--wait SECONDS]");
    const TkString item = tkFromUtf8(a.positional[1]), to = tkFromUtf8(a.value("--to")), after = tkFromUtf8(a.value("--after"));
    MoveRequest request{{ItemRef::named(item)}, after.empty() ? ItemRef{} : ItemRef::named(after), ItemRef::named(to), true};
    const ActionResult r = runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return moveItems(s, request); });
    return report(a.positional[0], r, L"moved " + item + L" to " + (to.empty() ? TkString(L"the sheet set") : to), true);
}

int drawkitProp(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {}, {"--nested"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() < 2) return fail(2, "usage: drawkit prop SET.dst [ITEM] NAME=VALUE... [--nested] [--wait SECONDS]");
    TkString item;
    PropertyValues values;
    for (size_t i = 1; i < a.positional.size(); ++i) {
        const std::string& p = a.positional[i];
        size_t eq = p.find('=');
        if (eq == std::string::npos) {
            if (i != 1) return fail(2, "expected NAME=VALUE, not " + p);
            item = tkFromUtf8(p);
            continue;
        }
        values.emplace_back(tkFromUtf8(p.substr(0, eq)), tkFromUtf8(p.substr(eq + 1)));
    }
    if (values.empty()) return fail(2, "no NAME=VALUE given");
    const PropertiesRequest request{item.empty() ? ItemRef{} : ItemRef::named(item), values, a.has("--nested"), {}, {}, {}};
    return report(a.positional[0], runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return setProperties(s, request); }));
}

int drawkitRestamp(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args);
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 1) return fail(2, "usage: drawkit restamp SET.dst [--wait SECONDS]");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(a.positional[0], ec)) return fail(2, a.positional[0] + ": no such sheet set file");
    RestampReport done;
    const ActionResult r = runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return restamp(s, &done); });
    if (!r.landed()) return report(a.positional[0], r);
    for (const TkString& p : done.problems) std::printf("left alone: %s\n", tkToUtf8(p).c_str());
    std::printf("%d drawing%s restamped, %d already pointing here, %zu left alone\n", done.changed, done.changed == 1 ? "" : "s",
                done.current, done.problems.size());
    return r.exitCode();
}

int drawkitUpdateFields(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {}, {"--json"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 1) return fail(2, "usage: drawkit update-fields SET.dst [--json] [--wait SECONDS]");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(a.positional[0], ec)) return fail(2, a.positional[0] + ": no such sheet set file");
    // Under the set's lock, so that a colleague's rename made meanwhile is what the drawings show.
    TitleBlockReport tb;
    const ActionResult r = runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return updateFields(s, &tb); });
    if (!r.landed()) return report(a.positional[0], r);
    const int drawingsChanged = tb.drawingsChanged, textsChanged = tb.textsChanged, current = tb.drawingsCurrent;
    std::vector<std::string> problems;
    for (const ActionResult::LeftAlone& l : r.leftAlone)
        if (l.problem) problems.push_back(tkToUtf8(l.item));
    if (a.has("--json")) {
        std::string list;
        for (const std::string& p : problems) list += (list.empty() ? "" : ", ") + json(p);
        std::printf("{\n  \"drawingsChanged\": %d,\n  \"textsChanged\": %d,\n  \"drawingsCurrent\": %d,\n  \"problems\": [%s]\n}\n",
                    drawingsChanged, textsChanged, current, list.c_str());
    } else {
        for (const std::string& p : problems) std::printf("title block not updated: %s\n", p.c_str());
        std::printf("title blocks: %d drawing%s updated (%d texts), %d already current\n", drawingsChanged, drawingsChanged == 1 ? "" : "s",
                    textsChanged, current);
    }
    return r.exitCode();
}
