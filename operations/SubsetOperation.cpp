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
#include "actions/NewSubset.h"
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

void newSubsetFromDialog(SheetListContext& ctx) {
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
    NewSubsetRequest request;
    request.parent = ItemRef::byId(componentId(target));
    request.names = {dlg.name};
    request.settings = SubsetSettings{dlg.location, dlg.templateLayout, dlg.templateHandle, dlg.templateFile, dlg.promptForTemplate,
                                      dlg.includeForPublish};
    uint64_t madeId = 0;
    edit.run([&](EditSession& s) { return newSubset(s, request, &madeId); });
    showById(ctx, madeId);
}

}  // namespace

void registerSubsetOperation() { SheetListCommands::add(pal::kCmdNewSubset, newSubsetFromDialog); }
void unregisterSubsetOperation() { SheetListCommands::remove(pal::kCmdNewSubset); }
