// The sheet selections button: a selection applied to the tree, a new one made from the tree's
// selection, and the selections renamed and deleted in the sheet selection dialog.
#include <algorithm>

#include "dialogs/ListDialogs.h"
#include "dialogs/SheetSelectionDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "host/Resources.h"
#include "model/ItemLookup.h"
#include "model/SheetSetMessages.h"
#include "actions/Selections.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"

namespace {

void applySelection(SheetListContext& ctx) {
    CSheetSelSetsImpl* sels = ctx.sheetSet ? ctx.sheetSet->getSheetSelSets() : nullptr;
    const int n = ctx.id - pal::kCmdSelectionFirst;
    if (!sels || n < 0 || n >= sels->getCount()) return;
    std::vector<CComponent*> members;
    sels->getMembers(n, members);
    ctx.wnd.SelectComponents(members);
}

void createSelection(SheetListContext& ctx) {
    if (!ctx.sheetSet) return;
    OperationEdit edit(ctx);
    if (!edit) return;
    CSheetSelSetsImpl* sels = ctx.sheetSet->getSheetSelSets();
    std::vector<TkString> names;
    for (int i = 0; i < sels->getCount(); ++i) names.push_back(sels->getName(i));
    TkString proposal;
    for (int n = 1; n < 10000; ++n) {
        proposal = vrFormatMessage(L"New Sheet Selection (%d)", {std::to_wstring(n)});
        if (std::find(names.begin(), names.end(), proposal) == names.end()) break;
    }
    CNqResourceScope resources(kSheetSetRes);
    CNewSelectionDlg dlg(vredGetVornFrame());
    dlg.name = proposal;
    dlg.existingNames = names;
    dlg.selectedSheets = static_cast<int>(std::count_if(ctx.selected.begin(), ctx.selected.end(), [](CComponent* c) { return c->getType() == kComponentSheet; }));
    if (dlg.DoModal() != QDialog::Accepted) return;
    SelectionChange add;
    add.name = dlg.name;
    for (CComponent* c : ctx.selected) add.members.push_back(ItemRef::byId(componentId(c)));
    edit.run([&](EditSession& s) { return changeSelections(s, {add}); });
    ctx.wnd.UpdateSelectionsMenu();
}

void manageSelections(SheetListContext& ctx) {
    if (!ctx.sheetSet) return;
    OperationEdit edit(ctx);
    if (!edit) return;
    CSheetSelSetsImpl* sels = ctx.sheetSet->getSheetSelSets();
    CNqResourceScope resources(kSheetSetRes);
    CSheetSelectionDlg dlg(vredGetVornFrame());
    for (int i = 0; i < sels->getCount(); ++i) dlg.names.push_back(sels->getName(i));
    if (dlg.DoModal() != QDialog::Accepted) return;
    // By name, as the set held since the dialog opened has them.
    // Deletions first, so that a name deleted may be taken by a rename.
    std::vector<SelectionChange> changes;
    for (auto kind : {CSheetSelectionDlg::Deleted, CSheetSelectionDlg::Renamed})
        for (size_t i = 0; i < dlg.states.size() && i < static_cast<size_t>(sels->getCount()); ++i)
            if (dlg.states[i] == kind)
                changes.push_back({kind == CSheetSelectionDlg::Renamed ? SelectionChange::Rename : SelectionChange::Delete,
                                   sels->getName(static_cast<int>(i)), dlg.names[i], {}});
    edit.run([&](EditSession& s) { return changeSelections(s, changes); });
    ctx.wnd.UpdateSelectionsMenu();
}

}  // namespace

void registerSelectionsOperations() {
    for (int i = 0; i < pal::kRangeSize; ++i) SheetListCommands::add(pal::kCmdSelectionFirst + i, applySelection);
    SheetListCommands::add(pal::kCmdSaveSelection, createSelection);
    SheetListCommands::add(pal::kCmdManageSelections, manageSelections);
}

void unregisterSelectionsOperations() {
    for (int i = 0; i < pal::kRangeSize; ++i) SheetListCommands::remove(pal::kCmdSelectionFirst + i);
    SheetListCommands::remove(pal::kCmdSaveSelection);
    SheetListCommands::remove(pal::kCmdManageSelections);
}
