#pragma once
// Finding sheets and subsets again: by the id their toolkit object is stored under (it survives a
// reload, pointers do not), and by what people and scripts type: a subset path
// ("Architecture/Plans") or a sheet number.
#include <cstdint>

#include "model/SheetSetImpl.h"

// The stored id of the component's toolkit object; 0 for null.
uint64_t componentId(const CComponent* c);
// The component of `set` stored under `id`; null when the set has none (it was removed).
CComponent* findComponentById(CSheetSetImpl* set, uint64_t id);

// The subset a path names: "" or "/" is the sheet set itself, "A/B" the subset B in A (names
// compared without regard to case). Null when some part is missing.
CSubset* findSubsetByPath(CSheetSet* set, const TkString& path);
// A subset path, else a sheet number (numbers compared exactly, as a title block shows them), else
// a subset path and a sheet as the tree names it ("Landscape/Site Plan" for a sheet without a
// number). Null with `error` saying why: nothing of that name, or a number that several sheets carry.
CComponent* findItem(CSheetSet* set, const TkString& wanted, TkString& error);
// The sheet of `set`, other than `except`, that carries `number` (letter case and surrounding
// blanks aside); null for an empty number. A number is the sheet's address in scripts, the index
// and title blocks, so no two sheets of a set may share one.
CSheet* sheetNumbered(CSheetSet* set, const TkString& number, const CSheet* except = nullptr);
// "the number A-101 is A-101 Ground Floor Plan's already" for a number `holder` carries.
TkString numberInUseText(const TkString& number, const CSheet* holder);
