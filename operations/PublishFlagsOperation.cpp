#include "operations/PublishFlagsOperation.h"

#include "model/ItemLookup.h"
#include "model/PublishFlags.h"
#include "palette/CommandTable.h"
#include "palette/PaletteIds.h"
#include "actions/PublishFlags.h"
#include "operations/OperationEdit.h"
#include "palette/SheetListView.h"

namespace {

void publishFlagsFromMenu(SheetListContext& ctx) {
    const bool on = ctx.id == pal::kCmdSubsetPublishOn || ctx.id == pal::kCmdSheetPublishOn;
    PublishFlagsRequest request;
    for (uint64_t id : ctx.selectedIds) request.items.emplace_back(ItemRef::byId(id), on);
    OperationEdit edit(ctx);
    edit.run([&](EditSession& s) { return setPublishFlags(s, request); });
    ctx.wnd.UpdatePublishButton();
}

constexpr int kIds[] = {pal::kCmdSubsetPublishOn, pal::kCmdSubsetPublishOff, pal::kCmdSheetPublishOn, pal::kCmdSheetPublishOff};

}  // namespace

void registerPublishFlagsOperation() {
    for (int id : kIds) SheetListCommands::add(id, publishFlagsFromMenu);
}

void unregisterPublishFlagsOperation() {
    for (int id : kIds) SheetListCommands::remove(id);
}
