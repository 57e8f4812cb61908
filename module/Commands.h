#pragma once
// The module's commands, in registration order, and their registration with the host.
#include <vector>

#include "host/VrTypes.h"

struct SheetSetCommand {
    TkString group, globalName, localName;
    VrCommandFunction function;
    uint32_t flags;
    TkString resourceLibrary;
    int localNameId;  // number of the local name in "vornkwlres"; -1 once looked up
};

std::vector<SheetSetCommand>& sheetSetCommands();
void registerSheetSetCommands();
void removeSheetSetCommands();

void cmdSheetSet();
void cmdSheetSetHide();
void cmdNewSheetSet();
void cmdOpenSheetSet();
void cmdOpenSheetSetByName();  // "-OPENSHEETSET"
