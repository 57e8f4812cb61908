#include "model/SheetSetListsDrawing.h"

#include "host/PathUtil.h"
#include "model/SheetSetMgrImpl.h"
#include "model/SubsetImpl.h"

bool sheetSetListsDrawing(const TkString& sheetSetPath, const TkString& drawingPath) {
    if (drawingPath.empty()) return false;  // else every sheet without a drawing would match
    CSheetSetMgrImpl mgr;
    if (!mgr.openSheetSet(sheetSetPath.c_str())) return false;
    std::vector<CSheet*> sheets;
    mgr.getSheetSet(mgr.getCurrent())->getSheets(sheets, true);
    for (const CSheet* s : sheets)
        if (sameTextNoCase(s->getFileName(), drawingPath)) return true;
    return false;
}
