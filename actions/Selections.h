#pragma once
// Named sheet selections: made from the tree's selection or by drawkit, renamed and deleted.
#include "actions/EditSession.h"
#include "actions/ItemRef.h"

struct SelectionChange {
    enum Kind { Add, Rename, Delete };
    Kind kind = Add;
    TkString name;      // the selection (Add: the new name)
    TkString newName;   // Rename
    std::vector<ItemRef> members;  // Add
};
// Applied in order; every name is checked against the rules and the other selections first.
ActionResult changeSelections(EditSession& session, const std::vector<SelectionChange>& changes);
