#include "actions/RenameSheet.h"

#include "host/PathUtil.h"
#include "model/NewSheet.h"
#include "model/RenameSheet.h"
#include "model/ScriptedEdits.h"

void renameSheetFiles(EditSession& session, CSheet& sheet, TkString layout, TkString path, bool replaceExisting, ActionResult& r) {
    TkString error;
    if (vrutSameTextNoCase(layout, sheet.getLayoutName())) layout.clear();
    if (vrutSamePath(path, sheet.getFileName())) path.clear();
    if (!layout.empty() && session.openDrawing && session.openDrawing(sheet.getFileName())) {
        // Open for editing here: the host renames it in the open drawing, saved with it; the file
        // under the open document is never touched.
        if (session.renameLayoutOpenHere && session.renameLayoutOpenHere(sheet.getFileName(), sheet.getLayoutName(), layout))
            sheet.setLayout(layout.c_str(), sheet.getLayoutHandle().c_str(), sheet.getFileName().c_str());
        else
            r.leftAlone.push_back({sheet.getFileName() + L": the layout could not be renamed in the open drawing", kDrawingNotRenamed, true});
        layout.clear();
    }
    if ((!layout.empty() || !path.empty()) && !renameSheetDrawing(*session.set(), sheet, layout, path, error, replaceExisting))
        r.leftAlone.push_back({error, kDrawingNotRenamed, true});
}

ActionResult renameSheet(EditSession& session, const RenameRequest& request) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    CSheet* sheet = resolveSheet(set, request.sheet, error);
    if (!sheet) return session.commit(ActionResult::refused(error));
    PropertyValues values;
    if (request.number) values.emplace_back(L"Number", *request.number);
    if (request.title) values.emplace_back(L"Title", *request.title);
    if (!values.empty() && !setComponentProperties(set, sheet, values, error)) return session.commit(ActionResult::refused(error));
    ActionResult r;
    r.status = ActionResult::Done;
    const TkString proposed = proposedSheetFileName(sheet->getNumber(), sheet->getTitle());
    TkString layout = request.layoutAsSheet ? proposed : request.layoutName;
    TkString path = request.drawingPath;
    if (request.fileAsSheet) {
        TkString folder, file;
        vrutSplitPath(sheet->getFileName(), folder, file);
        path = folder + proposed + L".dwg";
    }
    renameSheetFiles(session, *sheet, layout, path, request.replaceExisting, r);
    return session.commit(r);
}
