#pragma once
// Moving sheets and subsets to another place in the tree: a drop in the palette, `drawkit move`.
#include <vector>

#include "actions/EditSession.h"
#include "actions/ItemRef.h"

struct MoveRequest {
    std::vector<ItemRef> items;  // in the order they keep; an item whose subset moves too goes with it
    // Right after `after` in its subset when given; else into `into`: first, or last with `last`.
    ItemRef after;
    ItemRef into;
    bool last = false;
};

// The moved items are found again by id afterwards (`movedIds`, in tree order).
ActionResult moveItems(EditSession& session, const MoveRequest& request, std::vector<uint64_t>* movedIds = nullptr);
