#pragma once
// The publish flags set from the palette's menus: "Include for Publish" on sheets and "Publish
// Sheets in Subset" on subsets, for every selected item at once.
#include <cstdint>
#include <vector>

#include "model/SheetSetImpl.h"

// A subset's publish flag, given to every subset below it too and never to sheets: a subset that
// publishes nothing cannot hold subsets that do, and its sheets keep their own flags for when it is
// published again. Publishing skips every sheet under a subset that is off.
void setSubsetPublish(CSubset* subset, bool on);

// One item's flag by those rules; false when a subset stays off because its parent is off.
bool setPublishFlag(CComponent* item, bool on);

// Sets the flag on each item (by stable id, in selection order; items that are gone are skipped).
// A subset passes its value to every subset below it, never to sheets; turning a subset on is
// skipped while its parent subset is off. Returns whether any item was found.
bool applyPublishFlags(CSheetSetImpl& set, const std::vector<uint64_t>& itemIds, bool on);
