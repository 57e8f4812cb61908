#include "module/Commands.h"

#include "host/CommandStack.h"
#include "host/Resources.h"
#include "model/SheetSetMessages.h"
#include "module/ModuleState.h"
#include "palette/SheetSetBar.h"

std::vector<SheetSetCommand>& sheetSetCommands() {
    static std::vector<SheetSetCommand> table = {
        {L"VORN", L"SHEETSET", L"SHEETSET", cmdSheetSet, 0x02000010, kSheetSetRes, 64320},
        {L"VORN", L"SHEETSETHIDE", L"SHEETSETHIDE", cmdSheetSetHide, 0x00000011, kSheetSetRes, 64321},
        {L"VORN", L"NEWSHEETSET", L"NEWSHEETSET", cmdNewSheetSet, 0x02000010, kSheetSetRes, 64322},
        {L"VORN", L"OPENSHEETSET", L"OPENSHEETSET", cmdOpenSheetSet, 0x02000010, kSheetSetRes, 64323},
        {L"VORN", L"-OPENSHEETSET", L"-OPENSHEETSET", cmdOpenSheetSetByName, 0x02000000, kSheetSetRes, 64324},
    };
    return table;
}

void registerSheetSetCommands() {
    for (SheetSetCommand& c : sheetSetCommands()) {
        // The local name is looked up once, at the first registration.
        if (c.localNameId != -1) {
            TkString local;
            if (vrLoadString(L"vornkwlres", c.localNameId, local)) c.localName = local;
            c.localNameId = -1;
        }
        tkedRegCmds()->addCommand(c.group, c.globalName, c.localName, c.flags, c.function, c.resourceLibrary);
    }
}

void removeSheetSetCommands() {
    for (const SheetSetCommand& c : sheetSetCommands()) tkedRegCmds()->removeCommand(c.group, c.globalName);
}

void cmdSheetSet() {
    if (CSheetSetBar* bar = sheetSetModule().palette) bar->Show(true, true, true);
}

void cmdSheetSetHide() {
    CSheetSetBar* bar = sheetSetModule().palette;
    if (bar && bar->IsVisible()) bar->Show(false, true, false);
}

void cmdNewSheetSet() {
    if (CSheetSetBar* bar = sheetSetModule().palette) bar->newSheetSet();
}

void cmdOpenSheetSet() {
    if (CSheetSetBar* bar = sheetSetModule().palette) bar->openSheetSet();
}
