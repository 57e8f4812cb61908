#include "actions/SheetList.h"

#include "drawings/DwgReader.h"
#include "drawings/FileLocks.h"
#include "drawings/SheetSetStamp.h"
#include "host/PathUtil.h"
#include "model/NameRules.h"
#include "toolkit/common/TkUtf8.h"

ActionResult insertSheetList(EditSession& session, const SheetListRequest& request) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    CSheet* sheet = resolveSheet(set, request.sheet, error);
    if (!sheet) return session.commit(ActionResult::refused(error));
    for (const TkString& c : request.columns)
        if (!checkEnteredText(L"a column", c, kMaxPropertyNameLength, error)) return session.commit(ActionResult::refused(error));
    if (const TkString unknown = unknownSheetListColumn(&set, request.columns); !unknown.empty())
        return session.commit(ActionResult::refused(L"no sheet has the property " + unknown + L" to show as a column; the columns are "
                                                    L"number, title, description, revision, revision date, purpose, category or a "
                                                    L"custom property of the sheets"));
    const TkString file = sheet->getFileName();
    if (file.empty()) return session.commit(ActionResult::refused(sheet->getNumber() + L": the sheet has no drawing"));
    // A drawing open for editing here gets the table in the open document, saved with it.
    if (TkDbDatabase* open = session.openDrawing ? session.openDrawing(file) : nullptr) {
        if (const TkString stamped = readStampSheetSetPath(open); !vrutSamePath(stamped, set.getFileName()))
            return session.commit(ActionResult::refused(file + L": belongs to " + (stamped.empty() ? L"no sheet set" : L"another sheet set (" + stamped + L")") +
                                                        L"; restamp it for this set first"));
        if (!insertSheetListTable(*open, tkToUtf8(sheet->getLayoutName()), request.columns, request.at, sheetListing(&set), error))
            return session.commit(ActionResult::refused(file + L": " + error));
        ActionResult r;
        r.status = ActionResult::Done;
        r.changed.push_back(L"sheet list table in " + sheet->getLayoutName() + L" of " + file + L" (open here: saved with it)");
        return session.commit(r);
    }
    if (!vrutPathExists(file)) return session.commit(ActionResult::refused(file + L": not found"));
    if (isDrawingLocked(file)) return session.commit(ActionResult::refused(file + L": " + heldBySomeoneElseText()));
    DwgReader reader;
    reader.load(file, false);
    if (!reader.database) return session.commit(ActionResult::refused(file + L": cannot be read"));
    // Only into this set's drawings: another set's follow-ups would never keep the table current.
    if (const TkString stamped = readStampSheetSetPath(reader.database.get()); !vrutSamePath(stamped, set.getFileName()))
        return session.commit(ActionResult::refused(file + L": belongs to " + (stamped.empty() ? L"no sheet set" : L"another sheet set (" + stamped + L")") +
                                                    L"; restamp it for this set first"));
    if (!insertSheetListTable(*reader.database, tkToUtf8(sheet->getLayoutName()), request.columns, request.at, sheetListing(&set), error))
        return session.commit(ActionResult::refused(file + L": " + error));
    if (!reader.saveAs(file, reader.database->version())) return session.commit(ActionResult::refused(file + L": cannot be written"));
    ActionResult r;
    r.status = ActionResult::Done;
    r.changed.push_back(L"sheet list table in " + sheet->getLayoutName() + L" of " + file);
    return session.commit(r);
}
