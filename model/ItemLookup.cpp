#include "model/ItemLookup.h"

#include "model/NewSheet.h"

#include "model/SheetImpl.h"

#include "model/SheetImpl.h"

namespace {
// "A/B" and "A / B" (as the sheet index writes paths) name the same subset: the blanks around
// each part are not part of the name.
std::vector<TkString> splitPath(const TkString& path) {
    std::vector<TkString> parts;
    TkString part;
    for (wchar_t ch : path + L"/") {
        if (ch != L'/') {
            part += ch;
            continue;
        }
        const size_t b = part.find_first_not_of(L" \t"), e = part.find_last_not_of(L" \t");
        if (b != TkString::npos) parts.push_back(part.substr(b, e - b + 1));
        part.clear();
    }
    return parts;
}
}  // namespace

uint64_t componentId(const CComponent* c) {
    if (!c) return 0;
    if (c->getType() == kComponentSheet) return static_cast<const CSheetImpl*>(c)->toolkitSheet()->id();
    if (c->getType() == kComponentSheetSet) return static_cast<const CSheetSetImpl*>(c)->rootSubset()->toolkitSubset()->id();
    return static_cast<const CSubsetImpl*>(c)->toolkitSubset()->id();
}

CComponent* findComponentById(CSheetSetImpl* set, uint64_t id) {
    if (!set || !id) return nullptr;
    if (componentId(set) == id) return set;
    std::vector<CSubset*> subsets;
    set->getSubsets(subsets, true);
    for (CSubset* s : subsets)
        if (componentId(s) == id) return s;
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    for (CSheet* s : sheets)
        if (componentId(s) == id) return s;
    return nullptr;
}

CSubset* findSubsetByPath(CSheetSet* set, const TkString& path) {
    CSubset* at = set;
    for (const TkString& name : splitPath(path)) {
        CSubset* next = nullptr;
        for (int i = 0; i < at->getCount() && !next; ++i)
            if (CComponent* c = at->getAt(i); c->getType() == kComponentSubset && sameTextNoCase(static_cast<CSubset*>(c)->getName(), name))
                next = static_cast<CSubset*>(c);
        if (!next) return nullptr;
        at = next;
    }
    return at;
}

CComponent* findItem(CSheetSet* set, const TkString& wanted, TkString& error) {
    error.clear();
    if (wanted.empty()) {
        error = L"no sheet or subset given";
        return nullptr;
    }
    if (CSubset* s = findSubsetByPath(set, wanted)) return s;
    std::vector<CSheet*> sheets, hits;
    set->getSheets(sheets, true);
    for (CSheet* s : sheets)
        if (s->getNumber() == wanted) hits.push_back(s);
    if (hits.size() == 1) return hits.front();
    // A sheet without a number (an imported layout) by its subset's path and its name as the tree
    // shows it: "Landscape/Survey - Site 1".
    if (hits.empty()) {
        const size_t cut = wanted.rfind(L'/');
        CSubset* parent = cut == TkString::npos ? set : findSubsetByPath(set, wanted.substr(0, cut));
        TkString name = cut == TkString::npos ? wanted : wanted.substr(cut + 1);
        name.erase(0, name.find_first_not_of(L" \t"));
        std::vector<CSheet*> direct;
        if (parent) parent->getSheets(direct, false);
        for (CSheet* s : direct) {
            if (sheetDisplayName(s) == name) hits.push_back(s);
        }
        if (hits.size() == 1) return hits.front();
    }
    error = hits.empty() ? L"no subset, sheet number or sheet \"" + wanted + L"\" in the sheet set"
                         : std::to_wstring(hits.size()) + L" sheets carry the number \"" + wanted + L"\"";
    return nullptr;
}

CSheet* sheetNumbered(CSheetSet* set, const TkString& number, const CSheet* except) {
    const TkString wanted = trimmedText(number);
    if (wanted.empty()) return nullptr;
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    for (CSheet* s : sheets)
        if (s != except && sameTextNoCase(trimmedText(s->getNumber()), wanted)) return s;
    return nullptr;
}

TkString numberInUseText(const TkString& number, const CSheet* holder) {
    return L"the sheet number " + trimmedText(number) + L" is taken: " + sheetDisplayName(holder) + L" carries it";
}
