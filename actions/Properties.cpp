#include "actions/Properties.h"

#include "actions/RenameSheet.h"
#include "model/SheetImpl.h"

namespace {

TkString countOf(size_t n) { return std::to_wstring(n) + (n == 1 ? L" property" : L" properties"); }

}  // namespace

ActionResult setProperties(EditSession& session, const PropertiesRequest& request) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    CComponent* target = resolveItem(set, request.item, error);
    if (!target) return session.commit(ActionResult::refused(error));
    auto* sheet = dynamic_cast<CSheet*>(target);
    if (!sheet && (request.layout || !request.newLayoutName.empty() || !request.newDrawingPath.empty()))
        return session.commit(ActionResult::refused(L"only a sheet has a layout"));
    if (request.values.empty() && !request.layout && request.newLayoutName.empty() && request.newDrawingPath.empty())
        return session.commit(ActionResult::nothingToDo(L"no NAME=VALUE given"));
    if (!request.values.empty() && !setComponentProperties(set, target, request.values, error, false, request.toNestedSubsets))
        return session.commit(ActionResult::refused(error));
    ActionResult r;
    r.status = ActionResult::Done;
    const TkString what = target == &set ? TkString(L"the sheet set")
                          : !request.item.typed.empty() ? request.item.typed
                          : sheet ? sheetDisplayName(sheet)
                                  : static_cast<CSubset*>(target)->getName();
    if (!request.values.empty()) r.changed.push_back(countOf(request.values.size()) + L" set on " + what);
    if (sheet && request.layout) {
        sheet->setLayout(request.layout->name.c_str(), request.layout->handle.c_str(), request.layout->drawing.c_str());
        r.changed.push_back(what + L" points at " + request.layout->name + L" in " + request.layout->drawing);
    }
    if (sheet) renameSheetFiles(session, *sheet, request.newLayoutName, request.newDrawingPath, false, r);
    return session.commit(r);
}

ActionResult setSheetSetProperties(EditSession& session, const SheetSetPropertyValues& values, bool toNestedSubsets) {
    CSheetSetImpl& set = *session.set();
    const SheetSetPropertyValues before = readSheetSetProperties(&set);
    applySheetSetProperties(set, values, sheetSetSettingsChange(before, values), toNestedSubsets);
    ActionResult r;
    r.status = ActionResult::Done;
    r.changed.push_back(L"properties of the sheet set");
    return session.commit(r);
}
