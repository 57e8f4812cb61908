// drawkit index SET.dst --apply INDEX.csv [--dry-run] [--skip-unmatched] [--rename-layouts]
// The sheet index that `drawkit sheets --csv` writes, edited in a spreadsheet, applied back: each
// row finds its sheet by its Drawing and Layout columns; Number, Title, Description, Revision,
// Revision Date, Purpose, Category, Publish and the set's sheet property columns are set. Every
// change is printed first; a row that finds no sheet, or a value that breaks a rule, applies
// nothing (unmatched rows are passed over with --skip-unmatched). One lock for the whole index.
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "host/PathUtil.h"
#include "model/NewSheet.h"
#include "model/RenameSheet.h"
#include "model/ScriptedEdits.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/Csv.h"
#include "tools/drawkit/EditRun.h"

namespace {

namespace fs = std::filesystem;
TkString W(const std::string& s) { return tkFromUtf8(s); }
std::string U(const TkString& s) { return tkToUtf8(s); }

// A drawing column as the index writes it: relative to the set's folder, or absolute.
TkString drawingKey(const fs::path& setFolder, const std::string& cell) {
    fs::path p(cell);
    if (p.is_relative()) p = setFolder / p;
    return W(p.lexically_normal().string());
}

// The value a sheet shows under a column of the index, to see what a row changes.
TkString currentValue(const CSheet* s, const TkString& column) {
    auto is = [&](const wchar_t* n) { return vrutSameTextNoCase(column, n); };
    if (is(L"Number")) return s->getNumber();
    if (is(L"Title")) return s->getTitle();
    if (is(L"Description")) return s->getDesc();
    if (is(L"Revision")) return s->getRevisionNumber();
    if (is(L"Revision Date")) return s->getRevisionDate();
    if (is(L"Purpose")) return s->getIssuePurpose();
    if (is(L"Category")) return s->getCategory();
    if (is(L"Publish")) return s->getIncludeForPublish() ? L"yes" : L"no";
    std::vector<CustomProperty> props;
    s->getCustomProperties()->getAll(props);
    for (const CustomProperty& p : props)
        if (vrutSameTextNoCase(p.name, column)) return p.value;
    return L"\x1F";  // a column the sheet does not have: any value is a change
}

}  // namespace

int drawkitIndex(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--apply"}, {"--dry-run", "--skip-unmatched", "--rename-layouts"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 1 || !a.has("--apply"))
        return fail(2, "usage: drawkit index SET.dst --apply INDEX.csv [--dry-run] [--skip-unmatched] [--rename-layouts] [--wait SECONDS]");
    std::vector<CsvRow> rows;
    std::string parseError;
    if (!readCsvFile(a.value("--apply"), rows, parseError)) return fail(2, parseError);
    if (rows.empty()) return fail(2, a.value("--apply") + ": no header line");
    const CsvRow head = rows.front();
    int drawingCol = -1, layoutCol = -1;
    for (size_t c = 0; c < head.size(); ++c) {
        if (vrutSameTextNoCase(W(head[c]), L"Drawing")) drawingCol = static_cast<int>(c);
        if (vrutSameTextNoCase(W(head[c]), L"Layout")) layoutCol = static_cast<int>(c);
    }
    if (drawingCol < 0 || layoutCol < 0) return fail(2, "the index needs its Drawing and Layout columns to find the sheets");
    const bool dryRun = a.has("--dry-run"), skipUnmatched = a.has("--skip-unmatched"), renameLayouts = a.has("--rename-layouts");
    int changedSheets = 0;
    std::vector<TkString> problems;
    const int code = runEdit(a.positional[0], a.waitMs, reporting([&](CSheetSetImpl& set, TkString& error) {
        const fs::path folder = fs::path(U(set.getFileName())).parent_path();
        std::map<std::pair<TkString, TkString>, CSheet*> byPlace;
        std::vector<CSheet*> sheets;
        set.getSheets(sheets, true);
        for (CSheet* s : sheets) byPlace[{W(fs::path(U(s->getFileName())).lexically_normal().string()), s->getLayoutName()}] = s;
        // Every row is matched and checked before anything changes.
        std::vector<std::pair<CSheet*, PropertyValues>> work;
        std::vector<TkString> unmatched;
        for (size_t r = 1; r < rows.size(); ++r) {
            const CsvRow& row = rows[r];
            auto cell = [&](int c) { return c >= 0 && static_cast<size_t>(c) < row.size() ? row[static_cast<size_t>(c)] : std::string(); };
            auto it = byPlace.find({drawingKey(folder, cell(drawingCol)), W(cell(layoutCol))});
            if (it == byPlace.end()) {
                unmatched.push_back(L"row " + std::to_wstring(r + 1) + L": no sheet shows layout " + W(cell(layoutCol)) + L" of " + W(cell(drawingCol)));
                continue;
            }
            PropertyValues values;
            for (size_t c = 0; c < head.size(); ++c) {
                const TkString column = W(head[c]);
                if (column.empty() || vrutSameTextNoCase(column, L"Drawing") || vrutSameTextNoCase(column, L"Layout") ||
                    vrutSameTextNoCase(column, L"Subset"))
                    continue;
                const TkString value = W(cell(static_cast<int>(c)));
                const TkString now = currentValue(it->second, column);
                if (value == now || (now == L"\x1F" && value.empty())) continue;
                if (vrutSameTextNoCase(column, L"Publish") && vrutSameTextNoCase(value, now)) continue;
                std::printf("%s: %s \"%s\" -> \"%s\"\n", U(sheetDisplayName(it->second->getNumber(), it->second->getTitle())).c_str(),
                            U(column).c_str(), U(now == L"\x1F" ? TkString() : now).c_str(), U(value).c_str());
                values.emplace_back(column, value);
            }
            if (values.empty()) continue;
            if (!setComponentProperties(set, it->second, values, error, true, false, false)) {
                error = L"row " + std::to_wstring(r + 1) + L": " + error;
                return false;
            }
            work.emplace_back(it->second, values);
        }
        for (const TkString& u : unmatched) std::printf("%s %s\n", skipUnmatched ? "passed over:" : "unmatched:", U(u).c_str());
        if (!unmatched.empty() && !skipUnmatched)
            return (error = std::to_wstring(unmatched.size()) + L" rows find no sheet; nothing changed (--skip-unmatched passes them over)"), false;
        // Numbers may change hands between sheets; it is where they end up that must be unique.
        std::map<CSheet*, TkString> numbers;
        std::vector<CSheet*> all;
        set.getSheets(all, true);
        for (CSheet* s : all) numbers[s] = s->getNumber();
        for (const auto& [sheet, values] : work)
            for (const auto& [name, value] : values)
                if (vrutSameTextNoCase(name, L"Number")) numbers[sheet] = value;
        std::map<TkString, CSheet*> holders;
        for (const auto& [sheet, number] : numbers) {
            TkString key = trimmedText(number);
            for (wchar_t& c : key) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
            if (key.empty()) continue;
            if (auto [at, fresh] = holders.try_emplace(key, sheet); !fresh)
                return (error = L"the index gives the number " + trimmedText(number) + L" to two sheets (" + sheetDisplayName(at->second) +
                                L" and " + sheetDisplayName(sheet) + L"); nothing changed"),
                       false;
        }
        if (dryRun) return (error = L"dry run: nothing changed"), false;
        if (work.empty()) return (error = L"the index changes nothing"), false;
        for (auto& [sheet, values] : work) {
            setComponentProperties(set, sheet, values, error, false, false, false);
            if (renameLayouts) {
                TkString why;
                if (!renameSheetDrawing(set, *sheet, proposedSheetFileName(sheet->getNumber(), sheet->getTitle()), TkString(), why))
                    problems.push_back(why);
            }
        }
        changedSheets = static_cast<int>(work.size());
        return true;
    }), {});
    for (const TkString& p : problems) std::printf("layout not renamed: %s\n", U(p).c_str());
    if (code == 0) {
        std::printf("%d sheets changed\n", changedSheets);
    }
    return code == 1 && dryRun ? 0 : code;
}
