#include "module/NamedFunctions.h"

#include "host/NqSystem.h"
#include "drawings/SheetSetLock.h"
#include "model/SheetSetMgrImpl.h"
#include "module/ModuleState.h"
#include "palette/SheetSetBar.h"

NqValue keyHasSheetSet(const std::vector<NqValue>&) {
    CSheetSetBar* bar = sheetSetModule().palette;
    if (!bar) return false;
    VrResBuf titled;
    if (CNqSystem::instance().getVar(L"DWGTITLED", titled) != RTNORM || titled.integer != 1) return false;
    CSheetSetMgr* mgr = bar->getSheetSetMgr();
    if (!mgr || mgr->getCount() == 0 || mgr->getCurrent() < 0) return false;
    // Editable means nobody else holds it and it can be written. Asked, never tried: a trial lock
    // would make a colleague's real attempt fail.
    CSheetSet* set = mgr->getSheetSet(mgr->getCurrent());
    if (!set) return false;
    int status = set->getLockStatus();
    return status == 0 || status == 1;
}

NqValue keyImportLayoutsDlgFun(const std::vector<NqValue>&) {
    // Handled by the palette's import dialog; nothing to do while there is no palette.
    return {};
}
