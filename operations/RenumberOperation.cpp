// "Renumber Sheets..." on a subset: every sheet of it numbered by a pattern, previewed first, under
// the set's lock; layouts and drawings renamed when asked; the title blocks follow.
#include "dialogs/RenumberDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "model/ItemLookup.h"
#include "model/Renumber.h"
#include "model/SheetSetMessages.h"
#include "actions/Renumber.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"

namespace {

void renumberSubset(SheetListContext& ctx) {
    if (!dynamic_cast<CSubset*>(ctx.caret) || !ctx.sheetSet) return;
    OperationEdit edit(ctx);
    auto* subset = dynamic_cast<CSubset*>(ctx.caret);
    if (!edit || !subset) return;
    CNqResourceScope resources(kSheetSetRes);
    CSheetSet* set = ctx.sheetSet;
    CRenumberDlg dlg([set, subset](const TkString& p, long long start, long long step) { return planRenumber(set, subset, p, start, step); },
                     vredGetVornFrame());
    if (dlg.DoModal() != QDialog::Accepted) return;
    const uint64_t id = componentId(subset);
    // Planned again under the same lock: what the preview showed is what is applied.
    const RenumberRequest request{ItemRef::byId(id), dlg.pattern, dlg.start, dlg.step, dlg.renameLayouts, dlg.renameFiles};
    const ActionResult r = edit.run([&](EditSession& s) { return renumberSheets(s, request); });
    std::vector<TkString> problems;
    for (const ActionResult::LeftAlone& l : r.leftAlone)
        if (l.problem && l.reason != L"collides") problems.push_back(l.item);
    if (!problems.empty()) {
        TkString list;
        for (const TkString& p : problems) list += L"\n" + p;
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), L"Renumbering left these alone:" + list, MB_OK | MB_ICONWARNING);
    }
    showById(ctx, id);
}

}  // namespace

void registerRenumberOperation() { SheetListCommands::add(pal::kCmdRenumberSubset, renumberSubset); }
void unregisterRenumberOperation() { SheetListCommands::remove(pal::kCmdRenumberSubset); }
