#pragma once
// Layouts of existing drawings made sheets (the import dialog, `drawkit import`), and another
// layout for a sheet whose drawing moved (`--for`, the palette's re-association).
#include "actions/EditSession.h"
#include "actions/ItemRef.h"
#include "model/ImportLayouts.h"

struct ImportRequest {
    ItemRef target;        // the subset the sheets go in; the set when empty
    ItemRef after;         // right after this sheet when given; else last in the target
    std::vector<LayoutRow> rows;  // rows already a sheet are left alone and said
    bool prefixWithFileName = false;
};
// The new sheets are found again by id afterwards (`madeIds`, in order). Drawings of no set yet are
// stamped for this one; one stamped for another set keeps its stamp.
ActionResult importLayouts(EditSession& session, const ImportRequest& request, std::vector<uint64_t>* madeIds = nullptr);

struct RelinkRequest {
    ItemRef sheet;
    LayoutRow row;  // the one layout the sheet shows from now on
};
ActionResult relinkSheet(EditSession& session, const RelinkRequest& request);
