// drawkit resave SET.dst [--log FILE] [--wait SECONDS]: every sheet's drawing stamped for the set
// and saved in place, under the set's lock; the sheets that failed are printed and appended to the
// report log beside the set (or FILE). Exit 0 all resaved, 1 some reported, 2 and 3 as the edits.
#include <unistd.h>

#include <cstdio>

#include "host/Documents.h"
#include "model/NewSheet.h"
#include "model/ResaveSheets.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/EditRun.h"

int drawkitResave(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--log"});
    if (!a.error.empty()) return fail(1, a.error);
    if (a.positional.size() != 1) return fail(1, "usage: drawkit resave SET.dst [--log FILE] [--wait SECONDS]");
    std::vector<ResaveEntry> entries;
    int sheetsDone = 0, total = 0;
    TkString log;
    bool logFailed = false;
    const bool terminal = ::isatty(2);
    // The drawings change, the set does not: it is held so that nobody edits it meanwhile.
    const int code = runEdit(a.positional[0], a.waitMs, [&](CSheetSetImpl& set) {
        std::vector<CSheet*> sheets;
        set.getSheets(sheets, true);
        total = static_cast<int>(sheets.size());
        std::vector<int> statuses;
        const int version = drawingVersionForSaveFormat(vrapDefaultSaveFormat());
        for (size_t i = 0; i < sheets.size(); ++i) {
            if (terminal) std::fprintf(stderr, "\rresaving %zu/%zu", i + 1, sheets.size());
            statuses.push_back(resaveSheet(sheets[i], set.getFileName(), version, {}));
            sheetsDone += statuses.back() == kResaved ? 1 : 0;
        }
        if (terminal) std::fputc('\n', stderr);
        entries = resaveReport(sheets, statuses, vrapDrawingHolder);
        log = a.has("--log") ? tkFromUtf8(a.value("--log")) : resaveLogPath(&set);
        if (!entries.empty()) logFailed = !appendResaveLog(log, entries);
        return false;
    }, {}, true);
    if (code) return code;
    for (const ResaveEntry& e : entries) std::printf("%s: %s (%s)\n", tkToUtf8(e.sheet).c_str(), tkToUtf8(e.status).c_str(), tkToUtf8(e.location).c_str());
    std::printf("%d of %d sheets resaved", sheetsDone, total);
    if (!entries.empty()) std::printf("; %zu reported in %s%s", entries.size(), tkToUtf8(log).c_str(), logFailed ? " (which could not be written)" : "");
    std::printf("\n");
    return entries.empty() ? 0 : 1;
}
