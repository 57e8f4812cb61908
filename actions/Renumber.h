#pragma once
// A subset's sheets numbered by a pattern: the palette's Renumber dialog, `drawkit renumber`. The
// plan is made again under the lock: someone may have numbered a sheet meanwhile.
#include "actions/EditSession.h"
#include "actions/ItemRef.h"
#include "model/Renumber.h"

struct RenumberRequest {
    ItemRef subset;
    TkString pattern;
    long long start = 1, step = 1;
    bool renameLayouts = false, renameFiles = false;
    bool dryRun = false;  // planned and told, nothing changed
};

// `plan` is told the plan (old and new numbers with titles) before anything changes.
ActionResult renumberSheets(EditSession& session, const RenumberRequest& request,
                            const std::function<void(const RenumberPlan&)>& plan = {});
