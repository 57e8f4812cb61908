// "Remove Sheet(s)" and "Remove Subset": out of the set, with the drawings, their layouts and
// their stamps left as they are.
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "host/Resources.h"
#include "model/ItemLookup.h"
#include "model/NewSheet.h"
#include "actions/RemoveItems.h"
#include "model/SheetSetMessages.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"

namespace {

void removeSheets(SheetListContext& ctx) { removeSheetsOperation(ctx, 0); }

void removeSubset(SheetListContext& ctx) {
    if (!ctx.sheetSet || !dynamic_cast<CSubset*>(ctx.caret)) return;
    OperationEdit edit(ctx);
    CSheetSetImpl* set = edit.set();
    auto* subset = dynamic_cast<CSubset*>(ctx.caret);
    if (!set || !subset || subset == set || subset->getCount()) return;
    // What is selected next: the next sibling, else the one before, else the parent.
    auto* parent = dynamic_cast<CSubset*>(subset->getParent());
    CComponent* next = parent;
    for (int i = 0; parent && i < parent->getCount(); ++i)
        if (parent->getAt(i) == subset) next = i + 1 < parent->getCount() ? parent->getAt(i + 1) : i > 0 ? parent->getAt(i - 1) : parent;
    const uint64_t nextId = componentId(next), id = componentId(subset);
    edit.run([&](EditSession& s) { return removeItems(s, {ItemRef::byId(id)}); });
    showById(ctx, nextId);
}

}  // namespace

void removeSheetsOperation(SheetListContext& ctx, uint64_t onlyId) {
    if (!ctx.sheetSet) return;
    OperationEdit edit(ctx);
    CSheetSetImpl* set = edit.set();
    if (!set) return;
    std::vector<CComponent*> sheets;
    if (onlyId) {
        if (CComponent* only = edit.find(onlyId)) sheets.push_back(only);
    } else {
        for (CComponent* c : ctx.selected)
            if (c->getType() == kComponentSheet) sheets.push_back(c);
    }
    if (sheets.empty()) return;
    CNqResourceScope resources(kSheetSetRes);
    const TkString note = L"\n(The layout and the drawing file will not be deleted.)";
    TkString text;
    if (sheets.size() == 1) {
        auto* s = static_cast<CSheet*>(sheets.front());
        text = vrFormatMessage(L"Are you sure that you want to remove %s Sheet from %s Sheet Set?", {sheetDisplayName(s->getNumber(), s->getTitle()), set->getName()});
    } else {
        text = vrFormatMessage(L"Are you sure that you want to remove %d Sheets from %s Sheet Set?", {std::to_wstring(sheets.size()), set->getName()});
    }
    if (VrUiMessageBox(L"Remove Sheets", text + note, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    std::vector<ItemRef> items;
    for (CComponent* c : sheets) items.push_back(ItemRef::byId(componentId(c)));
    edit.run([&](EditSession& s) { return removeItems(s, items); });
    if (CSheetSetImpl* now = currentSheetSet(ctx)) ctx.wnd.ShowComponent(now);
}

void registerRemoveOperations() {
    SheetListCommands::add(pal::kCmdRemoveSheets, removeSheets);
    SheetListCommands::add(pal::kCmdRemoveSubset, removeSubset);
}

void unregisterRemoveOperations() {
    SheetListCommands::remove(pal::kCmdRemoveSheets);
    SheetListCommands::remove(pal::kCmdRemoveSubset);
}
