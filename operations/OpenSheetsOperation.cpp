// "Open" and "Open read-only" (and a double-click on a sheet): each selected sheet's drawing opened
// in the host with the sheet's layout current. A missing drawing asks whether to remove the sheet
// or to give it another layout.
#include "drawings/SheetSetStamp.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "host/Progress.h"
#include "host/Resources.h"
#include "model/ItemLookup.h"
#include "model/NewSheet.h"
#include "model/SheetSetMessages.h"
#include "model/TitleBlocks.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListView.h"

namespace {

constexpr int kRemoveSheet = 1125, kAssociateLayout = 1126;

int askAboutMissingDrawing(const CSheet* sheet, const CSheetSet* set) {
    const TkString label = sheetDisplayName(sheet->getNumber(), sheet->getTitle());
    CVrUiTaskDialog dlg;
    dlg.setWindowTitle(vrFormatMessage(L"%s - %s", {L"Sheet Set Manager", L"Drawing File Not Found"}));
    dlg.setMainInstruction(vrFormatMessage(
        L"The drawing file, %s, containing the layout associated with the specified sheet set was not found. What do you want to do?",
        {sheet->getFileName()}));
    dlg.addCommandLink(kRemoveSheet, L"Remove the sheet from the sheet set",
                       vrFormatMessage(L"Remove the sheet, %s, from the %s sheet set.", {label, set->getName()}));
    dlg.addCommandLink(kAssociateLayout, L"Associate a different layout to this sheet",
                       vrFormatMessage(L"Replaces the layout associated with the sheet, %s", {label}));
    dlg.setCommonButtons(CVrUiTaskDialog::kButtonCancel);
    dlg.setParent(vredGetVornFrame());
    return dlg.doModal();
}

VrApDocument* openForEditing(const TkString& path) {
    VrApDocManager* docs = vrDocManagerPtr();
    for (int i = 0; i < docs->documentCount(); ++i)
        if (VrApDocument* d = docs->document(i); !d->isReadOnly() && vrutSamePath(d->fileName(), path)) return d;
    return nullptr;
}

void openSheets(SheetListContext& ctx) {
    const bool readOnly = ctx.id == pal::kCmdOpenReadOnly;
    CNqResourceScope resources(kSheetSetRes);
    // The ids first: removing or re-associating a sheet on the way may read the set again.
    std::vector<uint64_t> ids;
    for (CComponent* c : ctx.selected)
        if (c->getType() == kComponentSheet) ids.push_back(componentId(c));
    VrApDocManager* docs = vrDocManagerPtr();
    for (uint64_t id : ids) {
        CSheetSetImpl* set = currentSheetSet(ctx);
        auto* sheet = dynamic_cast<CSheet*>(findComponentById(set, id));
        if (!sheet) continue;
        const TkString layout = sheet->getLayoutName(), path = sheet->getFileName();
        if (!vrutPathExists(path)) {
            ctx.sheetSet = set;
            int choice = askAboutMissingDrawing(sheet, set);
            if (choice == kRemoveSheet) removeSheetsOperation(ctx, componentId(sheet));
            else if (choice == kAssociateLayout) reassociateSheetLayout(ctx, componentId(sheet));
            continue;
        }
        if (!readOnly)
            if (VrApDocument* open = openForEditing(path)) {
                if (docs->curDocument() != open) docs->activateDocument(open);
                docs->setCurrentLayout(open, layout);
                return;  // the sheets after it are not opened
            }
        if (!vornOpenFile(path, readOnly ? 2 : 12)) continue;
        VrApDocument* now = docs->curDocument();
        if (now && vrutSamePath(now->fileName(), path)) {
            updateStampPaths(now->database(), !now->isReadOnly(), path, set->getFileName());
            docs->setCurrentLayout(now, layout);
        }
    }
}

}  // namespace

CSheetSetImpl* currentSheetSet(SheetListContext& ctx) {
    CSheetSetMgrImpl* mgr = ctx.wnd.manager();
    return mgr && mgr->getCurrent() >= 0 ? mgr->sheetSetImpl(mgr->getCurrent()) : nullptr;
}

void showById(SheetListContext& ctx, uint64_t id) {
    if (CSheetSetImpl* set = currentSheetSet(ctx))
        if (CComponent* c = findComponentById(set, id)) ctx.wnd.ShowComponent(c);
}

void registerOpenSheetsOperation() {
    SheetListCommands::add(pal::kCmdOpenSheets, openSheets);
    SheetListCommands::add(pal::kCmdOpenReadOnly, openSheets);
}

void unregisterOpenSheetsOperation() {
    SheetListCommands::remove(pal::kCmdOpenSheets);
    SheetListCommands::remove(pal::kCmdOpenReadOnly);
}

void registerSheetOperations() {
    registerNewSheetOperation();
    registerImportLayoutsOperation();
    registerRemoveOperations();
    registerOpenSheetsOperation();
    registerPublishOperations();
    registerPropertiesOperations();
    registerSubsetOperation();
    registerResaveOperation();
    registerRenameOperation();
    registerSheetListOperation();
    registerSelectionsOperations();
    registerRenumberOperation();
}

void unregisterSheetOperations() {
    unregisterNewSheetOperation();
    unregisterImportLayoutsOperation();
    unregisterRemoveOperations();
    unregisterOpenSheetsOperation();
    unregisterPublishOperations();
    unregisterPropertiesOperations();
    unregisterSubsetOperation();
    unregisterResaveOperation();
    unregisterRenameOperation();
    unregisterSheetListOperation();
    unregisterSelectionsOperations();
    unregisterRenumberOperation();
}
