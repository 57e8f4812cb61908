#pragma once
// A sheet's number and title, and with them its layout and drawing file if asked: the palette's
// rename dialog (one sheet per run, with Previous and Next) and `drawkit rename`.
#include <optional>

#include "actions/EditSession.h"
#include "actions/ItemRef.h"

struct RenameRequest {
    ItemRef sheet;
    std::optional<TkString> number, title;
    // The layout's new name and the drawing's new path; empty keeps them. With `layoutAsSheet` or
    // `fileAsSheet` they are "NUMBER TITLE" of the new values instead, the file in its folder.
    TkString layoutName, drawingPath;
    bool layoutAsSheet = false, fileAsSheet = false;
    bool replaceExisting = false;  // a drawing at the new path is replaced (the user agreed)
};

// The number and title are checked by the rules of sheet names and land together; a layout or file
// that cannot be renamed is named in the result and the sheet keeps its old one.
ActionResult renameSheet(EditSession& session, const RenameRequest& request);

// Renames a sheet's layout and drawing (empty, or the same as now, keeps that one): a drawing open
// here has its layout renamed in the open document; what cannot be renamed is named in `result`
// and the sheet keeps its old one.
void renameSheetFiles(EditSession& session, CSheet& sheet, TkString layout, TkString path, bool replaceExisting, ActionResult& result);
