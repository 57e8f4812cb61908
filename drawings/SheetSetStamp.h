#pragma once
// The "VrSheetSetData" stamp that ties a drawing to its sheet set: a dictionary in the drawing's
// named objects dictionary with one xrecord per entry.
#include "host/VrTypes.h"

class TkDbDatabase;

// The stamped sheet set data file ("ShSetFileName": the first text value of its chain), or empty
// text when the drawing is null, unstamped, or the entry holds no text.
TkString readStampSheetSetPath(const TkDbDatabase* db);
