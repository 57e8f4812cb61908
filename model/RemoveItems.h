#pragma once
// Taking sheets and empty subsets out of a set. The drawings, their layouts and their stamps stay
// as they are: a removed sheet's drawing still names the set, as it did before the sheet was made.
#include <cstdint>
#include <vector>

#include "model/SheetSetImpl.h"

// Removes the sheets and empty subsets stored under `ids`. False with `error`, and nothing
// removed, when one is gone or is a subset that still holds something.
bool removeItems(CSheetSetImpl& set, const std::vector<uint64_t>& ids, TkString& error);
