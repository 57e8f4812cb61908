#include "model/PublishFlags.h"

#include "model/ItemLookup.h"

bool applyPublishFlags(CSheetSetImpl& set, const std::vector<uint64_t>& itemIds, bool on) {
    bool found = false;
    for (uint64_t id : itemIds) {
        CComponent* c = findComponentById(&set, id);
        if (!c) continue;
        found = true;
        setPublishFlag(c, on);
    }
    return found;
}

bool setPublishFlag(CComponent* c, bool on) {
    if (c->getType() == kComponentSheet) {
        static_cast<CSheet*>(c)->setIncludeForPublish(on);
        return true;
    }
    CComponent* parent = c->getParent();
    if (on && parent && parent->getType() == kComponentSubset && !static_cast<CSubset*>(parent)->getIncludeForPublish()) return false;
    setSubsetPublish(static_cast<CSubset*>(c), on);
    return true;
}

void setSubsetPublish(CSubset* subset, bool on) {
    subset->setIncludeForPublish(on, false);
    std::vector<CSubset*> below;
    subset->getSubsets(below, true);
    for (CSubset* s : below) s->setIncludeForPublish(on, false);
}
