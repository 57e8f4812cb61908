#pragma once
// "Include for Publish" on sheets and "Publish Sheets in Subset" on subsets: the palette's menus
// and its publish dialog, and `drawkit prop ITEM Publish=yes|no`. A subset's flag goes to the
// subsets below it, never to sheets; a subset is not turned on under a parent that is off.
#include "actions/EditSession.h"
#include "actions/ItemRef.h"

struct PublishFlagsRequest {
    std::vector<std::pair<ItemRef, bool>> items;  // in order; items someone removed are skipped
};
ActionResult setPublishFlags(EditSession& session, const PublishFlagsRequest& request);
