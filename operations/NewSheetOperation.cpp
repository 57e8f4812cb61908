// "New Sheet...": the template checked (or browsed for), the dialog writes the drawing, and the
// sheet goes after the selected sheet or last in the selected subset.
#include <filesystem>

#include "dialogs/NewSheetDlg.h"
#include "dialogs/SelectLayoutDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "model/ItemLookup.h"
#include "model/NewSheet.h"
#include "model/SheetSetMessages.h"
#include "drawings/FileLocks.h"
#include "operations/OperationEdit.h"
#include "toolkit/common/TkUtf8.h"
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
    dlg.sheetSetFile = set->getFileName();
    dlg.location = location;
    dlg.templateFile = tmpl.file;
    dlg.templateLayoutName = tmpl.layout;
    dlg.templateLayoutHandle = tmpl.handle;
    dlg.drawingVersion = drawingVersionForSaveFormat(vrapDefaultSaveFormat());
    std::vector<CSheet*> siblings;
    at.target->getSheets(siblings, false);
    for (const CSheet* s : siblings) dlg.existingNames.push_back(sheetDisplayName(s->getNumber(), s->getTitle()));
    if (dlg.DoModal() != QDialog::Accepted) return;

    // The set may be read again under the lock: the target and the sheet after which the new one
    // goes are found by id.
    const uint64_t targetId = componentId(at.target);
    const uint64_t afterId = selected && selected->getType() == kComponentSheet ? componentId(selected) : 0;
    uint64_t madeId = 0;
    const ActionResult r = edit.apply([&](CSheetSetImpl& s) {
        auto* target = dynamic_cast<CSubset*>(findComponentById(&s, targetId));
        if (!target) return false;
        int position = -1;
        if (CComponent* after = findComponentById(&s, afterId)) position = sheetInsertPoint(&s, after).position;
        if (browse) target->setTemplate(tmpl.layout.c_str(), tmpl.handle.c_str(), tmpl.file.c_str(), true);
        madeId = componentId(addSheetForDrawing(s, target, position, dlg.number, dlg.title, dlg.fileName, tmpl.handle, dlg.drawingPath));
        return true;
    });
    if (r.status != ActionResult::Done) {
        // The drawing the dialog made belongs to no sheet: it goes, unless someone holds it. One it
        // wrote over (the user agreed) may be another sheet's, and stays.
        std::error_code ec;
        if (!dlg.replacedDrawing && !isDrawingLocked(dlg.drawingPath)) std::filesystem::remove(std::filesystem::path(tkToUtf8(dlg.drawingPath)), ec);
        return;
    }
    showById(ctx, madeId);
    if (CNewSheetDlg::openInDrawingEditor) vornOpenFile(dlg.drawingPath, 4);
}

}  // namespace

void registerNewSheetOperation() { SheetListCommands::add(pal::kCmdNewSheet, newSheet); }
void unregisterNewSheetOperation() { SheetListCommands::remove(pal::kCmdNewSheet); }
