#include "model/MoveComponents.h"

#include <algorithm>

bool isWithin(const CComponent* c, const CComponent* ancestor) {
    for (; c; c = c->getParent())
        if (c == ancestor) return true;
    return false;
}

int indexInParent(const CComponent* c) {
    auto* parent = dynamic_cast<const CSubset*>(c->getParent());
    if (!parent) return -1;
    for (int i = 0; i < parent->getCount(); ++i)
        if (parent->getAt(i) == c) return i;
    return -1;
}

std::vector<CComponent*> moveComponents(CComponent* target, bool after, const std::vector<CComponent*>& dragged) {
    if (!target) return {};
    CSubset* destination = nullptr;
    int position = 0;
    if ((target->getType() == kComponentSheet || after) && target->getParent()) {
        destination = dynamic_cast<CSubset*>(target->getParent());
        position = indexInParent(target) + 1;
    } else {
        destination = dynamic_cast<CSubset*>(target);  // also an "after" drop on a childless root
    }
    if (!destination) return {};

    std::vector<CComponent*> moving;
    for (CComponent* c : dragged) {
        if (!c || c->getType() == kComponentSheetSet || isWithin(destination, c)) return {};  // never into itself
        bool ancestorDragged = std::any_of(dragged.begin(), dragged.end(), [&](CComponent* other) {
            return other != c && isWithin(c, other);
        });
        if (!ancestorDragged && std::find(moving.begin(), moving.end(), c) == moving.end()) moving.push_back(c);
    }

    // Copies first, all at the same position from the last dragged one back, so their order holds
    // and the positions computed above stay right; the originals go afterwards.
    std::vector<CComponent*> made;
    for (auto it = moving.rbegin(); it != moving.rend(); ++it) {
        if (auto* sheet = dynamic_cast<CSheet*>(*it)) {
            CSheet* copy = destination->addNewSheet(position, sheet->getTitle().c_str());
            copy->copyFrom(sheet);
            made.push_back(copy);
        } else if (auto* subset = dynamic_cast<CSubset*>(*it)) {
            CSubset* copy = destination->addNewSubset(position, subset->getName().c_str());
            copy->copyFrom(subset, true);
            made.push_back(copy);
        }
    }
    for (CComponent* c : moving) {
        auto* parent = dynamic_cast<CSubset*>(c->getParent());
        if (auto* sheet = dynamic_cast<CSheet*>(c)) parent->removeSheet(sheet);
        else parent->removeSubset(dynamic_cast<CSubset*>(c));
    }
    std::reverse(made.begin(), made.end());
    return made;
}
