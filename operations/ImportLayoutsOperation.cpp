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
    const uint64_t targetId = componentId(at.target);
    const uint64_t afterId = selected && selected->getType() == 2 ? componentId(selected) : 0;
    uint64_t firstId = 0;
    std::vector<TkString> problems;
    edit.apply([&](CSheetSetImpl& s) {
        auto* target = dynamic_cast<CSubset*>(findComponentById(&s, targetId));
        if (!target) return false;
        int position = -1;
        if (CComponent* after = findComponentById(&s, afterId)) position = sheetInsertPoint(&s, after).position;
        std::vector<CSheet*> made = importLayoutRows(s, target, position, rows, prefix);
        if (made.empty()) return false;
        firstId = componentId(made.front());
        stampSheetDrawings(sheetsToStamp(made, rows), s.getFileName(), problems);
        return true;
    });
    if (!problems.empty()) {
        TkString list;
        for (const TkString& p : problems) list += L"\n" + p;
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), L"The sheets were added; these drawings could not be stamped:" + list,
                       MB_OK | MB_ICONWARNING);
    }
    showById(ctx, firstId);
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

void importLayouts(SheetListContext& ctx) { runImport(ctx, {}, {}); }

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
    const uint64_t id = sheetId;
    edit.apply([&](CSheetSetImpl& s) {
        auto* found = dynamic_cast<CSheet*>(findComponentById(&s, id));
        if (!found) return false;
        found->setLayout(row.layout.c_str(), row.handle.c_str(), row.drawing.c_str());
        std::vector<TkString> problems;
        stampSheetDrawings(sheetsToStamp({found}, {row}), s.getFileName(), problems);
        return true;
    });
    showById(ctx, id);
}

void registerImportLayoutsOperation() {
    SheetListCommands::add(pal::kCmdImportLayout, importLayouts);
    SheetListCommands::add(pal::kCmdImportFromHost, importFromHost);
}

void unregisterImportLayoutsOperation() {
    SheetListCommands::remove(pal::kCmdImportLayout);
    SheetListCommands::remove(pal::kCmdImportFromHost);
}
