#include "operations/OpenCloseOperation.h"

#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/PathUtil.h"
#include "model/SheetSetMessages.h"
#include "model/SheetSetMgrImpl.h"
#include "palette/CommandTable.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListView.h"

namespace {

// The file dialog comes back after a file that is no sheet set or cannot be opened, until the
// user cancels or a set opens.
void openSheetSet(SheetListContext&) {
    for (;;) {
        CVrUiNavDialog dialog(L"OpenSheetSet", true);
        dialog.addFilter(ssMessage(27603, L"Sheet Set"), L"*.dst");
        dialog.setHideReadOnly(true);
        if (dialog.DoModal() != IDOK || dialog.fileNames().empty()) return;
        const TkString file = dialog.fileNames().front();
        if (!vrutHasExtension(file, L".dst")) {
            VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"),
                           ssMessage(26729, L"Sheet Set file is not valid."), MB_OK | MB_ICONWARNING);
            continue;
        }
        if (vornOpenFile(file, 0)) return;
        VrUiMessageBox(L"", ssMessage(26730, L"Cannot find the specified file.\nPlease verify that the file exists."),
                       MB_OK | MB_ICONWARNING);
    }
}

void closeSheetSet(SheetListContext& ctx) {
    // A set an edit of this process holds stays open until that edit is done.
    if (ctx.manager.getCurrent() < 0 || ctx.manager.sheetSetImpl(ctx.manager.getCurrent())->isLockedHere()) return;
    ctx.manager.closeSheetSet(ctx.manager.getCurrent());
    ctx.wnd.ShowCurrentSheetSet();
}

}  // namespace

void registerOpenCloseOperation() {
    SheetListCommands::add(pal::kCmdOpen, openSheetSet);
    SheetListCommands::add(pal::kCmdCloseSheetSet, closeSheetSet);
}

void unregisterOpenCloseOperation() {
    SheetListCommands::remove(pal::kCmdOpen);
    SheetListCommands::remove(pal::kCmdCloseSheetSet);
}
