// drawkit renumber SET.dst SUBSET --pattern "A-1##" [--start 1] [--step 1] [--rename-layouts]
//     [--rename-files] [--dry-run]: the subset's sheets numbered in tree order; every old and new
//     number is printed first, and numbers that would collide with other sheets stop it (exit 1).
// drawkit rename SET.dst ITEM [--number N] [--title T] [--rename-layout] [--rename-file]: one sheet,
//     its layout and drawing renamed with it ("NUMBER TITLE") when asked.
// Both with [--wait SECONDS]; the title blocks follow.
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "host/PathUtil.h"
#include "model/ItemLookup.h"
#include "model/NewSheet.h"
#include "model/RenameSheet.h"
#include "model/Renumber.h"
#include "model/ScriptedEdits.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/EditRun.h"
#include "actions/RenameSheet.h"
#include "actions/Renumber.h"

namespace {
std::string U(const TkString& s) { return tkToUtf8(s); }
}  // namespace

int drawkitRenumber(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--pattern", "--start", "--step"}, {"--rename-layouts", "--rename-files", "--dry-run"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 2 || !a.has("--pattern"))
        return fail(2, "usage: drawkit renumber SET.dst SUBSET --pattern \"A-1##\" [--start 1] [--step 1] [--rename-layouts] "
                       "[--rename-files] [--dry-run] [--wait SECONDS]");
    // The whole text must be a number ("1x" is refused); `end` points into the kept string.
    auto whole = [&](const char* option, long long& out) {
        if (!a.has(option)) return true;
        const std::string text = a.value(option);
        char* end = nullptr;
        errno = 0;
        out = std::strtoll(text.c_str(), &end, 10);
        return !text.empty() && end && *end == '\0' && errno != ERANGE;
    };
    long long start = 1, step = 1;
    if (!whole("--start", start)) return fail(2, "--start takes a whole number");
    if (!whole("--step", step)) return fail(2, "--step takes a whole number");
    const TkString subsetPath = tkFromUtf8(a.positional[1]), pattern = tkFromUtf8(a.value("--pattern"));
    const RenumberRequest request{ItemRef::named(subsetPath), pattern, start, step, a.has("--rename-layouts"), a.has("--rename-files"),
                                  a.has("--dry-run")};
    const ActionResult r = runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) {
        // Every change is shown before anything changes.
        return renumberSheets(s, request, [](const RenumberPlan& plan) {
            for (const RenumberChange& c : plan.changes)
                std::printf("%-12s -> %-12s %s\n", U(c.oldNumber.empty() ? L"(none)" : c.oldNumber).c_str(), U(c.newNumber).c_str(),
                            U(c.sheet->getTitle()).c_str());
            for (const TkString& c : plan.collisions) std::printf("collides: %s\n", U(c).c_str());
        });
    });
    const int code = report(a.positional[0], r, L"renumbered " + subsetPath, request.dryRun);
    return code == 1 && request.dryRun ? 0 : code;  // a dry run that showed its changes did what it was asked
}

int drawkitRename(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--number", "--title"}, {"--rename-layout", "--rename-file"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 2 || (!a.has("--number") && !a.has("--title")))
        return fail(2, "usage: drawkit rename SET.dst ITEM [--number N] [--title T] [--rename-layout] [--rename-file] [--wait SECONDS]");
    const TkString item = tkFromUtf8(a.positional[1]);
    RenameRequest request{ItemRef::named(item)};
    if (a.has("--number")) request.number = tkFromUtf8(a.value("--number"));
    if (a.has("--title")) request.title = tkFromUtf8(a.value("--title"));
    request.layoutAsSheet = a.has("--rename-layout");
    request.fileAsSheet = a.has("--rename-file");
    return report(a.positional[0], runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return renameSheet(s, request); }),
                  L"renamed " + item);
}
