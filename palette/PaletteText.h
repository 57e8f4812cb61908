#pragma once
// A numbered message of the module as the palette's widgets take it.
#include <QString>

#include "model/SheetSetMessages.h"

inline QString paletteText(int id, const wchar_t* def) { return QString::fromStdWString(ssMessage(id, def)); }
