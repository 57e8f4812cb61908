#pragma once
// Pointing the stamps of a moved or copied project at where its sheet set is now. Only drawings
// whose stamp finds this set (by its recorded path or from the drawing's folder) are changed; a
// drawing stamped for another set, unstamped, missing, held or unreadable is reported and left as it
// is. Each changed drawing is saved in the version it was read in, everything else kept.
#include <functional>
#include <vector>

#include "model/SheetSetImpl.h"

struct RestampReport {
    int changed = 0;    // repointed and saved
    int current = 0;    // already pointing here
    std::vector<TkString> problems;  // one line per drawing left alone for a reason
};

// `progress` is told (drawings done, drawings in all). The caller holds the set's edit lock.
RestampReport restampDrawings(CSheetSet* set, const std::function<void(int, int)>& progress = {});

// Stamps every drawing of the set's sheets for the set, as making the set from existing drawings
// does: the drawing's first sheet names the layout. Each drawing is saved in the version it was read
// in, with everything else kept; one held by someone else or unreadable is listed in `problems`
// and left alone. Returns how many drawings were stamped; `progress` is told (done, in all).
int stampSheetDrawings(const std::vector<CSheet*>& sheets, const TkString& sheetSetPath, std::vector<TkString>& problems,
                       const std::function<void(int, int)>& progress = {});
