// "Properties..." of the sheet set, a subset and a sheet: the dialog filled from the set under its
// lock, the question whether inherited settings go to nested subsets too, and what the dialog
// changed handed to the properties core in the same session. "Manage Page Setups..." goes to the plot service
// and, when it asks for the set's properties (5000), through them and back.
#include "actions/Properties.h"
#include "dialogs/SheetPropertiesDlg.h"
#include "dialogs/SheetsetPropertiesDlg.h"
#include "dialogs/SubsetPropertiesDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "host/PlotService.h"
#include "host/Resources.h"
#include "model/ItemLookup.h"
#include "model/SheetSetProperties.h"
#include "model/NewSheet.h"
#include "model/PublishGather.h"
#include "model/SheetSetMessages.h"
#include "operations/OperationEdit.h"
#include "operations/SheetOperations.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListSettings.h"

namespace {

constexpr int kApplyNested = 1125, kKeepNested = 1126;

// Asks whether the changed settings go to the nested subsets too; true for "apply".
bool askNested(const TkString& instruction, const std::vector<const wchar_t*>& changed) {
    TkString content = L"Changes made:\n";
    for (const wchar_t* c : changed) content += TkString(L"\n    ") + c;
    CVrUiTaskDialog dlg;
    dlg.setWindowTitle(L"Sheet Set Manager - Apply Changes to Nested Subsets");
    dlg.setMainInstruction(instruction);
    dlg.setContent(content);
    dlg.addCommandLink(kApplyNested, L"Apply changes to nested subsets");
    dlg.addCommandLink(kKeepNested, L"Continue without changes to nested subsets");
    dlg.setCommonButtons(CVrUiTaskDialog::kButtonCancel);
    dlg.setParent(vredGetVornFrame());
    return dlg.doModal() == kApplyNested;
}

bool sameTemplate(const CSubset* s, const TkString& layout, const TkString& file) {
    return vrutSameTextNoCase(s->getTemplateLayoutName(), layout) && vrutSameTextNoCase(s->getTemplateFileName(), file);
}

void sheetSetProperties(SheetListContext& ctx) {
    if (!ctx.sheetSet) return;
    OperationEdit edit(ctx);
    CSheetSetImpl* set = edit.set();
    if (!set) return;
    CNqResourceScope resources(kSheetSetRes);
    CSheetsetPropertiesDlg dlg(vredGetVornFrame());
    const SheetSetPropertyValues before = readSheetSetProperties(set);
    static_cast<SheetSetPropertyValues&>(dlg) = before;
    if (dlg.DoModal() != QDialog::Accepted) return;

    const SheetSetSettingsChange change = sheetSetSettingsChange(before, dlg);
    std::vector<const wchar_t*> changed;
    if (change.location) changed.push_back(L"Sheet storage location");
    if (change.sheetTemplate) changed.push_back(L"Sheet creation template");
    if (change.prompt) changed.push_back(L"Prompt for template setting");
    std::vector<CSubset*> subsets;
    set->getSubsets(subsets, true);
    const bool nested = !changed.empty() && !subsets.empty() &&
                        askNested(vrFormatMessage(L"Changes were made to the sheet set, %s, that can also be applied to its nested subsets. What do you want to do?",
                                                  {set->getFileName()}),
                                  changed);
    edit.run([&](EditSession& s) { return setSheetSetProperties(s, dlg, nested); });
    if (CSheetSetImpl* now = currentSheetSet(ctx)) ctx.wnd.ShowComponent(now);
    ctx.wnd.ShowCurrentSheetSet();  // the open menu shows the new name
}

void subsetProperties(SheetListContext& ctx) {
    if (!dynamic_cast<CSubset*>(ctx.caret) || ctx.caret == ctx.sheetSet) return;
    OperationEdit edit(ctx);
    auto* subset = dynamic_cast<CSubset*>(ctx.caret);
    if (!edit || !subset || subset == ctx.sheetSet) return;
    CNqResourceScope resources(kSheetSetRes);
    CSubsetPropertiesDlg dlg(vredGetVornFrame());
    dlg.name = subset->getName();
    dlg.location = subset->getNewSheetLocation();
    dlg.includeForPublish = subset->getIncludeForPublish();
    dlg.templateLayout = subset->getTemplateLayoutName();
    dlg.templateHandle = subset->getTemplateLayoutHandle();
    dlg.templateFile = subset->getTemplateFileName();
    dlg.promptForTemplate = subset->getPromptForTemplate();
    if (dlg.DoModal() != QDialog::Accepted) return;
    const bool locationChanged = !vrutSameTextNoCase(dlg.location, subset->getNewSheetLocation());
    const bool templateChanged = !sameTemplate(subset, dlg.templateLayout, dlg.templateFile);
    const bool promptChanged = dlg.promptForTemplate != subset->getPromptForTemplate();
    const bool publishChanged = dlg.includeForPublish != subset->getIncludeForPublish();
    std::vector<const wchar_t*> changed;
    if (locationChanged) changed.push_back(L"Sheet storage location");
    if (templateChanged) changed.push_back(L"Sheet creation template");
    if (promptChanged) changed.push_back(L"Prompt for template setting");
    if (publishChanged) changed.push_back(L"Override Sheet Publish Settings");
    std::vector<CSubset*> nestedSubsets;
    subset->getSubsets(nestedSubsets, true);
    const bool nested = !changed.empty() && !nestedSubsets.empty() &&
                        askNested(vrFormatMessage(L"Changes were made to the subset, %s, that can also be applied to its nested subsets. What do you want to do?",
                                                  {subset->getName()}),
                                  changed);
    PropertiesRequest request{ItemRef::byId(componentId(subset)), {}, nested, {}, {}, {}};
    if (dlg.name != subset->getName()) request.values.emplace_back(L"Name", dlg.name);
    if (publishChanged) request.values.emplace_back(L"Publish", dlg.includeForPublish ? L"yes" : L"no");
    if (locationChanged) request.values.emplace_back(L"New sheet location", dlg.location);
    if (templateChanged) request.values.emplace_back(L"Sheet creation template", dlg.templateLayout + L"@" + dlg.templateFile);
    if (promptChanged) request.values.emplace_back(L"Prompt for template", dlg.promptForTemplate ? L"yes" : L"no");
    if (!request.values.empty()) edit.run([&](EditSession& s) { return setProperties(s, request); });
    showById(ctx, request.item.id);
}

void sheetProperties(SheetListContext& ctx) {
    if (!dynamic_cast<CSheet*>(ctx.caret)) return;
    OperationEdit edit(ctx);
    auto* sheet = dynamic_cast<CSheet*>(ctx.caret);
    if (!edit || !sheet) return;
    CNqResourceScope resources(kSheetSetRes);
    CSheetPropertiesDlg dlg(vredGetVornFrame());
    dlg.title = sheet->getTitle();
    dlg.number = sheet->getNumber();
    dlg.description = sheet->getDesc();
    dlg.includeForPublish = sheet->getIncludeForPublish();
    dlg.layoutName = sheet->getLayoutName();
    dlg.layoutHandle = sheet->getLayoutHandle();
    dlg.drawingPath = sheet->getFileName();
    dlg.sheetSetName = ctx.sheetSet->getName();
    dlg.revisionNumber = sheet->getRevisionNumber();
    dlg.revisionDate = sheet->getRevisionDate();
    dlg.purpose = sheet->getIssuePurpose();
    dlg.category = sheet->getCategory();
    sheet->getCustomProperties()->getAll(dlg.customProperties);
    CSheetListSettings& options = ctx.wnd.settings();
    dlg.renameLayout = options.title1 != 0;
    dlg.layoutWithNumber = options.prefix1 != 0;
    dlg.renameFile = options.title2 != 0;
    dlg.fileWithNumber = options.prefix2 != 0;
    if (auto* parent = dynamic_cast<CSubset*>(sheet->getParent())) {
        std::vector<CSheet*> siblings;
        parent->getSheets(siblings, false);
        for (CSheet* s : siblings)
            if (s != sheet) dlg.otherNames.push_back(sheetDisplayName(s->getNumber(), s->getTitle()));
    }
    if (dlg.DoModal() != QDialog::Accepted) return;
    options.title1 = dlg.renameLayout;
    options.prefix1 = dlg.layoutWithNumber;
    options.title2 = dlg.renameFile;
    options.prefix2 = dlg.fileWithNumber;
    // Only what the dialog changed goes to the core, by the names drawkit uses.
    PropertiesRequest request{ItemRef::byId(componentId(sheet)), {}, false, {}, dlg.newLayoutName, dlg.newDrawingPath};
    auto text = [&](const wchar_t* name, const TkString& now, const TkString& was) {
        if (now != was) request.values.emplace_back(name, now);
    };
    text(L"Title", dlg.title, sheet->getTitle());
    text(L"Number", dlg.number, sheet->getNumber());
    text(L"Description", dlg.description, sheet->getDesc());
    text(L"Revision", dlg.revisionNumber, sheet->getRevisionNumber());
    text(L"Revision Date", dlg.revisionDate, sheet->getRevisionDate());
    text(L"Purpose", dlg.purpose, sheet->getIssuePurpose());
    text(L"Category", dlg.category, sheet->getCategory());
    if (dlg.includeForPublish != sheet->getIncludeForPublish()) request.values.emplace_back(L"Publish", dlg.includeForPublish ? L"yes" : L"no");
    std::vector<CustomProperty> custom;
    sheet->getCustomProperties()->getAll(custom);
    for (const CustomProperty& p : dlg.customProperties) {
        auto was = std::find_if(custom.begin(), custom.end(), [&](const CustomProperty& c) { return c.name == p.name; });
        if (was == custom.end() || was->value != p.value) request.values.emplace_back(p.name, p.value);
    }
    if (dlg.layoutName != sheet->getLayoutName() || dlg.layoutHandle != sheet->getLayoutHandle() || !vrutSamePath(dlg.drawingPath, sheet->getFileName()))
        request.layout = SheetLayoutRef{dlg.layoutName, dlg.layoutHandle, dlg.drawingPath};
    if (request.values.empty() && !request.layout && request.newLayoutName.empty() && request.newDrawingPath.empty()) return;
    const ActionResult r = edit.run([&](EditSession& s) { return setProperties(s, request); });
    for (const ActionResult::LeftAlone& l : r.leftAlone)
        if (l.reason == kDrawingNotRenamed)
            VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), L"The sheet was changed; its drawing was not renamed: " + l.item,
                           MB_OK | MB_ICONWARNING);
    showById(ctx, request.item.id);
}

// The plot service manages page setups; 5000 sends the user to the set's properties and back.
void managePageSetups(SheetListContext& ctx) {
    for (CNqPlotSvr* plot = vrPlotService(); plot && ctx.sheetSet;) {
        const int r = plot->managePageSetups(makePublishJob(ctx.sheetSet, {}));
        if (r == 5100) {
            ctx.sheetSet->refreshPageSetupNames();
            return;
        }
        if (r != 5000) return;
        sheetSetProperties(ctx);
        ctx.sheetSet = currentSheetSet(ctx);
    }
}

}  // namespace

void registerPropertiesOperations() {
    SheetListCommands::add(pal::kCmdSheetSetProperties, sheetSetProperties);
    SheetListCommands::add(pal::kCmdSubsetProperties, subsetProperties);
    SheetListCommands::add(pal::kCmdRenameSubset, subsetProperties);  // renaming is done in the properties
    SheetListCommands::add(pal::kCmdSheetProperties, sheetProperties);
    SheetListCommands::add(pal::kCmdManagePageSetups, managePageSetups);
}

void unregisterPropertiesOperations() {
    for (int id : {pal::kCmdSheetSetProperties, pal::kCmdSubsetProperties, pal::kCmdRenameSubset, pal::kCmdSheetProperties, pal::kCmdManagePageSetups})
        SheetListCommands::remove(id);
}
