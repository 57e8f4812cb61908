#include "actions/ImportLayouts.h"

#include "model/ItemLookup.h"
#include "model/NewSheet.h"

// Importing writes nothing into the drawings: they are the user's, perhaps open elsewhere or
// another office's. A resave of the sheets stamps them for the set.

ActionResult importLayouts(EditSession& session, const ImportRequest& request, std::vector<uint64_t>* madeIds) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    CSubset* target = request.target.empty() ? &set : resolveSubset(set, request.target, error);
    if (!target) return session.commit(ActionResult::refused(error));
    int position = -1;
    if (!request.after.empty()) {
        CComponent* after = resolveItem(set, request.after, error);
        if (!after) return session.commit(ActionResult::refused(error));
        position = sheetInsertPoint(&set, after).position;
    }
    ActionResult r;
    for (const LayoutRow& row : request.rows)
        if (row.status == LayoutRow::InUse) r.leftAlone.push_back({row.drawing + L" " + row.layout, L"already a sheet", false});
    const std::vector<CSheet*> made = importLayoutRows(set, target, position, request.rows, request.prefixWithFileName);
    if (made.empty()) {
        r.status = ActionResult::Refused;
        r.message = L"nothing to import";
        return session.commit(r);
    }
    r.status = ActionResult::Done;
    for (CSheet* s : made) {
        r.changed.push_back(L"imported " + s->getLayoutName() + L" of " + s->getFileName() + L" as " + s->getTitle());
        if (madeIds) madeIds->push_back(componentId(s));
    }
    return session.commit(r);
}

ActionResult relinkSheet(EditSession& session, const RelinkRequest& request) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    CSheet* sheet = resolveSheet(set, request.sheet, error);
    if (!sheet) return session.commit(ActionResult::refused(error));
    if (request.row.status == LayoutRow::InUse) return session.commit(ActionResult::refused(L"the layout is already a sheet"));
    const LayoutRow& row = request.row;
    sheet->setLayout(row.layout.c_str(), row.handle.c_str(), row.drawing.c_str());
    ActionResult r;
    r.status = ActionResult::Done;
    r.changed.push_back(request.sheet.describe() + L" now shows " + row.layout + L" of " + row.drawing);
    return session.commit(r);
}
