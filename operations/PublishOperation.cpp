// Publishing and transmitting from the palette: the selection gathered by its publish flags and
// handed to the host's plot service; Transmit hands the selection's drawings to the host's
// transmittal service; the publish settings dialog edits the flags of the whole set.
#include <QFile>

#include "dialogs/PublishSheetsDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "host/PlotService.h"
#include "host/TransmitService.h"
#include "model/ItemLookup.h"
#include "model/PublishGather.h"
#include "model/SheetSetMessages.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListSettings.h"
#include "actions/PublishFlags.h"
#include "actions/PublishJobs.h"
#include "operations/OperationEdit.h"

namespace {

int kindOf(int id) {
    switch (id) {
    case pal::kCmdPublishDwf: return 1;
    case pal::kCmdPublishDwfx:
    case pal::kCmdPublishDwfx2: return 2;
    case pal::kCmdPublishPlotter: return 3;
    case pal::kCmdPublishDefault: return vrPlotService() ? vrPlotService()->getDefaultPublishFormat() : 0;
    default: return 0;
    }
}

std::vector<ItemRef> selection(const SheetListContext& ctx) {
    std::vector<ItemRef> items;
    for (CComponent* c : ctx.selected) items.push_back(ItemRef::byId(componentId(c)));
    return items;
}

// The selection's job; false when an item is gone.
bool jobFor(SheetListContext& ctx, const TkString& pageSetup, VrPublishJob& job) {
    auto* set = dynamic_cast<CSheetSetImpl*>(ctx.sheetSet);
    return set && publishJob(*set, {selection(ctx), pageSetup}, job).status != ActionResult::Refused;
}

void publish(SheetListContext& ctx) {
    CNqPlotSvr* plot = vrPlotService();
    VrPublishJob job;
    if (!plot || !ctx.sheetSet || !jobFor(ctx, {}, job)) return;
    if (!job.sheets.empty()) plot->publish(kindOf(ctx.id), job);
}

void publishWithPageSetup(SheetListContext& ctx) {
    CNqPlotSvr* plot = vrPlotService();
    if (!plot || !ctx.sheetSet) return;
    const std::vector<TkString>& names = ctx.sheetSet->getPageSetupNames();
    const size_t n = static_cast<size_t>(ctx.id - pal::kCmdPageSetupFirst);
    VrPublishJob job;
    if (n >= names.size() || !jobFor(ctx, names[n], job)) return;
    // Handed on even when nothing was gathered: the service says so.
    plot->publishWithPageSetupOverride(job);
}

void publishDialog(SheetListContext& ctx) {
    VrPublishJob job;
    if (CNqPlotSvr* plot = vrPlotService(); plot && ctx.sheetSet && jobFor(ctx, {}, job)) plot->publishDialogBox(job);
}

void publishOptions(SheetListContext& ctx) {
    CNqPlotSvr* plot = vrPlotService();
    if (!plot || !ctx.sheetSet) return;
    // The options are the set's: set while the palette holds it, refused while a colleague does.
    bool changed = false;
    {
        OperationEdit edit(ctx);
        CSheetSetImpl* set = edit.set();
        if (!set) return;
        changed = plot->sheetSetPublishOptions(makePublishJob(set, {})) == 5100;
    }
    if (changed) ctx.wnd.UpdatePublishButton();
}

void publishSettings(SheetListContext& ctx) {
    if (!ctx.sheetSet) return;
    // The set is held while the dialog shows: what it lists is what the flags are set on.
    OperationEdit edit(ctx);
    CSheetSetImpl* set = edit.set();
    if (!set) return;
    CNqResourceScope resources(kSheetSetRes);
    CPublishSheetsDlg dlg(set, vredGetVornFrame());
    dlg.setComponentTips([&edit](uint64_t id, const QString& title, int style) { return makeComponentTip(edit.find(id), title, style); },
                         ctx.wnd.settings().toolTipStyle);
    if (dlg.DoModal() != QDialog::Accepted || dlg.changes.empty()) return;
    PublishFlagsRequest request;
    for (const auto& [id, on] : dlg.changes) request.items.emplace_back(ItemRef::byId(id), on);
    edit.run([&](EditSession& s) { return setPublishFlags(s, request); });
    ctx.wnd.UpdatePublishButton();
}

void transmit(SheetListContext& ctx) {
    IVrTransmitService* service = vrTransmitService();
    if (!ctx.sheetSet) return;
    VrTransmittalJob job;
    auto* set = dynamic_cast<CSheetSetImpl*>(ctx.sheetSet);
    if (!service || !set || transmittalJob(*set, selection(ctx), job).status != ActionResult::Done) return;
    // The service may look at sheet sets of its own through a manager of its own while it works.
    CSheetSetMgrImpl forService;
    CNqSystem::instance().registerService(L"CSheetSetMgr", &forService);
    service->transmit(job);
    CNqSystem::instance().removeService(L"CSheetSetMgr");
}

void transmittalSetups(SheetListContext& ctx) {
    IVrTransmitService* service = vrTransmitService();
    if (!service || !ctx.sheetSet) return;
    // The setups belong to the set: edited under its lock like any other change to it, and
    // refused, naming the holder, while a colleague has it.
    OperationEdit edit(ctx);
    CSheetSetImpl* set = edit.set();
    if (!set) return;
    TkString folder, file;
    vrutSplitPath(set->getFileName(), folder, file);
    service->transmittalSetups(folder + set->getName());
}

constexpr int kPublishIds[] = {pal::kCmdPublishDefault, pal::kCmdPublishDwf, pal::kCmdPublishDwfx, pal::kCmdPublishDwfx2,
                               pal::kCmdPublishPdf, pal::kCmdPublishPlotter};

}  // namespace

void registerPublishOperations() {
    for (int id : kPublishIds) SheetListCommands::add(id, publish);
    for (int i = 0; i < pal::kPageSetupRangeSize; ++i) SheetListCommands::add(pal::kCmdPageSetupFirst + i, publishWithPageSetup);
    SheetListCommands::add(pal::kCmdPublishDialog, publishDialog);
    SheetListCommands::add(pal::kCmdPublishOptions, publishOptions);
    SheetListCommands::add(pal::kCmdPublishSettings, publishSettings);
    SheetListCommands::add(pal::kCmdTransmit, transmit);
    SheetListCommands::add(pal::kCmdTransmittalSetups, transmittalSetups);
}

void unregisterPublishOperations() {
    for (int id : kPublishIds) SheetListCommands::remove(id);
    for (int i = 0; i < pal::kPageSetupRangeSize; ++i) SheetListCommands::remove(pal::kCmdPageSetupFirst + i);
    for (int id : {pal::kCmdPublishDialog, pal::kCmdPublishOptions, pal::kCmdPublishSettings, pal::kCmdTransmit, pal::kCmdTransmittalSetups})
        SheetListCommands::remove(id);
}
