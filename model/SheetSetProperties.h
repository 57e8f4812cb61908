#pragma once
// The set's own properties as the properties dialog shows them, read from a set and written back
// to one: by the palette (under the edit lock) and by the new sheet set wizard (its new set).
#include <vector>

#include "model/SheetSetImpl.h"

struct SheetSetPropertyValues {
    TkString name, dataFile, description, pageSetupFile;
    std::vector<TkString> modelViewFolders;
    TkString labelBlockName, labelBlockHandle, labelBlockFile;
    std::vector<TkString> calloutNames, calloutHandles, calloutFiles;
    TkString projectNumber, projectName, projectPhase, projectMilestone;
    TkString location, templateLayout, templateHandle, templateFile;
    bool promptForTemplate = false;
    std::vector<CustomProperty> customProperties;  // the set's own and the sheets' definitions
};

SheetSetPropertyValues readSheetSetProperties(const CSheetSet* set);

// Which of the settings that subsets inherit, and whether the custom properties, differ.
struct SheetSetSettingsChange {
    bool location = false, sheetTemplate = false, prompt = false, customProperties = false;
    bool inherited() const { return location || sheetTemplate || prompt; }
};
SheetSetSettingsChange sheetSetSettingsChange(const SheetSetPropertyValues& before, const SheetSetPropertyValues& after);

// Writes the values in the order the set keeps them: name, description, model view folders,
// blocks, page setups, project, then the inherited settings that `apply` names (to nested subsets
// too with `nested`), then the custom properties, whose sheet definitions every sheet takes.
void applySheetSetProperties(CSheetSet& set, const SheetSetPropertyValues& values, const SheetSetSettingsChange& apply, bool nested);
