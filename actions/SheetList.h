#pragma once
// Inserting a sheet list table into a sheet's layout: the palette's command on a sheet and
// `drawkit sheet-list`. From then on every edit keeps it current with the title blocks.
#include <vector>

#include "actions/EditSession.h"
#include "actions/ItemRef.h"
#include "model/SheetListTable.h"

struct SheetListRequest {
    ItemRef sheet;
    std::vector<TkString> columns = kDefaultSheetListColumns;
    SheetListPlacement at;
};

// Refused when the sheet has no drawing, the drawing is held by someone else or belongs to another
// set, or a column names no property of the set's sheets.
ActionResult insertSheetList(EditSession& session, const SheetListRequest& request);
