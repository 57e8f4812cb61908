#pragma once
// Functions the module publishes in the host's named function table.
#include "host/VrTypes.h"

// "key_HasSheetSet": whether the palette holds a sheet set that this drawing can edit.
NqValue keyHasSheetSet(const std::vector<NqValue>& args);
// "key_ImportLayoutsDlgFun": opens the import of the given layouts of the current drawing.
NqValue keyImportLayoutsDlgFun(const std::vector<NqValue>& args);
// "key_PublishSheetSet": publishes the current sheet set (or the given subsets and sheets, by path
// or number) to a PDF file without a question, for scripts. Arguments: the PDF file, then the
// items; the result: 0 every sheet published, 1 some skipped, 2 nothing written, 3 nothing to do
// (no palette, no set, no plot service, an unknown item).
NqValue keyPublishSheetSet(const std::vector<NqValue>& args);
