#pragma once
// The module's numbered messages: from the "sheetsetres" catalogs, with the built-in default.
#include "host/Resources.h"

inline const TkString kSheetSetRes = L"sheetsetres";
inline TkString ssMessage(int id, const wchar_t* def) { return vrMessage(kSheetSetRes, id, def); }
