#pragma once
// The properties of the sheet set, a subset or a sheet: the palette's three properties dialogs and
// `drawkit prop`. Values go by name through one set of rules (checked as a whole before anything
// changes); the set's dialog hands over its whole record.
#include <optional>

#include "actions/EditSession.h"
#include "actions/ItemRef.h"
#include "model/ScriptedEdits.h"
#include "model/SheetSetProperties.h"

// A layout a sheet points at instead of its own.
struct SheetLayoutRef {
    TkString name, handle, drawing;
};

struct PropertiesRequest {
    ItemRef item;  // empty: the sheet set
    PropertyValues values;
    bool toNestedSubsets = false;  // inherited settings go to the nested subsets too
    // A sheet only: the layout it points at from now on, then its layout and drawing renamed
    // (empty keeps them), as the sheet's properties dialog offers.
    std::optional<SheetLayoutRef> layout;
    TkString newLayoutName, newDrawingPath;
};
ActionResult setProperties(EditSession& session, const PropertiesRequest& request);

// The set's properties as its dialog edits them, whole: blocks, folders and custom property
// definitions included.
ActionResult setSheetSetProperties(EditSession& session, const SheetSetPropertyValues& values, bool toNestedSubsets);
