#pragma once
// What publishing and transmittal hand to the host's services, the same for the palette's menus
// and drawkit's publish and transmit: the items as a request names them, gathered from the set.
// They read the set and write nothing of it, so they hold no lock.
#include "actions/ActionResult.h"
#include "actions/ItemRef.h"
#include "model/PublishGather.h"

struct PublishRequest {
    std::vector<ItemRef> items;  // none: the whole set
    TkString pageSetup;          // a page setup of the set's overrides file; empty: each layout's own
};
// The sheets of the items by their publish flags, in order; Refused when an item or the page
// setup is not in the set, NothingToDo when the flags leave every sheet out.
ActionResult publishJob(CSheetSetImpl& set, const PublishRequest& request, VrPublishJob& job);

// The drawings, templates and page setups of the items' sheets; NothingToDo without any drawing.
ActionResult transmittalJob(CSheetSetImpl& set, const std::vector<ItemRef>& items, VrTransmittalJob& job);
