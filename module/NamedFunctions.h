#pragma once
// Functions the module publishes in the host's named function table.
#include "host/VrTypes.h"

// "key_HasSheetSet": whether the palette holds a sheet set that this drawing can edit.
NqValue keyHasSheetSet(const std::vector<NqValue>& args);
// "key_ImportLayoutsDlgFun": opens the import of the given layouts of the current drawing.
NqValue keyImportLayoutsDlgFun(const std::vector<NqValue>& args);
