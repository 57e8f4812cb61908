#include "module/SysVarGetters.h"

#include "drawings/SheetSetStamp.h"
#include "host/NqSystem.h"
#include "module/ModuleState.h"
#include "palette/SheetSetBar.h"

void getSsFound(VrResBuf& result, TkDbDatabase* db) {
    result = VrResBuf::ofString(L"");
    VrResBuf locate;
    if (!db || CNqSystem::instance().getVar(L"SSLOCATE", locate) != RTNORM || locate.integer != 1) return;
    result.text = readStampSheetSetPath(db);
}

void getSsmState(VrResBuf& result, TkDbDatabase*) {
    const SheetSetModuleState& m = sheetSetModule();
    result = VrResBuf::ofShort(m.palette && m.palette->IsVisible() ? 1 : 0);
}
