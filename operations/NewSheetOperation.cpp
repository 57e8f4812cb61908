// "New Sheet...": the template checked (or browsed for), the dialog asks for number, title and
// file name, and the new sheet core writes the drawing and adds the sheet after the selected sheet
// or last in the selected subset, all under one hold on the set.
#include "actions/NewSheet.h"
#include "dialogs/NewSheetDlg.h"
#include "dialogs/SelectLayoutDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "model/ItemLookup.h"
#include "model/NewSheet.h"
#include "model/SheetSetMessages.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"

namespace {

// The question for a template that cannot be used; OK goes on to browse for one.
bool askToBrowse(TemplateProblem problem) {
    const wchar_t* text =
        problem == TemplateProblem::FileMissing
            ? L"The sheet creation template file was not found. Click OK to browse to a sheet creation template file."
        : problem == TemplateProblem::LayoutMissing
            ? L"To create a new sheet, you must first specify a template (DWT) file. Click OK to browse to a sheet creation template file."
            : L"The specified layout in the sheet creation template is not initialized. Click OK to browse to a sheet creation template file..";
    return VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), text, MB_OKCANCEL) == IDOK;
}

void newSheet(SheetListContext& ctx) {
    if (!ctx.sheetSet) return;
    OperationEdit edit(ctx);  // held from the template's check to the sheet's save
    CSheetSetImpl* set = edit.set();
    if (!set) return;
    CNqResourceScope resources(kSheetSetRes);
    CComponent* selected = ctx.caret ? ctx.caret : ctx.selected.empty() ? nullptr : ctx.selected.front();
    const SheetInsertPoint at = sheetInsertPoint(set, selected);
    const TkString location = resolveNewSheetLocation(at.target);
    if (location.empty()) return;
    SheetTemplate tmpl = sheetTemplateOf(at.target);
    bool browse = at.target->getPromptForTemplate();
    if (!browse) {
        TemplateProblem problem = checkSheetTemplate(tmpl.file, tmpl.layout);
        if (problem != TemplateProblem::None) {
            if (!askToBrowse(problem)) return;
            browse = true;
        }
    }
    if (browse) {
        CSelectLayoutDlg pick(vredGetVornFrame());
        pick.filePath = tmpl.file;
        pick.layoutName = tmpl.layout;
        if (pick.DoModal() != QDialog::Accepted) return;
        tmpl = {pick.filePath, pick.layoutName, pick.layoutHandle};
    }
    CNewSheetDlg dlg(vredGetVornFrame());
    dlg.location = location;
    dlg.templateFile = tmpl.file;
    dlg.templateLayoutName = tmpl.layout;
    std::vector<CSheet*> siblings;
    at.target->getSheets(siblings, false);
    for (const CSheet* s : siblings) dlg.existingNames.push_back(sheetDisplayName(s));
    std::vector<CSheet*> all;
    set->getSheets(all, true);
    for (const CSheet* s : all) dlg.usedNumbers.push_back({s->getNumber(), sheetDisplayName(s)});
    if (dlg.DoModal() != QDialog::Accepted) return;

    NewSheetRequest request{ItemRef::byId(componentId(at.target)),
                            selected && selected->getType() == kComponentSheet ? ItemRef::byId(componentId(selected)) : ItemRef{},
                            dlg.number,
                            dlg.title,
                            dlg.fileName,
                            {},
                            browse ? std::optional<SheetTemplate>(tmpl) : std::nullopt,
                            dlg.replacedDrawing,
                            drawingVersionForSaveFormat(vrapDefaultSaveFormat())};
    std::vector<NewSheetMade> made;
    const ActionResult r = edit.run([&](EditSession& s) { return newSheets(s, {request}, &made); });
    if (r.status != ActionResult::Done || made.empty()) return;
    showById(ctx, made.front().id);
    if (CNewSheetDlg::openInDrawingEditor) vornOpenFile(made.front().drawingPath, 4);
}

}  // namespace

void registerNewSheetOperation() { SheetListCommands::add(pal::kCmdNewSheet, newSheet); }
void unregisterNewSheetOperation() { SheetListCommands::remove(pal::kCmdNewSheet); }
