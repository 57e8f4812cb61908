#include "model/RemoveItems.h"

#include "model/ItemLookup.h"

bool removeItems(CSheetSetImpl& set, const std::vector<uint64_t>& ids, TkString& error) {
    std::vector<CComponent*> items;
    for (uint64_t id : ids) {
        CComponent* c = findComponentById(&set, id);
        if (!c || c == &set) {
            error = L"an item to remove is no longer in the sheet set";
            return false;
        }
        if (auto* sub = dynamic_cast<CSubset*>(c); sub && sub->getCount()) {
            error = L"the subset " + sub->getName() + L" is not empty";
            return false;
        }
        items.push_back(c);
    }
    for (CComponent* c : items) {
        auto* parent = dynamic_cast<CSubset*>(c->getParent());
        if (!parent) continue;
        if (c->getType() == kComponentSheet) parent->removeSheet(static_cast<CSheet*>(c));
        else parent->removeSubset(static_cast<CSubset*>(c));
    }
    return !items.empty();
}
