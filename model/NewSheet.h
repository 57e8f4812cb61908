#pragma once
// A new sheet: its drawing made from the sheet creation template (that one layout kept, renamed as
// the sheet's drawing, made current, stamped for the set) and the sheet added to a subset. The
// palette's dialog and drawkit's new-sheet verbs share these steps.
#include "model/SheetImpl.h"
#include "model/SheetSetImpl.h"

// Where a new sheet goes for a selection: after a selected sheet in its subset, or last in the
// selected subset or set. `position` is the index for addNewSheet (-1 last).
struct SheetInsertPoint {
    CSubset* target = nullptr;
    int position = -1;
};
SheetInsertPoint sheetInsertPoint(CSheetSet* set, CComponent* selected);

// The target's new sheet location, else its parent's, up to the set; empty when none has one.
TkString resolveNewSheetLocation(const CSubset* target);

// "number title" as a sheet's drawing is proposed; either part alone when the other is empty.
TkString proposedSheetFileName(const TkString& number, const TkString& title);

// What stands in the way of a sheet creation template.
enum class TemplateProblem { None, FileMissing, LayoutMissing, NotInitialized };
TemplateProblem checkSheetTemplate(const TkString& templateFile, const TkString& layoutName);

// The toolkit version a new drawing is written in for the host's default save format.
int drawingVersionForSaveFormat(int hostFormat);

struct SheetDrawingSpec {
    TkString templateFile, templateLayout, templateHandle;
    TkString drawingPath;  // where the new drawing goes
    TkString layoutName;   // the one layout's new name (the file name)
    TkString sheetSetPath;
    int version = 33;
};
// Writes the sheet's drawing; false with the reason in `error`. An existing file is replaced.
bool writeSheetDrawing(const SheetDrawingSpec& spec, TkString& error);

// Adds the sheet for a written drawing: title, number, layout reference, the set's sheet
// properties with their defaults.
CSheet* addSheetForDrawing(CSheetSetImpl& set, CSubset* target, int position, const TkString& number, const TkString& title,
                           const TkString& layoutName, const TkString& layoutHandle, const TkString& drawingPath);

// The template a target uses for new sheets (its own, as the subset holds it).
struct SheetTemplate {
    TkString file, layout, handle;
};
SheetTemplate sheetTemplateOf(const CSubset* target);

// Checks a new sheet's number and title (trimmed) by the rules of names: empty `error` when
// they are fine.
TkString checkNewSheetNames(TkString& number, TkString& title);
// Further values of a new sheet by name ("Revision", "Revision Date", "Purpose", "Category",
// "Publish" yes/no, or a sheet property the set defines); with `sheet` null they are only checked.
bool applyNewSheetValues(CSheetSetImpl& set, CSheet* sheet, const std::vector<std::pair<TkString, TkString>>& values, TkString& error);
// Text with the spaces and tabs around it taken off.
TkString trimmedText(const TkString& s);
