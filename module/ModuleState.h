#pragma once
// Process-wide state of the module: set while it is initialised.
class CSheetSetBar;

struct SheetSetModuleState {
    // The palette; null while the module is not initialised.
    CSheetSetBar* palette = nullptr;
    bool initialised = false;
};

SheetSetModuleState& sheetSetModule();
