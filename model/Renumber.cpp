#include "model/Renumber.h"

#include "model/NameRules.h"

#include <map>

#include "host/PathUtil.h"
#include "model/NewSheet.h"
#include "model/RenameSheet.h"

TkString renumberPatternValue(const TkString& pattern, long long n) {
    const size_t first = pattern.find(L'#');
    if (first == TkString::npos) return pattern;
    size_t last = first;
    while (last + 1 < pattern.size() && pattern[last + 1] == L'#') ++last;
    TkString digits = std::to_wstring(n);
    const size_t width = last - first + 1;
    if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
    return pattern.substr(0, first) + digits + pattern.substr(last + 1);
}

RenumberPlan planRenumber(CSheetSet* set, CSubset* subset, const TkString& pattern, long long start, long long step) {
    RenumberPlan plan;
    if (pattern.find(L'#') == TkString::npos) {
        plan.error = L"the pattern has no # for the counter";
        return plan;
    }
    if (step == 0) {
        plan.error = L"a step of 0 gives every sheet the same number";
        return plan;
    }
    // The numbers name the drawings' files when those are renamed: no folder may come of them.
    if (!checkEnteredText(L"the pattern", pattern, kMaxNumberLength, plan.error)) return plan;
    if (hasUnsupportedCharacters(pattern)) {
        plan.error = L"the pattern \"" + pattern + L"\" holds a character numbers may not: " + unsupportedNameCharacters();
        return plan;
    }
    constexpr long long kMaxCounter = 1000000000;
    if (start < -kMaxCounter || start > kMaxCounter || step < -kMaxCounter || step > kMaxCounter) {
        plan.error = L"the start and the step may be at most " + std::to_wstring(kMaxCounter) + L" either way";
        return plan;
    }
    std::vector<CSheet*> inside, all;
    subset->getSheets(inside, true);
    set->getSheets(all, true);
    long long n = start;
    for (CSheet* s : inside) {
        plan.changes.push_back({s, s->getNumber(), renumberPatternValue(pattern, n)});
        if (plan.changes.back().newNumber.size() > static_cast<size_t>(kMaxNumberLength)) {
            plan.error = L"the number " + plan.changes.back().newNumber + L" would be longer than " + std::to_wstring(kMaxNumberLength) +
                         L" characters";
            plan.changes.clear();
            return plan;
        }
        n += step;
    }
    // Sheets outside the subset keep their numbers: a new number equal to one of theirs collides.
    std::map<TkString, CSheet*> outside;
    for (CSheet* s : all)
        if (std::find(inside.begin(), inside.end(), s) == inside.end() && !s->getNumber().empty()) outside[s->getNumber()] = s;
    for (const RenumberChange& c : plan.changes)
        if (auto it = outside.find(c.newNumber); it != outside.end())
            plan.collisions.push_back(c.newNumber + L": also the number of " + sheetDisplayName(it->second->getNumber(), it->second->getTitle()));
    return plan;
}

std::vector<TkString> applyRenumber(CSheetSet* set, const RenumberPlan& plan, bool renameLayouts, bool renameFiles) {
    std::vector<TkString> problems;
    if (!plan.ok()) return problems;
    std::vector<CSheet*> all;
    set->getSheets(all, true);
    std::map<TkString, int> sheetsPerDrawing;
    for (CSheet* s : all) ++sheetsPerDrawing[s->getFileName()];
    for (const RenumberChange& c : plan.changes) {
        c.sheet->setNumber(c.newNumber.c_str());
        if (!renameLayouts && !renameFiles) continue;
        const TkString name = proposedSheetFileName(c.newNumber, c.sheet->getTitle());
        TkString newPath;
        if (renameFiles) {
            if (sheetsPerDrawing[c.sheet->getFileName()] == 1) {
                TkString folder, file;
                vrutSplitPath(c.sheet->getFileName(), folder, file);
                newPath = folder + name + L".dwg";
                if (newPath == c.sheet->getFileName()) newPath.clear();
            } else {
                problems.push_back(c.sheet->getFileName() + L": shows several sheets, its file keeps its name");
            }
        }
        TkString error;
        if (!renameSheetDrawing(*set, *c.sheet, renameLayouts ? name : TkString(), newPath, error)) problems.push_back(error);
    }
    return problems;
}
