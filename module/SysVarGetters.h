#pragma once
// The system variables whose values the module supplies.
#include "host/VrTypes.h"

// "SSFOUND": the sheet set stamped into the drawing, when "SSLOCATE" is 1; else empty.
void getSsFound(VrResBuf& result, TkDbDatabase* db);
// "SSMSTATE": 1 while the palette is shown, else 0.
void getSsmState(VrResBuf& result, TkDbDatabase* db);
