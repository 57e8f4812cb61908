#include "module/ModuleLifecycle.h"

#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "module/Commands.h"
#include "module/ModuleState.h"
#include "module/NamedFunctions.h"
#include "module/SysVarGetters.h"
#include "operations/Operations.h"
#include "palette/SheetSetBar.h"

int sheetSetInitialize() {
    SheetSetModuleState& m = sheetSetModule();
    if (m.initialised) return 0;
    CNqSystem& sys = CNqSystem::instance();
    registerSheetSetCommands();
    registerSheetListOperations();
    m.palette = new CSheetSetBar;
    m.palette->Create(vredGetVornFrame());
    sys.registerGetter(L"SSFOUND", getSsFound);
    sys.registerGetter(L"SSMSTATE", getSsmState);
    if (m.palette) sys.addPalette(m.palette, true);
    sys.setFunction(L"key_HasSheetSet", keyHasSheetSet);
    sys.setFunction(L"key_ImportLayoutsDlgFun", keyImportLayoutsDlgFun);
    sys.setFunction(L"key_PublishSheetSet", keyPublishSheetSet);
    m.initialised = true;
    return 0;
}

int sheetSetUnload() {
    SheetSetModuleState& m = sheetSetModule();
    CNqSystem& sys = CNqSystem::instance();
    for (const wchar_t* key : {L"key_HasSheetSet", L"key_ImportLayoutsDlgFun", L"key_PublishSheetSet"})
        if (sys.hasFunction(key)) sys.removeFunction(key);
    if (m.palette) sys.addPalette(m.palette, false);
    // The getters go before the palette they read, and whether or not a palette existed: the
    // library is about to be closed, and a getter left behind would point into it.
    sys.unregisterGetter(L"SSFOUND");
    sys.unregisterGetter(L"SSMSTATE");
    delete m.palette;
    m.palette = nullptr;
    removeSheetSetCommands();
    unregisterSheetListOperations();
    m.initialised = false;
    return 0;
}
