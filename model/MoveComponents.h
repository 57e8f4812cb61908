#pragma once
// Moving sheets and subsets to another place in the tree, as a drop in the sheet tree does: each
// dragged component is copied to the new place and then removed from its old one.
#include <vector>

#include "model/Component.h"

// Into `target` as its first children when it is a subset (or the sheet set) and `after` is false;
// otherwise right after `target` in its parent. The dragged components keep their relative order.
// A component whose ancestor is dragged too goes with that ancestor, and nothing moves into its
// own subtree (then nothing moves at all). Returns the new components in tree order; the dragged
// components are destroyed. The caller holds the edit lock and saves.
std::vector<CComponent*> moveComponents(CComponent* target, bool after, const std::vector<CComponent*>& dragged);

// Whether `c` is `ancestor` or lies below it.
bool isWithin(const CComponent* c, const CComponent* ancestor);
// Position of `c` among its parent's children; -1 for the root.
int indexInParent(const CComponent* c);
