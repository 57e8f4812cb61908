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
            // Message 26703 whose built-in text here is the Chinese one.
            VrUiMessageBox(ssMessage(26703, L"\u56fe\u7eb8\u96c6\u7ba1\u7406\u5668\u9519\u8bef"),
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
