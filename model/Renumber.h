#pragma once
// Renumbering a whole subset by a pattern, as offices do hundreds of sheets at a time: the sheets of
// the subset (its nested subsets' too) in tree order get "A-1##" with the counter in the #s, zero
// padded. Numbers that would collide with sheets outside the subset are found first, and then
// nothing changes.
#include <vector>

#include "model/SheetSetImpl.h"

struct RenumberChange {
    CSheet* sheet;
    TkString oldNumber, newNumber;
};

struct RenumberPlan {
    std::vector<RenumberChange> changes;  // in tree order
    std::vector<TkString> collisions;     // "A-101: also the number of Plans/A-101 Ground Floor"
    TkString error;                       // a pattern without # or a bad start or step
    bool ok() const { return error.empty() && collisions.empty(); }
};

// "A-1##" with n = 7 -> "A-107"; more digits than #s are kept whole.
TkString renumberPatternValue(const TkString& pattern, long long n);
RenumberPlan planRenumber(CSheetSet* set, CSubset* subset, const TkString& pattern, long long start, long long step);

// Applies a plan that is ok: numbers set; with `renameLayouts` each layout is renamed "NUMBER TITLE"
// in its drawing, with `renameFiles` a drawing that shows this sheet alone is renamed so too.
// Returns the drawings left alone, with the reason.
std::vector<TkString> applyRenumber(CSheetSet* set, const RenumberPlan& plan, bool renameLayouts, bool renameFiles);
