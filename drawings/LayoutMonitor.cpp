#include "drawings/LayoutMonitor.h"

#include "drawings/SheetSetStamp.h"
#include "host/CommandLine.h"
#include "host/PathUtil.h"

bool& hiddenByCleanScreen() {
    static bool flag = false;
    return flag;
}

CLayoutMonitor::CLayoutMonitor(CLayoutMonitorClient* sheetList) : sheetList_(sheetList) {
    vrDocManagerPtr()->addReactor(this);
    tkedEditor()->addReactor(this);
}

CLayoutMonitor::~CLayoutMonitor() {
    vrDocManagerPtr()->removeReactor(this);
    tkedEditor()->removeReactor(this);
}

void CLayoutMonitor::sysVarChanged(const TkString& name, bool ok) {
    if (!ok) return;
    if (vrutSameTextNoCase(name, L"SSMSHEETSTATUS") || vrutSameTextNoCase(name, L"SSMPOLLTIME")) {
        sheetList_->RestartStatusPolling();
    } else if (vrutSameTextNoCase(name, L"BLOCKEDITOR")) {
        sheetList_->EnableSheetList(vredGetShortVar(L"BLOCKEDITOR") == 0);
    } else if (vrutSameTextNoCase(name, L"CLEANSCREENSTATE")) {
        if (vredGetShortVar(L"CLEANSCREENSTATE") != 1) {
            if (hiddenByCleanScreen()) {
                sheetList_->ShowPalette(true);
                hiddenByCleanScreen() = false;
            }
        } else if (vredGetShortVar(L"SSMSTATE") == 1) {
            // A palette the user had hidden already is not ours to bring back later.
            sheetList_->ShowPalette(false);
            hiddenByCleanScreen() = true;
        }
    }
}

TkString CLayoutMonitor::sheetSetOfStampedDrawing(const VrApDocument* doc) const {
    if (!doc || !doc->database()) return {};
    StampedSheetSet stamped = findStampedSheetSet(doc->database(), doc->fileName());
    if (stamped.missing) return {};
    const TkString& ssPath = stamped.path;
    if (ssPath.empty() || !vrutHasExtension(ssPath, L".dst")) return {};
    return sheetList_->SheetSetListsDrawing(ssPath, doc->fileName()) ? ssPath : TkString();
}

void CLayoutMonitor::documentCreated(VrApDocument* doc) {
    if (vredGetShortVar(L"SSLOCATE") == 1 && vredGetShortVar(L"SSMAUTOOPEN") == 1) {
        TkString ssPath = sheetSetOfStampedDrawing(doc);
        if (!ssPath.empty()) vornOpenFile(ssPath, 0);
    }
    sheetList_->EnableButtons();
}

void CLayoutMonitor::documentDestroyed(VrApDocument*) { sheetList_->EnableButtons(); }
