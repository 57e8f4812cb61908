// "Resave All Sheets": every sheet's drawing stamped and saved, off the UI thread with progress and
// Cancel, under the set's lock; the sheets that could not be written are reported and logged.
#include <algorithm>
#include <map>

#include "dialogs/ResaveReportDlg.h"
#include "dialogs/ResaveSheetsDlg.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "host/Resources.h"
#include "model/NewSheet.h"
#include "actions/ResaveSheets.h"
#include "model/SheetSetMessages.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"
#include "operations/OperationEdit.h"

namespace {

void resaveAll(SheetListContext& ctx) {
    if (!ctx.sheetSet) return;
    // The set is held for the whole resave (the drawings change, the set does not).
    OperationEdit edit(ctx);
    CSheetSetImpl* set = edit.set();
    if (!set) return;
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    if (sheets.empty()) return;
    CNqResourceScope resources(kSheetSetRes);
    // The host's documents, looked at here on the UI thread before the work starts.
    std::map<TkString, HostDocument> open;
    for (int i = 0; i < vrDocManagerPtr()->documentCount(); ++i) {
        VrApDocument* d = vrDocManagerPtr()->document(i);
        open[vrutFoldCase(d->fileName())] = d->isReadOnly() ? HostDocument::ReadOnly : HostDocument::Editable;
    }
    auto hostDocument = [open](const TkString& path) {
        auto it = open.find(vrutFoldCase(path));
        return it == open.end() ? HostDocument::None : it->second;
    };
    const ResaveRequest request{drawingVersionForSaveFormat(vrapDefaultSaveFormat()), hostDocument, {}};
    auto withProgress = [](const std::function<void(const ResaveTick&)>& work) { return CResaveSheetsDlg(work).DoModal() == IDOK; };
    const TkString name = set->getName();
    ResaveOutcome out;
    const ActionResult r = edit.run([&](EditSession& s) { return resaveSheets(s, request, withProgress, out); });
    if (!r.landed()) return;
    if (out.entries.empty()) {
        if (out.finished) VrUiMessageBox(L"Resave Sheets", vrFormatMessage(L"The %s sheet set has been resaved.", {name}), MB_OK);
        return;
    }
    if (out.logFailed)
        VrUiMessageBox(L"Error Creating Log", vrFormatMessage(L"The report log file could not be written to %s.", {out.log}), MB_OK);
    CResaveReportDlg report(name, out.entries, out.log, vredGetVornFrame());
    report.DoModal();
}

}  // namespace

void registerResaveOperation() { SheetListCommands::add(pal::kCmdResaveAll, resaveAll); }
void unregisterResaveOperation() { SheetListCommands::remove(pal::kCmdResaveAll); }
