#include "actions/NewSheet.h"

#include <filesystem>

#include "drawings/FileLocks.h"
#include "host/PathUtil.h"
#include "model/ItemLookup.h"
#include "model/NameRules.h"
#include "model/SheetImpl.h"
#include "toolkit/common/TkUtf8.h"

namespace {

TkString templateProblemText(TemplateProblem problem, const SheetTemplate& t) {
    switch (problem) {
    case TemplateProblem::FileMissing: return L"the sheet creation template " + t.file + L" was not found";
    case TemplateProblem::LayoutMissing: return L"the sheet creation template has no layout " + t.layout;
    case TemplateProblem::NotInitialized: return L"the template layout " + t.layout + L" is not initialized";
    case TemplateProblem::None: break;
    }
    return {};
}

// One sheet: everything checked, then the drawing written, then the sheet added. Null with `error`
// when nothing was made.
CSheet* makeSheet(EditSession& session, const NewSheetRequest& request, TkString& drawingPath, TkString& error) {
    CSheetSetImpl& set = *session.set();
    CSubset* target = resolveSubset(set, request.subset, error);
    if (!target) return nullptr;
    int position = -1;
    if (!request.after.empty()) {
        CSheet* after = resolveSheet(set, request.after, error);
        if (!after) return nullptr;
        if (after->getParent() != target) return (error = L"the sheet to follow is not in that subset"), nullptr;
        position = sheetInsertPoint(&set, after).position;
    }
    TkString number = request.number, title = request.title;
    if (!(error = checkNewSheetNames(number, title)).empty()) return nullptr;
    if (const CSheet* holder = sheetNumbered(&set, number)) return (error = numberInUseText(number, holder)), nullptr;
    const TkString display = sheetDisplayName(number, title);
    std::vector<CSheet*> siblings;
    target->getSheets(siblings, false);
    for (const CSheet* s : siblings)
        if (vrutSameTextNoCase(sheetDisplayName(s), display)) return (error = L"the subset has a sheet " + display + L" already"), nullptr;
    const TkString fileName = trimmedText(request.fileName).empty() ? proposedSheetFileName(number, title) : trimmedText(request.fileName);
    if (hasUnsupportedCharacters(fileName) || fileName.size() > kMaxSheetSetNameLength)
        return (error = L"the file name \"" + fileName + L"\" is not a name for a drawing"), nullptr;
    const TkString location = resolveNewSheetLocation(target);
    if (location.empty())
        return (error = L"no new sheet location is set for " + (target == &set ? TkString(L"the sheet set") : target->getName())), nullptr;
    drawingPath = vrutCombinePath(location, fileName + L".dwg");
    const bool exists = vrutPathExists(drawingPath);
    if (exists && !request.replaceDrawing) return (error = L"Drawing " + drawingPath + L" already exists"), nullptr;
    // A drawing someone has open is never replaced under them.
    if (exists && isDrawingLocked(drawingPath))
        return (error = drawingPath + L" exists and is open for editing in another session or by another user and cannot be replaced"), nullptr;
    const SheetTemplate tmpl = request.chosenTemplate ? *request.chosenTemplate : sheetTemplateOf(target);
    if (!(error = templateProblemText(checkSheetTemplate(tmpl.file, tmpl.layout), tmpl)).empty()) return nullptr;
    if (!applyNewSheetValues(set, nullptr, request.values, error)) return nullptr;

    std::error_code ec;
    std::filesystem::create_directories(tkToUtf8(location), ec);
    if (!writeSheetDrawing({tmpl.file, tmpl.layout, tmpl.handle, drawingPath, fileName, set.getFileName(), request.version}, error)) return nullptr;
    if (request.chosenTemplate) target->setTemplate(tmpl.layout.c_str(), tmpl.handle.c_str(), tmpl.file.c_str(), true);
    CSheet* sheet = addSheetForDrawing(set, target, position, number, title, fileName, tmpl.handle, drawingPath);
    applyNewSheetValues(set, sheet, request.values, error);
    return sheet;
}

}  // namespace

ActionResult newSheets(EditSession& session, const std::vector<NewSheetRequest>& requests, std::vector<NewSheetMade>* made) {
    ActionResult r;
    r.status = ActionResult::Done;
    for (const NewSheetRequest& request : requests) {
        TkString drawing, error;
        CSheet* sheet = makeSheet(session, request, drawing, error);
        if (!sheet) {
            if (r.changed.empty()) return session.commit(ActionResult::refused(error));
            r.leftAlone.push_back({sheetDisplayName(request.number, request.title), error, true});
            break;
        }
        if (made) made->push_back({componentId(sheet), drawing});
        r.changed.push_back(L"new sheet " + sheetDisplayName(sheet) + L": " + drawing);
    }
    if (r.changed.empty()) return session.commit(ActionResult::nothingToDo(L"no sheet to make"));
    return session.commit(r);
}
