#pragma once
// Title blocks that follow the set: every drawing's texts that show a property of its sheet or of
// the set (block attributes whose tag names the property, texts with fields) get the values the set
// holds now, written into the drawings so that every DXF program shows them. Run after an edit that
// changes what they show: a property, a number, a sheet added or removed.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/SheetSetImpl.h"

class TkDbDatabase;

// The names a title block may use for each value, normalized as the toolkit hands them over
// ("SHEETNUMBER" for the tag SHEET_NUMBER or the field \AcSm Sheet.Number), with the values of
// `sheet` as the set holds them: number, title, description, revision, purpose, category, the set's
// name and project fields, custom properties, and the sheet's place ("3 of 38") in the set and in
// its subset.
std::map<std::string, std::string> titleBlockValues(CSheetSet* set, CSheet* sheet);

struct TitleBlockReport {
    int drawingsChanged = 0;  // saved with new values
    int textsChanged = 0;
    int drawingsCurrent = 0;  // already showing the set's values
    std::vector<TkString> problems;  // drawings left alone: missing, held by someone, unreadable
};

// Updates every drawing of the set's sheets, several at once; `progress` is told (done, in all).
// Drawings that `skip` names are left out (the host updates the ones it has open itself).
TitleBlockReport updateTitleBlocks(CSheetSet* set, const std::function<void(int, int)>& progress = {},
                                   const std::function<bool(const TkString&)>& skip = {});

// Updates the title blocks of the sheets drawn in `file` in a database already read (an open
// drawing); the count of texts changed.
int updateTitleBlocksIn(TkDbDatabase& db, CSheetSet* set, const TkString& file);
