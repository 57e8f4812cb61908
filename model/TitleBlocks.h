#pragma once
// Title blocks that follow the set: every drawing's texts that show a property of its sheet or of
// the set (block attributes whose tag names the property, texts with fields) get the values the set
// holds now, written into the drawings so that every DXF program shows them. Run after an edit that
// changes what they show: a property, a number, a sheet added or removed.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/SheetListTable.h"
#include "model/SheetSetImpl.h"
#include "model/ShownFields.h"

class TkDbDatabase;

// The names a title block may use for each value, normalized as the toolkit hands them over
// ("SHEETNUMBER" for the tag SHEET_NUMBER or the field \AcSm Sheet.Number), with the values of
// `sheet` as the set holds them: number, title, description, revision, purpose, category, the set's
// name and project fields, custom properties, and the sheet's place ("3 of 38") in the set and in
// its subset.
std::map<std::string, std::string> titleBlockValues(CSheetSet* set, CSheet* sheet);
// The same with the sheet's place already known (1-based, in the set and in its subset).
struct SheetPlace {
    int inSet = 0, setCount = 0, inSubset = 0, subsetCount = 0;
};
std::map<std::string, std::string> titleBlockValues(CSheetSet* set, CSheet* sheet, const SheetPlace& at);

// What one drawing's title blocks should show: each layout of a sheet with its values.
struct TitleBlockJob {
    TkString file;
    std::vector<std::pair<std::string, std::map<std::string, std::string>>> layouts;
    std::shared_ptr<const SheetListing> listing;  // what its sheet list tables show; none: left alone
};
// A value as a drawing's text holds it: one line, a space for any control character that a set
// from elsewhere holds (the drawing must stay readable; the check names the value).
std::string titleBlockText(const TkString& value);
// Every drawing of the set's sheets (or only `onlyFiles`) with what its title blocks should show now.
std::vector<TitleBlockJob> titleBlockPlan(CSheetSet* set, const std::set<TkString>* onlyFiles = nullptr);
// What each drawing's title blocks should show, in short: enough to tell whether it changed. For
// a drawing in `shown` whose every sheet's layout is known there, only the values its title blocks
// show count; for any other drawing, every value does.
using TitleBlockDigest = std::map<TkString, std::string>;
TitleBlockDigest titleBlockDigest(CSheetSet* set, const ShownByDrawing* shown = nullptr);
// The drawings whose title blocks should show something other than in `before`: an edit updates
// only those.
std::set<TkString> changedDrawings(const TitleBlockDigest& before, const TitleBlockDigest& after);

struct TitleBlockReport {
    int drawingsChanged = 0;  // saved with new values
    int textsChanged = 0;
    int drawingsCurrent = 0;  // already showing the set's values
    std::vector<TkString> problems;  // drawings that should have changed and could not: held by someone, unreadable
    std::vector<TkString> notes;     // drawings left alone on purpose: missing, stamped for another set or none
    ShownByDrawing seen;             // what each drawing read on disk shows, as it is now on disk
};

// Updates the drawings of `jobs`, several at once, but only those whose stamp names the set at
// `setPath`; `progress` is told (done, in all) from the working threads. A drawing for which
// `openHere` gives a database (open for editing in the host) is updated there instead of on disk.
// One sheet's title block (in `layout`) brought up to date in a drawing that is being written
// anyway, when the drawing belongs to the set: the edit's follow-up then finds it current and
// writes it no second time. The texts changed.
int updateSheetTitleBlock(TkDbDatabase& db, const TkString& file, CSheetSet* set, CSheet* sheet, const TkString& layout);

TitleBlockReport updateTitleBlocks(const std::vector<TitleBlockJob>& jobs, const TkString& setPath,
                                   const std::function<void(int, int)>& progress = {},
                                   const std::function<TkDbDatabase*(const TkString&)>& openHere = {});

// Updates one drawing's title blocks in a database already read; the count of texts changed.
int updateTitleBlocksIn(TkDbDatabase& db, const TitleBlockJob& job);
