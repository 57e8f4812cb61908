#include "module/SysVarGetters.h"

#include "drawings/SheetSetStamp.h"
#include "host/NqSystem.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"
#include "module/ModuleState.h"
#include "palette/SheetSetBar.h"

void getSsFound(VrResBuf& result, TkDbDatabase* db) {
    result = VrResBuf::ofString(L"");
    VrResBuf locate;
    if (!db || CNqSystem::instance().getVar(L"SSLOCATE", locate) != RTNORM || locate.integer != 1) return;
    // In a project folder that was moved or copied, the set that came along with the drawing.
    result.text = findStampedSheetSet(db, tkFromUtf8(db->fileName())).path;
}

void getSsmState(VrResBuf& result, TkDbDatabase*) {
    const SheetSetModuleState& m = sheetSetModule();
    result = VrResBuf::ofShort(m.palette && m.palette->IsVisible() ? 1 : 0);
}
