// "New Subset...": a subset under the selected subset (or the set) through the subset properties
// dialog, proposed as "New Subset (n)" with its parent's settings.
#include <algorithm>

#include "dialogs/SubsetPropertiesDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "host/Resources.h"
#include "model/ItemLookup.h"
#include "model/SheetSetMessages.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"

namespace {

TkString proposedSubsetName(const CSubset* target) {
    std::vector<CSubset*> children;
    target->getSubsets(children, false);
    for (int n = 1;; ++n) {
        TkString name = vrFormatMessage(L"New Subset (%d)", {std::to_wstring(n)});
        const bool taken = std::any_of(children.begin(), children.end(), [&](const CSubset* c) { return c->getName() == name; });
        if (!taken || n >= 9999) return name;
    }
}

void newSubset(SheetListContext& ctx) {
    if (!ctx.sheetSet) return;
    OperationEdit edit(ctx);
    CSheetSetImpl* set = edit.set();
    if (!set) return;
    CSubset* target = dynamic_cast<CSubset*>(ctx.caret);
    if (!target) target = set;
    CNqResourceScope resources(kSheetSetRes);
    CSubsetPropertiesDlg dlg(vredGetVornFrame());
    dlg.isNew = true;
    dlg.name = proposedSubsetName(target);
    dlg.location = target->getNewSheetLocation();
    dlg.includeForPublish = target->getIncludeForPublish();
    dlg.templateLayout = target->getTemplateLayoutName();
    dlg.templateHandle = target->getTemplateLayoutHandle();
    dlg.templateFile = target->getTemplateFileName();
    dlg.promptForTemplate = target->getPromptForTemplate();
    if (dlg.DoModal() != QDialog::Accepted) return;
    const uint64_t targetId = componentId(target);
    uint64_t madeId = 0;
    edit.apply([&](CSheetSetImpl& s) {
        auto* parent = dynamic_cast<CSubset*>(findComponentById(&s, targetId));
        if (!parent) return false;
        CSubset* sub = parent->addNewSubset(-1, dlg.name.c_str());
        sub->setIncludeForPublish(dlg.includeForPublish, false);
        sub->setNewSheetLocation(dlg.location.c_str(), false);
        sub->setPromptForTemplate(dlg.promptForTemplate, false);
        sub->setTemplate(dlg.templateLayout.c_str(), dlg.templateHandle.c_str(), dlg.templateFile.c_str(), false);
        madeId = componentId(sub);
        return true;
    });
    showById(ctx, madeId);
}

}  // namespace

void registerSubsetOperation() { SheetListCommands::add(pal::kCmdNewSubset, newSubset); }
void unregisterSubsetOperation() { SheetListCommands::remove(pal::kCmdNewSubset); }
