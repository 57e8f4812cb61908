#include "module/ModuleState.h"

SheetSetModuleState& sheetSetModule() {
    static SheetSetModuleState state;
    return state;
}
