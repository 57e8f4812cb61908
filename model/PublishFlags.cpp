#include "model/PublishFlags.h"

#include "model/ItemLookup.h"

bool applyPublishFlags(CSheetSetImpl& set, const std::vector<uint64_t>& itemIds, bool on) {
    bool found = false;
    for (uint64_t id : itemIds) {
        CComponent* c = findComponentById(&set, id);
        if (!c) continue;
        found = true;
        if (c->getType() == 2) {
            static_cast<CSheet*>(c)->setIncludeForPublish(on);
            continue;
        }
        auto* subset = static_cast<CSubset*>(c);
        CComponent* parent = c->getParent();
        if (on && parent && parent->getType() == 1 && !static_cast<CSubset*>(parent)->getIncludeForPublish()) continue;
        setSubsetPublish(subset, on);
    }
    return found;
}

void setSubsetPublish(CSubset* subset, bool on) {
    subset->setIncludeForPublish(on, false);
    std::vector<CSubset*> below;
    subset->getSubsets(below, true);
    for (CSubset* s : below) s->setIncludeForPublish(on, false);
}
