#pragma once
// "Resave All Sheets" and `drawkit resave`: every sheet's drawing stamped for the set and saved in
// place, under the set's lock (the drawings change, the set does not); the sheets that could not be
// written are reported and appended to the log beside the set.
#include "actions/EditSession.h"
#include "model/ResaveSheets.h"

struct ResaveRequest {
    int version = 33;            // the format the drawings are saved in
    HostDocumentOf hostDocument;  // how the host has each drawing open (none in a script)
    TkString logPath;             // empty: the report log beside the set
};

// Runs the resave of each sheet in turn (`resaveOne(i)` gives its status) where the user sees it:
// with progress and Cancel in the palette, on the terminal in drawkit. False when cancelled; the
// statuses of the sheets done are kept either way.
using ResaveLoop = std::function<bool(const std::vector<CSheet*>& sheets, const std::function<int(size_t)>& resaveOne, std::vector<int>& statuses)>;

struct ResaveOutcome {
    int sheets = 0, resaved = 0;
    bool finished = true;
    std::vector<ResaveEntry> entries;  // the sheets reported
    TkString log;                      // where they were appended
    bool logFailed = false;
};

ActionResult resaveSheets(EditSession& session, const ResaveRequest& request, const ResaveLoop& loop, ResaveOutcome& outcome);
