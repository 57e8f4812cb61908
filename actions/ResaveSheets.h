#pragma once
// "Resave All Sheets" and `drawkit resave`: every drawing of the set read once, stamped for its last
// sheet and saved in place, several at a time, under the set's lock (the drawings change, the set
// does not). The sheets that could not be written are reported and appended to the log beside the
// set; a write that fails undoes the whole resave.
#include "actions/EditSession.h"
#include "model/ResaveSheets.h"

struct ResaveRequest {
    int version = 33;             // the format the drawings are saved in
    HostDocumentOf hostDocument;  // how the host has each drawing open (none in a script)
    TkString logPath;             // empty: the report log beside the set
    int workers = 0;              // drawings saved at once; 0: one per core
};

// Told before the first drawing (done 0) and after each (from the resave's own threads, one call at a
// time): how many are done of how many, the drawing and the status of each of its sheets; false asks
// the resave to stop (Cancel) before it starts another drawing.
using ResaveTick = std::function<bool(int done, int total, const TkString& drawing, const std::vector<int>& statuses)>;
// Runs `work` where the user sees it (progress and Cancel in the palette, the terminal in drawkit);
// false when the user cancelled.
using ResaveRunner = std::function<bool(const std::function<void(const ResaveTick&)>& work)>;

struct ResaveOutcome {
    int sheets = 0, resaved = 0, drawings = 0;
    bool finished = true;
    std::vector<ResaveEntry> entries;  // the sheets reported
    TkString log;                      // where they were appended
    bool logFailed = false;
};

ActionResult resaveSheets(EditSession& session, const ResaveRequest& request, const ResaveRunner& run, ResaveOutcome& outcome);
