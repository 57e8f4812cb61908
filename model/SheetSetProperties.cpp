#include "model/SheetSetProperties.h"

#include "host/PathUtil.h"

SheetSetPropertyValues readSheetSetProperties(const CSheetSet* set) {
    SheetSetPropertyValues v;
    v.name = set->getName();
    v.dataFile = set->getFileName();
    v.description = set->getDesc();
    set->getModelViewFolders(v.modelViewFolders);
    set->getLabelBlock(v.labelBlockName, v.labelBlockHandle, v.labelBlockFile);
    set->getCalloutBlocks(v.calloutNames, v.calloutHandles, v.calloutFiles);
    v.pageSetupFile = set->getPageSetupFile();
    v.projectNumber = set->getProjectNumber();
    v.projectName = set->getProjectName();
    v.projectPhase = set->getProjectPhase();
    v.projectMilestone = set->getProjectMilestone();
    v.location = set->getNewSheetLocation();
    v.templateLayout = set->getTemplateLayoutName();
    v.templateHandle = set->getTemplateLayoutHandle();
    v.templateFile = set->getTemplateFileName();
    v.promptForTemplate = set->getPromptForTemplate();
    set->getCustomProperties()->getAll(v.customProperties);
    return v;
}

SheetSetSettingsChange sheetSetSettingsChange(const SheetSetPropertyValues& before, const SheetSetPropertyValues& after) {
    SheetSetSettingsChange c;
    c.location = !vrutSameTextNoCase(before.location, after.location);
    c.sheetTemplate = !vrutSameTextNoCase(before.templateLayout, after.templateLayout) ||
                      !vrutSamePath(before.templateFile, after.templateFile);
    c.prompt = before.promptForTemplate != after.promptForTemplate;
    c.customProperties = before.customProperties.size() != after.customProperties.size();
    for (size_t i = 0; !c.customProperties && i < before.customProperties.size(); ++i)
        c.customProperties = before.customProperties[i].name != after.customProperties[i].name ||
                             before.customProperties[i].value != after.customProperties[i].value ||
                             before.customProperties[i].ownedBySheetSet != after.customProperties[i].ownedBySheetSet;
    return c;
}

void applySheetSetProperties(CSheetSet& s, const SheetSetPropertyValues& v, const SheetSetSettingsChange& apply, bool nested) {
    s.setName(v.name.c_str());
    s.setDesc(v.description.c_str());
    s.setModelViewFolders(v.modelViewFolders);
    // Set again only when it changed: an empty reference written for nothing is a change on disk.
    TkString name, handle, file;
    s.getLabelBlock(name, handle, file);
    if (name != v.labelBlockName || handle != v.labelBlockHandle || file != v.labelBlockFile)
        s.setLabelBlock(v.labelBlockName.c_str(), v.labelBlockHandle.c_str(), v.labelBlockFile.c_str());
    s.setCalloutBlocks(v.calloutNames, v.calloutHandles, v.calloutFiles);
    s.setPageSetupFile(v.pageSetupFile.c_str());
    s.setProjectNumber(v.projectNumber.c_str());
    s.setProjectName(v.projectName.c_str());
    s.setProjectPhase(v.projectPhase.c_str());
    s.setProjectMilestone(v.projectMilestone.c_str());
    if (apply.location) s.setNewSheetLocation(v.location.c_str(), nested);
    if (apply.sheetTemplate) s.setTemplate(v.templateLayout.c_str(), v.templateHandle.c_str(), v.templateFile.c_str(), nested);
    if (apply.prompt) s.setPromptForTemplate(v.promptForTemplate, nested);
    if (apply.customProperties) {
        // The set keeps the new list; every sheet takes the new definitions of sheet properties.
        s.getCustomProperties()->setAll(v.customProperties);
        std::vector<CustomProperty> definitions;
        s.getCustomProperties()->getSheetProperties(definitions);
        std::vector<CSheet*> sheets;
        s.getSheets(sheets, true);
        for (CSheet* sheet : sheets) sheet->getCustomProperties()->applyDefinitions(definitions);
    }
}
