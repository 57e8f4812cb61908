#pragma once
// Whether a sheet set still has a drawing among its sheets, asked of the file on disk: a stamp in
// a drawing only says which set it was made for, not that the set still holds it.
#include "host/VrTypes.h"

// True when the set at `sheetSetPath` reads and one of its sheets lives in `drawingPath` (letter
// case aside). The set is read on the side: no manager's open sets are touched.
bool sheetSetListsDrawing(const TkString& sheetSetPath, const TkString& drawingPath);
