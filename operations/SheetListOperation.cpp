// "Insert Sheet List Table...": the columns chosen in a dialog filled from the set as it is under
// the lock, then the same core as `drawkit sheet-list`.
#include "actions/SheetList.h"
#include "dialogs/SheetListTableDlg.h"
#include "host/Dialogs.h"
#include "model/ItemLookup.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"

namespace {

void insertTable(SheetListContext& ctx) {
    auto* caret = dynamic_cast<CSheet*>(ctx.caret);
    if (!caret || !ctx.sheetSet) return;
    const uint64_t id = componentId(caret);
    OperationEdit edit(ctx);
    CSheetSetImpl* set = edit.set();
    if (!set || !edit.find(id)) return;
    CSheetListTableDlg dlg(sheetListColumnChoices(set), {L"Number", L"Title"}, vredGetVornFrame());
    if (dlg.DoModal() != QDialog::Accepted) return;
    SheetListRequest request{ItemRef::byId(id), dlg.columns};
    edit.run([&](EditSession& s) { return insertSheetList(s, request); });
}

}  // namespace

void registerSheetListOperation() { SheetListCommands::add(pal::kCmdSheetListTable, insertTable); }
void unregisterSheetListOperation() { SheetListCommands::remove(pal::kCmdSheetListTable); }
