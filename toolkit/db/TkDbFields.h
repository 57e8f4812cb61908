#pragma once
// Texts that show values kept elsewhere: block attributes whose tag names a value ("SHEETNUMBER",
// "PROJECT_NAME"), and texts carrying FIELD objects (the extension dictionary's "ACAD_FIELD": a
// field whose code holds "%<\_FldIdx n>%" for each child field, each child a code such as
// "\AcSm Sheet.Number"). Updating writes the values into the texts themselves, which is what every
// DXF program shows. What the names mean is the caller's: the toolkit only finds and writes.
#include <functional>
#include <optional>
#include <string>

#include "toolkit/db/TkDbDatabase.h"

// The value a name stands for, or nothing to leave the text as it is. Names come normalized: the
// letters and digits of the tag or field code, upper case ("Sheet.Number" -> "SHEETNUMBER"),
// without a field code's evaluator prefix and format switches.
using TkDbValueOf = std::function<std::optional<std::string>(const std::string& name)>;

// "Sheet.Number", "\AcSm Sheet.Number \f "%tc1"", "sheet_number" -> "SHEETNUMBER".
std::string tkDbFieldName(std::string_view tagOrCode);

// Updates the attributes and field texts of the entities of `blockRecord` (attributes of its
// inserts included). Returns how many texts changed.
int tkDbUpdateFieldTexts(TkDbDatabase& db, uint64_t blockRecord, const TkDbValueOf& valueOf);

// Gives a TEXT, MTEXT or ATTRIB a field showing `fieldCode` ("\AcSm SheetSet.Name"), its text kept
// as the cached value. False when the entity has fields already or cannot take one.
bool tkDbAttachField(TkDbDatabase& db, TkDbRecord& text, std::string_view fieldCode);
