#include "model/PublishGather.h"

namespace {

// Every subset above publishes: one that is off keeps everything below it out, whatever a set
// written elsewhere says of the subsets and sheets inside it.
bool parentPublishes(const CComponent* c) {
    int depth = 0;
    for (auto* p = dynamic_cast<const CSubset*>(c->getParent()); p; p = dynamic_cast<const CSubset*>(p->getParent()))
        if (!p->getIncludeForPublish() || ++depth > 10000) return false;
    return c->getParent() != nullptr;
}

void enter(const CSubset* subset, std::vector<CSheet*>& out) {
    if (!subset->getIncludeForPublish()) return;
    for (int i = 0; i < subset->getCount(); ++i) {
        CComponent* c = subset->getAt(i);
        if (c->getType() == kComponentSheet) {
            if (static_cast<CSheet*>(c)->getIncludeForPublish()) out.push_back(static_cast<CSheet*>(c));
        } else {
            enter(static_cast<const CSubset*>(c), out);
        }
    }
}

}  // namespace

std::vector<CSheet*> gatherPublishSheets(const std::vector<CComponent*>& selected) {
    std::vector<CSheet*> out;
    for (CComponent* c : selected) {
        if (c->getType() == kComponentSheet) {
            auto* sheet = static_cast<CSheet*>(c);
            if (parentPublishes(sheet) && sheet->getIncludeForPublish()) out.push_back(sheet);
        } else if (auto* subset = dynamic_cast<CSubset*>(c); subset && (!c->getParent() || parentPublishes(c))) {
            enter(subset, out);
        }
    }
    return out;
}

VrPublishJob makePublishJob(CSheetSet* set, const std::vector<CSheet*>& sheets, const TkString& pageSetupName) {
    VrPublishJob job;
    for (const CSheet* s : sheets) {
        VrPublishSheet sheet{s->getFileName(), s->getLayoutName(), s->getTitle(), s->getNumber(), {}};
        // The set is the root and has no parent: it is the document, not a bookmark.
        for (const CComponent* c = s->getParent(); c && c->getParent(); c = c->getParent())
            if (auto* subset = dynamic_cast<const CSubset*>(c)) sheet.subsets.insert(sheet.subsets.begin(), subset->getName());
        job.sheets.push_back(std::move(sheet));
    }
    job.sheetSetName = set->getName();
    job.subject = set->getDesc();
    for (const TkString& field : {set->getProjectNumber(), set->getProjectName(), set->getProjectPhase(), set->getProjectMilestone()})
        if (!field.empty()) job.keywords += (job.keywords.empty() ? L"" : L", ") + field;
    job.sheetSetFile = set->getFileName();
    job.pageSetupFile = set->getPageSetupFile();
    job.pageSetupName = pageSetupName;
    return job;
}

// Not the tree's label: a sheet with a number and no title is "A-2 - " here, as transmittal
// reports have always listed it.
TkString transmittalLabel(const CSheet* sheet) {
    return sheet->getNumber().empty() ? sheet->getTitle() : sheet->getNumber() + L" - " + sheet->getTitle();
}

VrTransmittalJob makeTransmittalJob(CSheetSet* set, const std::vector<CComponent*>& selected) {
    VrTransmittalJob job;
    job.sheetSetFile = set->getFileName();
    std::vector<CSheet*> sheets;
    for (CComponent* c : selected) {
        if (c->getType() == kComponentSheet) sheets.push_back(static_cast<CSheet*>(c));
        else if (auto* subset = dynamic_cast<CSubset*>(c)) subset->getSheets(sheets, true);
    }
    for (const CSheet* s : sheets) {
        if (!s->getFileName().empty()) job.drawings.push_back(s->getFileName());
        job.labels.push_back(transmittalLabel(s));
    }
    return job;
}
