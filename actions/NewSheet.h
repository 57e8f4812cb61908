#pragma once
// New sheets: the palette's New Sheet dialog and `drawkit new-sheet` (one sheet, or a batch from a
// CSV under one lock). Each sheet's drawing is made from the sheet creation template (that one
// layout kept, named as the drawing, stamped for the set) and the sheet added after the one named
// or last in its subset. Everything about a sheet is checked before its drawing is written, and a
// drawing whose sheet does not land in the saved set is taken back.
#include <optional>

#include "actions/EditSession.h"
#include "actions/ItemRef.h"
#include "model/NewSheet.h"
#include "model/ScriptedEdits.h"

struct NewSheetRequest {
    ItemRef subset;  // empty: the sheet set
    ItemRef after;   // a sheet of that subset the new one follows; empty: last
    TkString number, title;
    TkString fileName;  // the drawing's name in the new sheet location; empty: "NUMBER TITLE"
    // Further values by name: "Revision", "Revision Date", "Purpose", "Category", "Publish"
    // (yes/no), or a sheet property the set defines.
    PropertyValues values;
    // A template the user chose instead of the subset's: the subset and its nested subsets keep it.
    std::optional<SheetTemplate> chosenTemplate;
    bool replaceDrawing = false;  // an existing drawing of that name is written over (the user agreed)
    int version = 33;             // the drawing's format
};

struct NewSheetMade {
    uint64_t id = 0;
    TkString drawingPath;
};

// Makes the sheets in order; one that cannot be made stops the batch and is named in the result
// (the ones before it stand). `made` gets a line for each sheet made.
ActionResult newSheets(EditSession& session, const std::vector<NewSheetRequest>& requests, std::vector<NewSheetMade>* made = nullptr);
