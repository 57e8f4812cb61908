#pragma once
// A sheet's layout and drawing renamed with it: the layout renamed in its drawing, the drawing saved
// under its new name (the old file removed once the new one is written), the stamp following, and
// the sheet pointed at the result. Nothing changes when the drawing cannot be read or written.
#include "model/SheetSetImpl.h"

// `newLayout` or `newPath` empty: that one stays. Every sheet and template of `set` that points at
// the old file follows it to the new one. A file at `newPath` is refused, or with `replaceExisting`
// replaced (unless someone holds it) once the renamed drawing is written in full. False with
// `error`, the sheet unchanged.
bool renameSheetDrawing(CSheetSet& set, CSheet& sheet, const TkString& newLayout, const TkString& newPath, TkString& error,
                        bool replaceExisting = false);
