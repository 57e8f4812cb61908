#include "operations/PublishFlagsOperation.h"

#include "model/ItemLookup.h"
#include "model/PublishFlags.h"
#include "palette/CommandTable.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListView.h"

namespace {

void setPublishFlags(SheetListContext& ctx) {
    const bool on = ctx.id == pal::kCmdSubsetPublishOn || ctx.id == pal::kCmdSheetPublishOn;
    std::vector<uint64_t> ids;
    for (CComponent* c : ctx.selected) ids.push_back(componentId(c));
    ctx.wnd.EditCurrentSet([&](CSheetSetImpl& set) { return applyPublishFlags(set, ids, on); });
    ctx.wnd.UpdatePublishButton();
}

constexpr int kIds[] = {pal::kCmdSubsetPublishOn, pal::kCmdSubsetPublishOff, pal::kCmdSheetPublishOn, pal::kCmdSheetPublishOff};

}  // namespace

void registerPublishFlagsOperation() {
    for (int id : kIds) SheetListCommands::add(id, setPublishFlags);
}

void unregisterPublishFlagsOperation() {
    for (int id : kIds) SheetListCommands::remove(id);
}
