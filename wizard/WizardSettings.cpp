#include "wizard/WizardSettings.h"

#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "host/UiBase.h"

TkString WizardSettings::key() {
    return vrutProfileFileName() + L"\\" + vrutProfileRootName() + L"\\" + CNqSystem::instance().productName() +
           L"\\Dialogs\\Sheet Set Wizard\\";
}

void WizardSettings::read() {
    CVdUiRegistryAccess k(key());
    auto number = [&](const wchar_t* name) { return static_cast<uint32_t>(k.getInt(name, 0)); };
    browseForLayoutsPath = k.getString(L"BrowseForLayoutsPath");
    folderHierarchyCreation = number(L"FolderHierarchyCreation");
    ignoreTopLevelFolder = number(L"IgnoreTopLevelFolder");
    lastCopiedSheetSet = k.getString(L"LastCopiedSheetSet");
    methodThroughWizard = number(L"MethodThroughWizard");
    prefixSheetWithFileName = number(L"PrefixSheetWithFileName");
    selectionThroughWizard = number(L"SelectionThroughWizard");
    sheetSetCreatePath = k.getString(L"SheetSetCreatePath");
    subsetsBasedOnFolders = number(L"SubsetsBasedOnFolders");
    mask = 0;
}

void WizardSettings::write() const {
    if (!mask) return;
    CVdUiRegistryAccess k(key());
    auto number = [&](Bit bit, const wchar_t* name, uint32_t value) {
        if (mask & bit) k.setInt(name, static_cast<long>(value));
    };
    auto text = [&](Bit bit, const wchar_t* name, const TkString& value) {
        if (mask & bit) k.setString(name, value);
    };
    text(kBrowseForLayoutsPath, L"BrowseForLayoutsPath", browseForLayoutsPath);
    number(kFolderHierarchyCreation, L"FolderHierarchyCreation", folderHierarchyCreation);
    number(kIgnoreTopLevelFolder, L"IgnoreTopLevelFolder", ignoreTopLevelFolder);
    text(kLastCopiedSheetSet, L"LastCopiedSheetSet", lastCopiedSheetSet);
    number(kMethodThroughWizard, L"MethodThroughWizard", methodThroughWizard);
    number(kPrefixSheetWithFileName, L"PrefixSheetWithFileName", prefixSheetWithFileName);
    number(kSelectionThroughWizard, L"SelectionThroughWizard", selectionThroughWizard);
    text(kSheetSetCreatePath, L"SheetSetCreatePath", sheetSetCreatePath);
    number(kSubsetsBasedOnFolders, L"SubsetsBasedOnFolders", subsetsBasedOnFolders);
}

void WizardSettings::setPath(Bit bit, TkString& field, const TkString& value) {
    if (vrutSameTextNoCase(field, value)) return;
    field = value;
    mask |= bit;
}

void WizardSettings::setNumber(Bit bit, uint32_t& field, uint32_t value) {
    if (field == value) return;
    field = value;
    mask |= bit;
}
