#include "model/RenameSheet.h"

#include <filesystem>

#include "drawings/DwgReader.h"
#include "drawings/FileLocks.h"
#include "drawings/SheetSetStamp.h"
#include "host/PathUtil.h"
#include "model/TitleBlocks.h"
#include "toolkit/common/TkAtomicFile.h"
#include "toolkit/common/TkUtf8.h"

bool renameSheetDrawing(CSheetSet& set, CSheet& sheet, const TkString& newLayout, const TkString& newPath, TkString& error,
                        bool replaceExisting) {
    const TkString sheetSetPath = set.getFileName();
    const TkString oldPath = sheet.getFileName(), oldLayout = sheet.getLayoutName();
    const TkString layout = newLayout.empty() ? oldLayout : newLayout, path = newPath.empty() ? oldPath : newPath;
    if (layout == oldLayout && path == oldPath) return true;
    if (isDrawingLocked(oldPath)) {
        error = oldPath + L": " + heldBySomeoneElseText();
        return false;
    }
    if (path != oldPath && vrutPathExists(path)) {
        if (!replaceExisting) {
            error = path + L": a file of that name exists already";
            return false;
        }
        if (isDrawingLocked(path)) {
            error = path + L": " + heldBySomeoneElseText() + L", not replaced";
            return false;
        }
    }
    DwgReader reader;
    reader.load(oldPath, false);
    if (!reader.database) {
        error = oldPath + L": cannot be read";
        return false;
    }
    if (layout != oldLayout)
        if (TkDbResult r = reader.database->renameLayout(tkToUtf8(oldLayout), tkToUtf8(layout)); !r) {
            error = oldPath + L": " + tkFromUtf8(r.describe());
            return false;
        }
    // A drawing stamped for this set names its sheet's layout and its own path: both follow.
    if (!readStampSheetSetPath(reader.database.get()).empty())
        reader.writeStamp(sheetSetPath, path, layout, sheet.getLayoutHandle());
    // Its title block too, while it is written anyway: the follow-up then leaves it alone.
    updateSheetTitleBlock(*reader.database, path, &set, &sheet, layout);
    // The save writes beside the file and renames over it: a drawing being replaced stays whole
    // until the new one is complete.
    if (!reader.saveAs(path, reader.database->version())) {
        error = path + L": cannot be written";
        return false;
    }
    if (path != oldPath)
        if (const std::string e = tkRemoveFile(tkToUtf8(oldPath)); !e.empty()) {
            error = tkFromUtf8(e);
            return false;
        }
    sheet.setLayout(layout.c_str(), sheet.getLayoutHandle().c_str(), path.c_str());
    if (path != oldPath) set.replaceDrawingFile(oldPath.c_str(), path.c_str());  // the drawing's other sheets go with it
    return true;
}
