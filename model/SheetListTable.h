#pragma once
// The sheet list table: the set's sheets (number, title and chosen properties, grouped by subset
// under headings) drawn into a sheet's layout as a block of lines and texts, which every DXF
// program shows. A drawing remembers its tables (layout and columns) in its "VrSheetLists"
// dictionary; the title block follow-up of every edit brings them up to date as it does the title
// blocks, so the table never goes stale.
#include <memory>
#include <string>
#include <vector>

#include "model/SheetSetImpl.h"

class TkDbDatabase;

// The set's sheets in tree order: a heading row for each subset that holds sheets, then its sheets.
struct SheetListing {
    struct Row {
        TkString heading;  // a subset's path ("Architecture / Plans"); empty for a sheet's row
        TkString number, title, description, revision, revisionDate, purpose, category;
        std::vector<CustomProperty> custom;
    };
    std::vector<Row> rows;
    // A short text that changes whenever anything a table could show changes.
    TkString digest() const;
};
SheetListing sheetListing(CSheetSet* set);

// The name a drawing with a sheet list table "shows", beside its title blocks' field names: an
// edit whose listing digest changed updates the drawings that show it.
inline const std::string kSheetListShownName = "VRSHEETLISTTABLE";

// The columns a table may show: "number", "title", "description", "revision", "revision date",
// "purpose", "category", or the name of a custom property. Empty when every one is known, else the
// first that is not, as given.
TkString unknownSheetListColumn(CSheetSet* set, const std::vector<TkString>& columns);
inline const std::vector<TkString> kDefaultSheetListColumns{L"number", L"title"};
// The columns a table of `set` may show, as its header names them: the sheet's own values, then
// every custom property the set's sheets carry.
std::vector<TkString> sheetListColumnChoices(CSheetSet* set);

struct SheetListPlacement {
    bool given = false;  // else the upper left corner of the layout's paper, inside a 25 mm margin
    double x = 0, y = 0;
};

// Puts a table in `layout` (replacing the one there, whose place is kept unless `at` is given).
// False with `error` when the layout is not there or the columns are refused.
bool insertSheetListTable(TkDbDatabase& db, const std::string& layout, const std::vector<TkString>& columns,
                          const SheetListPlacement& at, const SheetListing& listing, TkString& error);
// Draws every table the drawing holds again from `listing`; the count of tables whose contents
// changed (0: all showed the listing already).
int updateSheetListTables(TkDbDatabase& db, const SheetListing& listing);
bool hasSheetListTables(const TkDbDatabase& db);
