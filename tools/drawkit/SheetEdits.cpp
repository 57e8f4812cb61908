// drawkit's sheets in bulk, through the cores the palette's dialogs use:
//   drawkit new-sheet SET.dst --subset PATH --number N --title T [--file NAME]
//   drawkit new-sheet SET.dst --from-csv SHEETS.csv   (one lock for the batch, a line per sheet)
//   drawkit import SET.dst DRAWING... [--layout NAME]... [--subset PATH] [--prefix-file-name]
//   drawkit import SET.dst DRAWING --layout NAME --for SHEET   (another layout for a sheet)
//   drawkit remove SET.dst ITEM...
// each with [--wait SECONDS]; exit codes as the other scripted edits.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "host/Documents.h"
#include "host/PathUtil.h"
#include "model/ImportLayouts.h"
#include "model/ItemLookup.h"
#include "model/NewSheet.h"
#include "actions/NewSheet.h"
#include "actions/RemoveItems.h"
#include "model/Restamp.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/Csv.h"
#include "tools/drawkit/EditRun.h"
#include "actions/ImportLayouts.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }
std::string U(const TkString& s) { return tkToUtf8(s); }

// The CSV's rows as requests; the columns are found by name, letter case aside. The drawing and
// layout columns of `drawkit sheets --csv` are passed over: a new sheet makes its own drawing.
bool requestsFromCsv(const std::string& file, std::vector<NewSheetRequest>& out, std::string& error) {
    std::vector<CsvRow> rows;
    if (!readCsvFile(file, rows, error)) {
        return false;
    }
    if (rows.empty()) {
        error = file + ": no header line";
        return false;
    }
    const CsvRow& head = rows.front();
    int number = -1, title = -1, subset = -1, fileName = -1;
    for (size_t c = 0; c < head.size(); ++c) {
        const TkString name = W(head[c]);
        if (vrutSameTextNoCase(name, L"Number")) number = static_cast<int>(c);
        else if (vrutSameTextNoCase(name, L"Title")) title = static_cast<int>(c);
        else if (vrutSameTextNoCase(name, L"Subset")) subset = static_cast<int>(c);
        else if (vrutSameTextNoCase(name, L"File")) fileName = static_cast<int>(c);
    }
    if (title < 0) {
        error = file + ": no Title column";
        return false;
    }
    auto cell = [](const CsvRow& r, int c) { return c >= 0 && static_cast<size_t>(c) < r.size() ? W(r[static_cast<size_t>(c)]) : TkString(); };
    for (size_t i = 1; i < rows.size(); ++i) {
        NewSheetRequest req;
        req.subset = ItemRef::named(cell(rows[i], subset));
        req.number = cell(rows[i], number);
        req.title = cell(rows[i], title);
        req.fileName = cell(rows[i], fileName);
        for (size_t c = 0; c < head.size(); ++c) {
            const TkString name = W(head[c]);
            if (static_cast<int>(c) == number || static_cast<int>(c) == title || static_cast<int>(c) == subset ||
                static_cast<int>(c) == fileName || vrutSameTextNoCase(name, L"Drawing") || vrutSameTextNoCase(name, L"Layout") || name.empty())
                continue;
            req.values.emplace_back(name, cell(rows[i], static_cast<int>(c)));
        }
        out.push_back(std::move(req));
    }
    return true;
}

}  // namespace

int drawkitNewSheet(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--subset", "--number", "--title", "--file", "--from-csv"});
    if (!a.error.empty()) return fail(2, a.error);
    const bool fromCsv = a.has("--from-csv");
    if (a.positional.size() != 1 || (fromCsv == a.has("--title")))
        return fail(2, "usage: drawkit new-sheet SET.dst --subset PATH --number N --title T [--file NAME] [--wait SECONDS]\n"
                       "       drawkit new-sheet SET.dst --from-csv SHEETS.csv [--wait SECONDS]");
    std::vector<NewSheetRequest> requests;
    if (fromCsv) {
        std::string error;
        if (!requestsFromCsv(a.value("--from-csv"), requests, error)) return fail(2, error);
    } else {
        NewSheetRequest one;
        one.subset = ItemRef::named(W(a.value("--subset")));
        one.number = W(a.value("--number"));
        one.title = W(a.value("--title"));
        one.fileName = W(a.value("--file"));
        requests.push_back(one);
    }
    const int version = drawingVersionForSaveFormat(vrapDefaultSaveFormat());
    for (NewSheetRequest& r : requests) r.version = version;
    // The rows before a failing one stand; the failing row made nothing.
    std::vector<NewSheetMade> made;
    const ActionResult r = runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return newSheets(s, requests, &made); });
    auto where = [&](size_t row) { return fromCsv ? "row " + std::to_string(row + 2) + ": " : std::string(); };
    if (!r.landed()) {
        if (r.status != ActionResult::Refused) return report(a.positional[0], r);
        return fail(1, where(0) + U(r.message));
    }
    for (size_t i = 0; i < made.size(); ++i) {
        const NewSheetRequest& q = requests[i];
        std::printf("%snew sheet %s in %s: %s\n", where(i).c_str(), U(sheetDisplayName(q.number, q.title)).c_str(),
                    q.subset.typed.empty() ? "the sheet set" : U(q.subset.typed).c_str(), U(made[i].drawingPath).c_str());
    }
    for (const ActionResult::LeftAlone& l : r.leftAlone)
        if (l.reason != kTitleBlockNotUpdated && made.size() < requests.size() && l.item == sheetDisplayName(requests[made.size()].number, requests[made.size()].title))
            std::fprintf(stderr, "drawkit: %s%s\n", where(made.size()).c_str(), U(l.reason).c_str());
        else
            std::printf("%s: %s\n", U(l.reason).c_str(), U(l.item).c_str());
    if (fromCsv) std::printf("%zu of %zu sheets made\n", made.size(), requests.size());
    return made.size() < requests.size() || r.hasProblems() ? 1 : 0;
}

int drawkitImport(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--layout", "--subset", "--for"}, {"--prefix-file-name"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() < 2)
        return fail(2, "usage: drawkit import SET.dst DRAWING... [--layout NAME]... [--subset PATH] [--prefix-file-name] [--wait SECONDS]\n"
                       "       drawkit import SET.dst DRAWING --layout NAME --for SHEET   (the sheet takes that layout instead)");
    std::vector<TkString> drawings;
    for (size_t i = 1; i < a.positional.size(); ++i) drawings.push_back(vrutAbsolutePath(W(a.positional[i])));
    std::vector<TkString> wanted;
    if (a.options.count("--layout"))
        for (const std::string& l : a.options.at("--layout")) wanted.push_back(W(l));
    const TkString subsetPath = W(a.value("--subset")), forSheet = W(a.value("--for"));
    if (!forSheet.empty() && (drawings.size() != 1 || wanted.size() != 1)) return fail(2, "--for takes one drawing and one --layout");
    const bool prefix = a.has("--prefix-file-name");
    std::vector<TkString> problems;
    const TkString setPath = setPathOf(a.positional[0]);
    // The drawings are read before the lock is taken: their rows are facts of the drawings, and
    // whether a layout is a sheet already is asked again of the set under the lock.
    std::vector<LayoutRow> rows;
    LayoutRowsReport found;
    CSheetSetMgrImpl peek;
    if (!peek.openSheetSet(setPath.c_str())) return fail(2, a.positional[0] + ": " + tkToUtf8(peek.lastError()));
    readLayoutRows([&](const TkString& d, const TkString& l) { return peek.containsLayout(d.c_str(), l.c_str()); }, {setPath}, drawings, rows,
                   found);
    for (const TkString& d : found.unreadable) problems.push_back(d + L": cannot be read");
    for (const TkString& d : found.noLayouts) problems.push_back(d + L": no initialized layout");
    for (const TkString& w : wanted)
        if (std::none_of(rows.begin(), rows.end(), [&](const LayoutRow& r) { return r.layout == w; }))
            return fail(1, "no initialized layout " + U(w) + " in the drawings given");
    if (!wanted.empty())
        std::erase_if(rows, [&](const LayoutRow& r) { return std::find(wanted.begin(), wanted.end(), r.layout) == wanted.end(); });
    const ActionResult r = runAction(setPath, a.waitMs, [&](EditSession& s) {
        // Sheets made meanwhile by someone else count: a layout is a sheet if the set holds it now.
        for (LayoutRow& row : rows)
            if (s.set()->containsLayout(row.drawing.c_str(), row.layout.c_str())) row.status = LayoutRow::InUse;
        if (!forSheet.empty()) {
            if (rows.size() != 1) return ActionResult::refused(L"--for takes one layout");
            return relinkSheet(s, {ItemRef::named(forSheet), rows.front()});
        }
        return importLayouts(s, {subsetPath.empty() ? ItemRef{} : ItemRef::named(subsetPath), {}, rows, prefix});
    });
    for (const TkString& p : problems) std::printf("left out: %s\n", U(p).c_str());
    return report(a.positional[0], r);
}

int drawkitRemove(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args);
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() < 2) return fail(2, "usage: drawkit remove SET.dst ITEM... [--wait SECONDS]");
    std::vector<ItemRef> items;
    for (size_t i = 1; i < a.positional.size(); ++i) items.push_back(ItemRef::named(W(a.positional[i])));
    return report(a.positional[0], runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return removeItems(s, items); }));
}
