#include "model/Restamp.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "drawings/DwgReader.h"
#include "drawings/FileLocks.h"
#include "drawings/SheetSetStamp.h"
#include "host/PathUtil.h"
#include "model/SheetImpl.h"
#include "toolkit/common/TkUtf8.h"

namespace {
bool samePlace(const TkString& a, const TkString& b) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path pa(tkToUtf8(a)), pb(tkToUtf8(b));
    return fs::equivalent(pa, pb, ec) || pa.lexically_normal() == pb.lexically_normal();
}
}  // namespace

RestampReport restampDrawings(CSheetSet* set, const std::function<void(int, int)>& progress) {
    RestampReport report;
    const TkString setPath = set->getFileName();
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    const std::vector<TkString> files = sheetDrawingFiles(sheets);
    for (size_t i = 0; i < files.size(); ++i) {
        const TkString& file = files[i];
        if (progress) progress(static_cast<int>(i), static_cast<int>(files.size()));
        if (!vrutPathExists(file)) {
            report.problems.push_back(file + L": not found");
            continue;
        }
        DwgReader reader;
        reader.load(file, false);
        if (!reader.database) {
            report.problems.push_back(file + L": cannot be read");
            continue;
        }
        TkDbDatabase* db = reader.database.get();
        StampedSheetSet stamp = findStampedSheetSet(db, file);
        if (stamp.recorded.empty()) {
            report.problems.push_back(file + L": not stamped (resave the sheets to stamp it)");
            continue;
        }
        if (samePlace(stamp.recorded, setPath) && samePlace(readStampDrawingPath(db), file)) {
            ++report.current;
            continue;
        }
        if (stamp.missing || !samePlace(stamp.path, setPath)) {
            report.problems.push_back(file + L": stamped for another sheet set, " + stamp.recorded);
            continue;
        }
        if (isDrawingLocked(file)) {
            report.problems.push_back(file + L": " + heldBySomeoneElseText());
            continue;
        }
        updateStampPaths(db, true, file, setPath);
        if (!reader.saveAs(TkString(), db->version())) {
            report.problems.push_back(file + L": cannot be saved");
            continue;
        }
        ++report.changed;
    }
    if (progress) progress(static_cast<int>(files.size()), static_cast<int>(files.size()));
    return report;
}

int stampSheetDrawings(const std::vector<CSheet*>& sheets, const TkString& sheetSetPath, std::vector<TkString>& problems,
                       const std::function<void(int, int)>& progress) {
    std::unordered_set<TkString> done;
    int stamped = 0, seen = 0;
    for (const CSheet* s : sheets) {
        if (progress) progress(seen++, static_cast<int>(sheets.size()));
        const TkString file = s->getFileName();
        if (file.empty() || !done.insert(file).second) continue;  // the drawing's first sheet names it
        if (isDrawingLocked(file)) {
            problems.push_back(file + L": " + heldBySomeoneElseText() + L", not stamped");
            continue;
        }
        DwgReader reader;
        reader.load(file, false);
        if (!reader.database) {
            problems.push_back(file + L": cannot be read, not stamped");
            continue;
        }
        if (!reader.writeStamp(sheetSetPath, file, s->getLayoutName(), s->getLayoutHandle()) ||
            !reader.saveAs(TkString(), reader.database->version())) {
            problems.push_back(file + L": cannot be stamped and saved");
            continue;
        }
        ++stamped;
    }
    return stamped;
}
