#pragma once
// A health check of a sheet set for CAD managers: every sheet's drawing and layout present, every
// drawing stamped for this set, sheet numbers unique, templates and page setups reachable, and no
// lock left behind by a crash. Reads every drawing once; changes nothing.
#include <functional>
#include <string>
#include <vector>

#include "model/SheetSetImpl.h"

struct SheetSetFinding {
    enum Severity { Error, Warning, Note };
    Severity severity = Error;
    std::string kind;  // "missing-drawing", "missing-layout", "unstamped", ... (stable, for scripts)
    TkString where;    // the sheet ("Architecture / Plans / A-101 - Ground Floor Plan") or the set
    TkString message;
};

// `progress` is told (drawings read, drawings in all) after each drawing.
std::vector<SheetSetFinding> checkSheetSet(CSheetSet* set, const std::function<void(int, int)>& progress = {});

// Where a component sits: its subsets' names and its own display name, joined by " / ".
TkString componentPath(const CComponent* c);

// The journal of the set's actions that write several files: beside the set, while one runs or
// after one was cut short.
TkString sheetSetJournalPath(const TkString& setPath);
