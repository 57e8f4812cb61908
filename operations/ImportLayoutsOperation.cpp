// "Import Layout as Sheet...", the host's import of a drawing's layouts, and giving a sheet
// another layout. Drawings that belong to no set yet are stamped for this one, so that they know
// their set and the set's check finds nothing amiss; a drawing stamped for another set keeps its
// stamp.
#include "dialogs/ImportLayoutsDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "model/ImportLayouts.h"
#include "model/ItemLookup.h"
#include "model/NewSheet.h"
#include "model/Restamp.h"
#include "model/SheetSetMessages.h"
#include "actions/ImportLayouts.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"

namespace {

IsSheetLayout sheetsOf(SheetListContext& ctx) {
    CSheetSetMgrImpl* mgr = &ctx.manager;
    return [mgr](const TkString& d, const TkString& l) { return mgr->containsLayout(d.c_str(), l.c_str()); };
}

std::vector<TkString> openSetFiles(SheetListContext& ctx) {
    std::vector<TkString> files;
    for (int i = 0; i < ctx.manager.getCount(); ++i) files.push_back(ctx.manager.getSheetSet(i)->getFileName());
    return files;
}

void importRows(SheetListContext& ctx, OperationEdit& edit, const std::vector<LayoutRow>& rows, bool prefix) {
    CSheetSetImpl* set = edit.set();
    if (!set || rows.empty()) return;
    CComponent* selected = ctx.caret ? ctx.caret : ctx.selected.empty() ? nullptr : ctx.selected.front();
    const SheetInsertPoint at = sheetInsertPoint(set, selected);
    ImportRequest request{ItemRef::byId(componentId(at.target)), {}, rows, prefix};
    if (selected && selected->getType() == kComponentSheet) request.after = ItemRef::byId(componentId(selected));
    std::vector<uint64_t> made;
    const ActionResult r = edit.run([&](EditSession& s) { return importLayouts(s, request, &made); });
    TkString list;
    for (const ActionResult::LeftAlone& l : r.leftAlone)
        if (r.status == ActionResult::Done && l.reason == L"not stamped") list += L"\n" + l.item;
    if (!list.empty())
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), L"The sheets were added; these drawings could not be stamped:" + list,
                       MB_OK | MB_ICONWARNING);
    if (!made.empty()) showById(ctx, made.front());
}

void runImport(SheetListContext& ctx, const TkString& hostDrawing, const std::vector<TkString>& hostNames) {
    if (!ctx.sheetSet) return;
    OperationEdit edit(ctx);
    if (!edit) return;
    CNqResourceScope resources(kSheetSetRes);
    CImportLayoutsDlg dlg(sheetsOf(ctx), openSetFiles(ctx), vredGetVornFrame());
    if (!hostDrawing.empty()) dlg.fillFromDrawing(hostDrawing, hostNames);
    if (dlg.DoModal() != QDialog::Accepted) return;
    importRows(ctx, edit, dlg.chosen, CImportLayoutsDlg::prefixWithFileName);
}

void importLayoutsFromDialog(SheetListContext& ctx) { runImport(ctx, {}, {}); }

void importFromHost(SheetListContext& ctx) {
    if (ctx.args.empty()) return;
    runImport(ctx, ctx.args.front(), std::vector<TkString>(ctx.args.begin() + 1, ctx.args.end()));
}

}  // namespace

void reassociateSheetLayout(SheetListContext& ctx, uint64_t sheetId) {
    if (!ctx.sheetSet || !sheetId) return;
    OperationEdit edit(ctx);
    if (!edit.find(sheetId)) return;
    CNqResourceScope resources(kSheetSetRes);
    CImportLayoutsDlg dlg(sheetsOf(ctx), openSetFiles(ctx), vredGetVornFrame());
    dlg.singleChoice = true;
    if (dlg.DoModal() != QDialog::Accepted || dlg.chosen.empty()) return;
    const LayoutRow row = dlg.chosen.front();
    edit.run([&](EditSession& s) { return relinkSheet(s, {ItemRef::byId(sheetId), row}); });
    showById(ctx, sheetId);
}

void registerImportLayoutsOperation() {
    SheetListCommands::add(pal::kCmdImportLayout, importLayoutsFromDialog);
    SheetListCommands::add(pal::kCmdImportFromHost, importFromHost);
}

void unregisterImportLayoutsOperation() {
    SheetListCommands::remove(pal::kCmdImportLayout);
    SheetListCommands::remove(pal::kCmdImportFromHost);
}
