#pragma once
// Sheets and empty subsets out of the set: the palette's Remove commands, `drawkit remove`. The
// drawings, their layouts and their stamps stay as they are.
#include "actions/EditSession.h"
#include "actions/ItemRef.h"

ActionResult removeItems(EditSession& session, const std::vector<ItemRef>& items);
