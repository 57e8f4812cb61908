// drawkit resave SET.dst [--log FILE] [--wait SECONDS]: every sheet's drawing stamped for the set
// and saved in place, under the set's lock; the sheets that failed are printed and appended to the
// report log beside the set (or FILE). Exit 0 all resaved, 1 some reported, 2 and 3 as the edits.
#include <unistd.h>

#include <cstdio>

#include "host/Documents.h"
#include "model/NewSheet.h"
#include "actions/ResaveSheets.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/EditRun.h"

int drawkitResave(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--log"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 1) return fail(2, "usage: drawkit resave SET.dst [--log FILE] [--wait SECONDS]");
    const bool terminal = ::isatty(2);
    ResaveRequest request{drawingVersionForSaveFormat(vrapDefaultSaveFormat()), {}, tkFromUtf8(a.value("--log"))};
    auto onTerminal = [terminal](const std::function<void(const ResaveTick&)>& work) {
        work([terminal](int done, int total, const TkString&, const std::vector<int>&) {
            if (terminal) std::fprintf(stderr, "\rresaving %d/%d", done, total);
            return true;
        });
        if (terminal) std::fputc('\n', stderr);
        return true;
    };
    ResaveOutcome out;
    const ActionResult r = runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return resaveSheets(s, request, onTerminal, out); });
    if (!r.landed()) return report(a.positional[0], r);
    for (const ResaveEntry& e : out.entries) std::printf("%s: %s (%s)\n", tkToUtf8(e.sheet).c_str(), tkToUtf8(e.status).c_str(), tkToUtf8(e.location).c_str());
    std::printf("%d of %d sheets resaved", out.resaved, out.sheets);
    if (!out.entries.empty())
        std::printf("; %zu reported in %s%s", out.entries.size(), tkToUtf8(out.log).c_str(), out.logFailed ? " (which could not be written)" : "");
    std::printf("\n");
    return out.entries.empty() ? 0 : 1;
}
