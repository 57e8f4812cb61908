#pragma once
// Layouts of existing drawings made sheets: each initialized paper layout of the chosen drawings as
// a row with its status (free, perhaps of another set, already a sheet), and the rows that are
// free or doubtful turned into sheets. The import dialog and drawkit import share these steps.
#include <functional>
#include <vector>

#include "model/SheetSetMgrImpl.h"

struct LayoutRow {
    enum Status { Available = 0, OtherSet = 1, InUse = 2 };
    TkString drawing, layout, handle;  // handle as "%X"
    int status = Available;
    bool checked = false;
    TkString stampedFor;  // the sheet set the drawing's stamp names, empty without one
};

struct LayoutRowsReport {
    std::vector<TkString> unreadable;  // drawings that could not be read
    std::vector<TkString> noLayouts;   // drawings without an initialized paper layout
};

// Appends the rows of `drawings` in order. `isSheet(drawing, layout)` tells which layouts are
// sheets of an open set already (the manager's containsLayout); `openSets` are those sets' files:
// for a drawing stamped for one of them that answer is the whole truth, layout by layout, so that
// the other layouts of a drawing one sheet already shows can still be imported.
using IsSheetLayout = std::function<bool(const TkString& drawing, const TkString& layout)>;
void readLayoutRows(const IsSheetLayout& isSheet, const std::vector<TkString>& openSets, const std::vector<TkString>& drawings,
                    std::vector<LayoutRow>& rows, LayoutRowsReport& report);
// The rows' sheets whose drawings carry no stamp yet: those the import stamps for the set.
std::vector<CSheet*> sheetsToStamp(const std::vector<CSheet*>& made, const std::vector<LayoutRow>& rows);
// The status text of the list's third column.
TkString layoutStatusText(int status);
// "Plans - First" with the prefix option, else "First".
TkString importedSheetTitle(const TkString& drawing, const TkString& layout, bool prefixWithFileName);

// Makes a sheet of each row (InUse rows are skipped) at `position` of `target` (-1: appended in
// order; else each goes at that same place, so after a selected sheet they end up reversed).
// Returns the sheets made.
std::vector<CSheet*> importLayoutRows(CSheetSetImpl& set, CSubset* target, int position, const std::vector<LayoutRow>& rows,
                                      bool prefixWithFileName);
