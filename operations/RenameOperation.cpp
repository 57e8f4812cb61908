// "Rename & Renumber...": the sheets beside the selected one, one after another in the rename
// dialog (Previous, Next); each applied sheet is saved at once, so that Cancel on a later one keeps
// the earlier ones. Its layout and drawing are renamed with it when asked.
#include "dialogs/RenameSheetDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "model/ItemLookup.h"
#include "model/NewSheet.h"
#include "model/RenameSheet.h"
#include "model/SheetSetMessages.h"
#include "actions/RenameSheet.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListSettings.h"

namespace {

void renameSheets(SheetListContext& ctx) {
    auto* first = dynamic_cast<CSheet*>(ctx.caret);
    if (!first || !ctx.sheetSet) return;
    auto* parent = dynamic_cast<CSubset*>(first->getParent());
    if (!parent) return;
    // The sheets beside it, by id: every applied sheet may read the set again.
    std::vector<uint64_t> ids;
    std::vector<CSheet*> siblings;
    parent->getSheets(siblings, false);
    size_t place = 0;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i] == first) place = i;
        ids.push_back(componentId(siblings[i]));
    }
    CNqResourceScope resources(kSheetSetRes);
    for (;;) {
        // Each sheet is one edit: held from its dialog to its save, so Cancel on a later sheet
        // keeps the earlier ones.
        OperationEdit edit(ctx);
        CSheetSetImpl* set = edit.set();
        auto* sheet = set ? dynamic_cast<CSheet*>(findComponentById(set, ids[place])) : nullptr;
        if (!sheet) return;
        ctx.wnd.ShowComponent(sheet);
        CRenameSheetDlg dlg(vredGetVornFrame());
        dlg.number = sheet->getNumber();
        dlg.title = sheet->getTitle();
        dlg.layoutName = sheet->getLayoutName();
        dlg.drawingPath = sheet->getFileName();
        std::vector<CSheet*> all;
        set->getSheets(all, true);
        for (const CSheet* s : all)
            if (s != sheet) dlg.usedNumbers.push_back({s->getNumber(), sheetDisplayName(s)});
        for (size_t i = 0; i < ids.size(); ++i)
            if (i != place)
                if (auto* other = dynamic_cast<CSheet*>(findComponentById(set, ids[i])))
                    dlg.existingNames.push_back(sheetDisplayName(other->getNumber(), other->getTitle()));
        VrApDocument* doc = vrDocManagerPtr()->findDocument(sheet->getFileName());
        dlg.openHere = doc && !doc->isReadOnly();
        dlg.hasPrevious = place > 0;
        dlg.hasNext = place + 1 < ids.size();
        CSheetListSettings& options = ctx.wnd.settings();
        dlg.renameLayout = options.title1 != 0;
        dlg.layoutWithNumber = options.prefix1 != 0;
        dlg.renameFile = options.title2 != 0;
        dlg.fileWithNumber = options.prefix2 != 0;
        const int result = dlg.DoModal();
        if (result == QDialog::Rejected) return;
        options.title1 = dlg.renameLayout;
        options.prefix1 = dlg.layoutWithNumber;
        options.title2 = dlg.renameFile;
        options.prefix2 = dlg.fileWithNumber;
        RenameRequest request{ItemRef::byId(ids[place]), dlg.number, dlg.title, dlg.layoutName, dlg.drawingPath};
        request.replaceExisting = dlg.replaceExisting;  // the user agreed to replace a drawing there
        const ActionResult r = edit.run([&](EditSession& s) { return renameSheet(s, request); });
        for (const ActionResult::LeftAlone& l : r.leftAlone)
            if (l.reason != kTitleBlockNotUpdated && l.problem) VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), l.item, MB_OK | MB_ICONWARNING);
        if (result == CRenameSheetDlg::kPrevious && place > 0) --place;
        else if (result == CRenameSheetDlg::kNext && place + 1 < ids.size()) ++place;
        else return;
    }
}

}  // namespace

void registerRenameOperation() { SheetListCommands::add(pal::kCmdRenameRenumber, renameSheets); }
void unregisterRenameOperation() { SheetListCommands::remove(pal::kCmdRenameRenumber); }
