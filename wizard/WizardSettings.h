#pragma once
// What the new sheet set wizard remembers between runs: each value with a bit of its own in a mask
// of changed values, so that the end of the wizard writes only what this run changed.
#include <cstdint>

#include "host/VrTypes.h"

struct WizardSettings {
    enum Bit : uint32_t {
        kBrowseForLayoutsPath = 0x1,
        kFolderHierarchyCreation = 0x2,
        kIgnoreTopLevelFolder = 0x4,
        kLastCopiedSheetSet = 0x8,
        kMethodThroughWizard = 0x10,
        kPrefixSheetWithFileName = 0x20,
        kSelectionThroughWizard = 0x40,
        kSheetSetCreatePath = 0x80,
        kSubsetsBasedOnFolders = 0x100,
    };
    uint32_t mask = 0;
    TkString browseForLayoutsPath;
    uint32_t folderHierarchyCreation = 0;
    uint32_t ignoreTopLevelFolder = 0;
    TkString lastCopiedSheetSet;
    uint32_t methodThroughWizard = 0;  // 0 from an example, 1 from drawings
    uint32_t prefixSheetWithFileName = 0;
    uint32_t selectionThroughWizard = 0;  // 0 from the list, 1 browsed
    TkString sheetSetCreatePath;
    uint32_t subsetsBasedOnFolders = 0;

    // The per-user key the values live under.
    static TkString key();
    void read();   // a missing value reads as empty or 0
    void write() const;  // nothing when the mask is 0, else only the marked values

    // Set a value and mark it changed when it differs (paths compared without letter case).
    void setPath(Bit bit, TkString& field, const TkString& value);
    void setNumber(Bit bit, uint32_t& field, uint32_t value);
};
