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
    // Editable means its edit lock can be taken now; it is let go at once.
    auto* set = dynamic_cast<CSheetSetImpl*>(mgr->getSheetSet(mgr->getCurrent()));
    if (!set) return false;
    CSheetSetLock lock(set);
    lock.lock();
    return lock.isHeld();
}

NqValue keyImportLayoutsDlgFun(const std::vector<NqValue>&) {
    // Handled by the palette's import dialog; nothing to do while there is no palette.
    return {};
}
