#include "drawings/SheetSetStamp.h"
#include "toolkit/db/TkDbCodes.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "drawings/FileLocks.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"

namespace {

constexpr std::string_view kStamp = "VrSheetSetData";

uint64_t stampDictionary(const TkDbDatabase* db) {
    if (!db) return 0;
    auto root = db->dictionary(db->namedObjectsDictionary());
    if (!root) return 0;
    uint64_t h = root->get(kStamp);
    return db->dictionary(h) ? h : 0;
}

TkString readEntry(const TkDbDatabase* db, std::string_view entry) {
    uint64_t dict = stampDictionary(db);
    if (!dict) return {};
    auto record = db->xrecord(db->dictionary(dict)->get(entry));
    if (!record) return {};
    for (const TkDbValue& v : record->values())
        if (v.code == tkdxf::kText) return tkFromUtf8(v.text);
    return {};
}

bool isFile(const TkString& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(tkToUtf8(path)), ec);
}

// Points the entry's first text value at `path`, unless that file does not exist or the text
// names it already (letter case aside).
void updateEntry(TkDbDatabase* db, uint64_t dict, std::string_view entry, const TkString& path) {
    auto record = db->xrecord(db->dictionary(dict)->get(entry));
    if (!record || !isFile(path)) return;
    std::vector<TkDbValue> values = record->values();
    for (TkDbValue& v : values) {
        if (v.code != 1) continue;
        if (tkDbNameEqualNoCase(v.text, tkToUtf8(path))) return;
        v.text = tkToUtf8(path);
        db->setXrecord(dict, entry, values);
        return;
    }
}

namespace fs = std::filesystem;

// The sheet set as seen from the drawing's folder ("../Riverside Library.dst"); empty when the two
// share no root.
std::string relativeSetPath(const TkString& drawingPath, const TkString& sheetSetPath) {
    fs::path dwg = fs::path(tkToUtf8(drawingPath)).lexically_normal(), set = fs::path(tkToUtf8(sheetSetPath)).lexically_normal();
    if (dwg.empty() || set.empty()) return {};
    return set.lexically_relative(dwg.parent_path()).generic_string();
}

bool sameFilePath(const TkString& a, const TkString& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    if (fs::equivalent(fs::path(tkToUtf8(a)), fs::path(tkToUtf8(b)), ec)) return true;
    return fs::path(tkToUtf8(a)).lexically_normal() == fs::path(tkToUtf8(b)).lexically_normal();
}

}  // namespace

TkString stampTimeText(int64_t ms) {
    std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm t{};
    gmtime_r(&secs, &t);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.4d/%.2d/%.2d %.2d:%.2d:%.2d.%.3d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec, static_cast<int>(ms % 1000));
    return tkFromUtf8(buf);
}

bool writeStamp(TkDbDatabase* db, const TkString& sheetSetPath, const TkString& drawingPath, const TkString& layoutName,
                const TkString& layoutHandle) {
    if (!db || !db->dictionary(db->namedObjectsDictionary())) return false;
    uint64_t dict = db->getOrAddDictionary(db->namedObjectsDictionary(), kStamp);
    if (!dict) return false;
    auto now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch());
    const std::pair<std::string_view, TkDbValue> entries[] = {
        {"LayoutHandle", {tkdxf::kText, tkToUtf8(layoutHandle)}},
        {"LayoutName", {tkdxf::kText, tkToUtf8(layoutName)}},
        {"SheetDwgName", {tkdxf::kText, tkToUtf8(drawingPath)}},
        {"ShSetFileName", {tkdxf::kText, tkToUtf8(sheetSetPath)}},
        {"ShSetVersion", {tkdxf::kInt32, "2"}},
        {"UpdateCount", {tkdxf::kInt32, "1"}},
        {"UpdateTime", {tkdxf::kText, tkToUtf8(stampTimeText(now.count()))}},
        // Beyond the usual seven: where the set is from the drawing, so that a moved or copied
        // project folder still finds it.
        {"ShSetRelativeName", {tkdxf::kText, relativeSetPath(drawingPath, sheetSetPath)}},
    };
    for (const auto& [name, value] : entries)
        if (!db->setXrecord(dict, name, {value})) return false;
    return true;
}

TkString readStampSheetSetPath(const TkDbDatabase* db) { return readEntry(db, "ShSetFileName"); }
TkString readStampDrawingPath(const TkDbDatabase* db) { return readEntry(db, "SheetDwgName"); }

bool updateStampPaths(TkDbDatabase* db, bool writeEnabled, const TkString& drawingPath, const TkString& sheetSetPath) {
    if (!writeEnabled || !isFile(drawingPath) || !isFile(sheetSetPath)) return false;
    uint64_t dict = stampDictionary(db);
    if (!dict) return false;
    updateEntry(db, dict, "ShSetFileName", sheetSetPath);
    updateEntry(db, dict, "SheetDwgName", drawingPath);
    std::string relative = relativeSetPath(drawingPath, sheetSetPath);
    if (tkToUtf8(readEntry(db, "ShSetRelativeName")) != relative) db->setXrecord(dict, "ShSetRelativeName", {{tkdxf::kText, relative}});
    return true;
}

StampedSheetSet findStampedSheetSet(const TkDbDatabase* db, const TkString& drawingPath) {
    StampedSheetSet r;
    r.recorded = readStampSheetSetPath(db);
    if (r.recorded.empty()) return r;
    TkString recordedDwg = readStampDrawingPath(db);
    // Where the set is from the drawing: as recorded, or (stamps from before that entry) as the two
    // recorded paths place it.
    // A program that repointed the stamp but knew nothing of the relative entry leaves it naming
    // another file: then the recorded paths are the ones to trust.
    std::string relative = tkToUtf8(readEntry(db, "ShSetRelativeName"));
    if (fs::path(relative).filename() != fs::path(tkToUtf8(r.recorded)).filename()) relative.clear();
    if (relative.empty() && !recordedDwg.empty()) relative = relativeSetPath(recordedDwg, r.recorded);
    TkString beside;
    if (!relative.empty() && !drawingPath.empty())
        beside = tkFromUtf8((fs::path(tkToUtf8(drawingPath)).parent_path() / relative).lexically_normal().string());
    // A drawing that is not where its stamp says was moved or copied with its project: the set
    // that came with it is its set, even while the original still exists.
    bool drawingMoved = !recordedDwg.empty() && !drawingPath.empty() && !sameFilePath(recordedDwg, drawingPath);
    if (drawingMoved && isFile(beside)) {
        r.path = beside;
        r.relocated = !sameFilePath(beside, r.recorded);
    } else if (isFile(r.recorded)) {
        r.path = r.recorded;
    } else if (isFile(beside)) {
        r.path = beside;
        r.relocated = true;
    } else {
        r.path = r.recorded;
        r.missing = true;
    }
    return r;
}
