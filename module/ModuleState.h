#pragma once
// Process-wide state of the module: set while it is initialised.
class QWidget;

struct SheetSetModuleState {
    // The palette; null while the module is not initialised (and, until the palette exists, always).
    QWidget* palette = nullptr;
    bool paletteVisible = false;
    bool initialised = false;
};

SheetSetModuleState& sheetSetModule();
