#pragma once
// The numbered messages of the sheet set module: from the "sheetsetres" catalogs, with the
// built-in default text when a catalog lacks them.
#include "host/Resources.h"

inline const TkString kSheetSetRes = L"sheetsetres";
inline TkString ssMessage(int id, const wchar_t* def) { return vrMessage(kSheetSetRes, id, def); }
