#include "actions/ResaveSheets.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "host/Documents.h"
#include "toolkit/common/TkUtf8.h"

namespace {

// Every drawing resaved by `workers` threads at once: each save's flush waits on the disk, so
// several overlap. A drawing not started when the tick asks to stop stays as it is.
std::vector<std::vector<int>> resaveAll(const std::vector<ResaveDrawing>& drawings, const TkString& setPath, int version, int workers,
                                        const ResaveTick& tick) {
    std::vector<std::vector<int>> statuses(drawings.size());
    std::atomic<size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex tickMutex;
    int done = 0;
    if (tick && !tick(0, static_cast<int>(drawings.size()), {}, {})) return statuses;  // cancelled at once
    auto worker = [&] {
        for (size_t i; !stop && (i = next++) < drawings.size();) {
            statuses[i] = resaveDrawing(drawings[i], setPath, version);
            std::lock_guard<std::mutex> lock(tickMutex);
            ++done;
            if (tick && !tick(done, static_cast<int>(drawings.size()), drawings[i].path, statuses[i])) stop = true;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < workers; ++t) threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads) t.join();
    return statuses;
}

}  // namespace

ActionResult resaveSheets(EditSession& session, const ResaveRequest& request, const ResaveRunner& run, ResaveOutcome& outcome) {
    CSheetSetImpl& set = *session.set();
    std::vector<CSheet*> sheets;
    set.getSheets(sheets, true);
    outcome = {};
    outcome.sheets = static_cast<int>(sheets.size());
    std::vector<size_t> drawingOf;
    const std::vector<ResaveDrawing> drawings = resaveDrawings(sheets, drawingOf, request.hostDocument);
    outcome.drawings = static_cast<int>(drawings.size());
    const int workers = std::clamp(request.workers > 0 ? request.workers : static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
    const TkString setPath = set.getFileName();
    // Every drawing that may be written is noted in the journal with one flush before any is.
    if (TkFileJournal* journal = TkFileJournal::active()) {
        std::vector<std::string> paths;
        for (const ResaveDrawing& d : drawings)
            if (d.here != HostDocument::Editable) paths.push_back(tkToUtf8(d.path));
        if (const std::string e = journal->beforeWriteAll(paths); !e.empty()) {
            journal->noteFailure(e);
            return session.commit(ActionResult::refused(tkFromUtf8(e)));
        }
    }
    std::vector<std::vector<int>> byDrawing;
    auto work = [&](const ResaveTick& tick) { byDrawing = resaveAll(drawings, setPath, request.version, workers, tick); };
    if (run) outcome.finished = run(work);
    else work({});

    // A status per sheet, in set order, for the sheets whose drawing was handled.
    std::vector<int> statuses;
    std::vector<size_t> taken(drawings.size(), 0);
    std::vector<CSheet*> handled;
    for (size_t i = 0; i < sheets.size(); ++i) {
        const std::vector<int>& s = byDrawing.size() > drawingOf[i] ? byDrawing[drawingOf[i]] : std::vector<int>{};
        if (s.empty()) continue;  // not reached before Cancel
        statuses.push_back(s[taken[drawingOf[i]]++]);
        handled.push_back(sheets[i]);
        outcome.resaved += statuses.back() == kResaved ? 1 : 0;
    }
    outcome.entries = resaveReport(handled, statuses, vrapDrawingHolder);
    outcome.log = request.logPath.empty() ? resaveLogPath(&set) : request.logPath;
    if (!outcome.entries.empty()) outcome.logFailed = !appendResaveLog(outcome.log, outcome.entries);

    ActionResult r = ActionResult::nothingToDo();
    r.changed.push_back(std::to_wstring(outcome.resaved) + L" of " + std::to_wstring(outcome.sheets) + L" sheets resaved (" +
                        std::to_wstring(outcome.drawings) + L" drawings)");
    for (const ResaveEntry& e : outcome.entries) r.leftAlone.push_back({e.sheet + L" (" + e.location + L")", e.status, true});
    // The set itself is not written: nothing of it changed.
    return session.commit(r);
}
