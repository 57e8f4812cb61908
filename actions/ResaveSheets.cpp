#include "actions/ResaveSheets.h"

#include "host/Documents.h"

ActionResult resaveSheets(EditSession& session, const ResaveRequest& request, const ResaveLoop& loop, ResaveOutcome& outcome) {
    CSheetSetImpl& set = *session.set();
    std::vector<CSheet*> sheets;
    set.getSheets(sheets, true);
    outcome = {};
    outcome.sheets = static_cast<int>(sheets.size());
    std::vector<int> statuses;
    auto resaveOne = [&](size_t i) { return resaveSheet(sheets[i], set.getFileName(), request.version, request.hostDocument); };
    if (loop) {
        outcome.finished = loop(sheets, resaveOne, statuses);
    } else {
        for (size_t i = 0; i < sheets.size(); ++i) statuses.push_back(resaveOne(i));
    }
    for (int s : statuses) outcome.resaved += s == kResaved ? 1 : 0;
    outcome.entries = resaveReport(sheets, statuses, vrapDrawingHolder);
    outcome.log = request.logPath.empty() ? resaveLogPath(&set) : request.logPath;
    if (!outcome.entries.empty()) outcome.logFailed = !appendResaveLog(outcome.log, outcome.entries);

    ActionResult r = ActionResult::nothingToDo();
    r.changed.push_back(std::to_wstring(outcome.resaved) + L" of " + std::to_wstring(outcome.sheets) + L" sheets resaved");
    for (const ResaveEntry& e : outcome.entries) r.leftAlone.push_back({e.sheet + L" (" + e.location + L")", e.status, true});
    // The set itself is not written: nothing of it changed.
    return session.commit(r);
}
