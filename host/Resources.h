#pragma once
// Numbered messages of resource libraries ("sheetsetres", "vornkwlres"): plain UTF-8 catalogs
// res/<library>.<lang>.txt with lines "ID<TAB>text" (\n and \t escaped). The language comes from
// the locale; English is the fallback catalog, and a missing catalog or id gives false.
#include <initializer_list>

#include "host/VrTypes.h"

bool vrLoadString(const TkString& library, int id, TkString& out);
// The message, or `def` when no catalog has it.
TkString vrMessage(const TkString& library, int id, const TkString& def);
// The one folder catalogs are looked for in (tests point it at theirs); empty restores the search.
void vrSetResourceFolder(const std::string& folder);
// The language whose catalog is tried first ("en", "zh"); empty follows the locale.
void vrSetResourceLanguage(const std::string& lang);

// A message with its values put in: each "%s", "%ls" or "%d" takes the next value, "%%" is "%".
// Catalog texts are never used as printf formats: a translation with "%s" where "%d" stood
// would read an integer as a pointer.
TkString vrFormatMessage(const TkString& format, std::initializer_list<TkString> values);
