#include "module/NamedFunctions.h"

#include "host/NqSystem.h"
#include "module/ModuleState.h"

NqValue keyHasSheetSet(const std::vector<NqValue>&) {
    // The checks after the palette (a titled drawing, an open sheet set its lock can be taken on)
    // need the palette's sheet set manager; without a palette the answer is no.
    if (!sheetSetModule().palette) return false;
    VrResBuf titled;
    if (CNqSystem::instance().getVar(L"DWGTITLED", titled) != RTNORM || titled.integer != 1) return false;
    return false;
}

NqValue keyImportLayoutsDlgFun(const std::vector<NqValue>&) {
    // Handled by the palette's import dialog; nothing to do while there is no palette.
    return {};
}
