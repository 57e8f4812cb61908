// "-OPENSHEETSET": open a sheet set by a name typed at the command line.
#include <cwctype>

#include "host/CommandLine.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/PathUtil.h"
#include "module/Commands.h"
#include "module/ModuleState.h"
#include "model/SheetSetMgrImpl.h"
#include "palette/SheetSetBar.h"
#include "model/SheetSetMessages.h"

namespace {
TkString trimmed(const TkString& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::iswspace(s[b])) ++b;
    while (e > b && std::iswspace(s[e - 1])) --e;
    return s.substr(b, e - b);
}
}  // namespace

void cmdOpenSheetSetByName() {
    for (;;) {
        TkString name;
        TkString prompt = ssMessage(25001, L"\nEnter name of sheet set to open: ");
        if (vredGetStringB(1, prompt.c_str(), name, 260) != RTNORM) return;  // cancelled: end quietly
        name = trimmed(name);
        if (!name.empty() && !vrutHasExtension(name, L".dst")) name += L".dst";
        if (!name.empty() && vornOpenFile(name, 0)) return;
        VrUiMessageBox(L"", ssMessage(25002, L"Cannot find the specified file.\nPlease verify that the file exists."),
                       MB_OK | MB_ICONERROR);
        vrutPrintf(L"%ls", ssMessage(25003, L"\nSheet Set file is not valid.").c_str());
        // Under the message, why: "... is damaged at line 12; the previous good copy is ....bak".
        // A missing file needs no more words than the message gave.
        if (CSheetSetBar* bar = sheetSetModule().palette; bar && !name.empty() && vrutPathExists(name))
            if (auto* mgr = dynamic_cast<CSheetSetMgrImpl*>(bar->getSheetSetMgr()); mgr && !mgr->lastError().empty())
                vrutPrintf(L"\n%ls", mgr->lastError().c_str());
    }
}
