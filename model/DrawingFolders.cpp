#include "model/DrawingFolders.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "drawings/DwgReader.h"
#include "drawings/SheetSetStamp.h"
#include "host/PathUtil.h"
#include "model/SheetImpl.h"
#include "toolkit/common/TkUtf8.h"

namespace {

namespace fs = std::filesystem;

bool isDrawingFile(const fs::path& p) {
    TkString ext = tkFromUtf8(p.extension().string());
    return vrutSameTextNoCase(ext, L".dwg") || vrutSameTextNoCase(ext, L".dxf");
}

bool byName(const TkString& a, const TkString& b) { return vrutCompareString(a, b, true) == 1 || (vrutCompareString(a, b, true) == 2 && a < b); }

// How deep a scan goes below the folder given: each level becomes a subset.
constexpr int kMaxScanDepth = 32;

// Whether `p` names a place inside `root` once links are followed.
bool resolvesInside(const fs::path& p, const fs::path& root) {
    std::error_code ec;
    const fs::path real = fs::canonical(p, ec);
    if (ec) return false;
    const fs::path rel = real.lexically_relative(root);
    return !rel.empty() && *rel.begin() != "..";
}

// The folder's structure, its drawings not yet read. Links to folders are never followed (no
// circle, nothing outside), and a link to a drawing only when the drawing is inside `root`.
ScannedFolder listFolder(const fs::path& folder, const fs::path& root, int depth) {
    ScannedFolder f;
    f.path = tkFromUtf8(folder.string());
    f.name = tkFromUtf8(folder.filename().string());
    std::error_code ec;
    std::vector<fs::path> subfolders, files;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e2;
        const bool link = it->is_symlink(e2);
        if (it->is_directory(e2)) {
            if (!link && depth < kMaxScanDepth) subfolders.push_back(it->path());
        } else if (it->is_regular_file(e2) && isDrawingFile(it->path()) && (!link || resolvesInside(it->path(), root))) {
            files.push_back(it->path());
        }
    }
    auto sorted = [](std::vector<fs::path>& v) {
        std::sort(v.begin(), v.end(), [](const fs::path& a, const fs::path& b) {
            return byName(tkFromUtf8(a.filename().string()), tkFromUtf8(b.filename().string()));
        });
    };
    sorted(subfolders);
    sorted(files);
    for (const fs::path& s : subfolders) f.folders.push_back(listFolder(s, root, depth + 1));
    for (const fs::path& p : files) f.drawings.push_back(ScannedDrawing{tkFromUtf8(p.string()), tkFromUtf8(p.filename().string()), {}, true});
    return f;
}

void collect(ScannedFolder& f, std::vector<ScannedDrawing*>& all) {
    for (ScannedFolder& s : f.folders) collect(s, all);
    for (ScannedDrawing& d : f.drawings) all.push_back(&d);
}

// Why a drawing is left out, or empty when it is listed with its layouts.
struct ReadOutcome {
    enum Kind { Listed, Stamped, NoLayouts, Unreadable, NotRead } kind = NotRead;
    TkString reason;
};

ReadOutcome readDrawing(ScannedDrawing& d) {
    DwgReader reader;  // only its listing: the read itself is done here, thread by thread
    reader.database = std::make_shared<TkDbDatabase>();
    TkDbResult r = reader.database->readDxfFile(tkToUtf8(d.path));
    if (!r) return {ReadOutcome::Unreadable, tkFromUtf8(r.describe())};
    if (!readStampSheetSetPath(reader.database.get()).empty()) return {ReadOutcome::Stamped, {}};
    std::vector<TkString> names;
    std::vector<uint32_t> handles;
    reader.listPaperLayouts(true, names, handles);
    for (size_t i = 0; i < names.size(); ++i) d.layouts.push_back(ScannedLayout{names[i], handles[i], true});
    return {d.layouts.empty() ? ReadOutcome::NoLayouts : ReadOutcome::Listed, {}};
}

// Drops drawings without layouts and folders with nothing below them.
void prune(ScannedFolder& f) {
    for (ScannedFolder& s : f.folders) prune(s);
    std::erase_if(f.folders, [](const ScannedFolder& s) { return s.empty(); });
    std::erase_if(f.drawings, [](const ScannedDrawing& d) { return d.layouts.empty(); });
}

}  // namespace

ScannedFolder scanDrawingFolder(const TkString& folder, FolderScanReport& report, const FolderScanControl& control) {
    std::error_code ec;
    const fs::path start(tkToUtf8(folder));
    const fs::path root = fs::canonical(start, ec);
    ScannedFolder top = listFolder(start, ec ? start : root, 0);
    std::vector<ScannedDrawing*> all;
    collect(top, all);
    std::vector<ReadOutcome> outcomes(all.size());
    std::atomic<size_t> next{0}, done{0};
    unsigned threads = control.threads ? control.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(all.size(), 1)));
    auto cancelled = [&] { return control.cancel && control.cancel->load(); };
    auto readOne = [&] {
        size_t i = next++;
        if (i >= all.size() || cancelled()) return false;
        outcomes[i] = readDrawing(*all[i]);
        ++done;
        return true;
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back([&] {
            while (readOne()) {
            }
        });
    // The caller's thread reads too, and tells of the progress between its drawings.
    while (readOne())
        if (control.progress) control.progress(static_cast<int>(done.load()), static_cast<int>(all.size()));
    for (std::thread& t : pool) t.join();
    if (control.progress) control.progress(static_cast<int>(done.load()), static_cast<int>(all.size()));
    for (size_t i = 0; i < all.size(); ++i) {
        const ReadOutcome& o = outcomes[i];
        if (o.kind != ReadOutcome::NotRead) ++report.drawingsRead;
        if (o.kind == ReadOutcome::Stamped) report.stamped.push_back(all[i]->path + L": belongs to a sheet set already");
        else if (o.kind == ReadOutcome::NoLayouts) report.noLayouts.push_back(all[i]->path + L": no paper layout is set up");
        else if (o.kind == ReadOutcome::Unreadable) report.unreadable.push_back(all[i]->path + L": " + o.reason);
    }
    prune(top);
    return top;
}

namespace {

struct Builder {
    const ImportOptions& options;
    std::vector<CustomProperty> sheetProperties;
    int number = 1;

    void drawing(const ScannedDrawing& d, CSubset* target) {
        if (!d.checked) return;
        // A drawing whose layouts were all taken out of the tree is an item without children.
        if (d.layouts.empty()) {
            if (options.subsetsBasedOnFolders) target->addNewSubset(-1, d.name.c_str());
            return;
        }
        TkString base = d.name.size() > 4 ? d.name.substr(0, d.name.size() - 4) : d.name;
        for (const ScannedLayout& l : d.layouts) {
            if (!l.checked) continue;
            TkString title = options.prefixSheetWithFileName ? base + L" - " + l.name : l.name;
            CSheet* sheet = target->addNewSheet(-1, title.c_str());
            sheet->setNumber(std::to_wstring(number++).c_str());
            wchar_t handle[16];
            std::swprintf(handle, 16, L"%X", l.handle);
            sheet->setLayout(l.name.c_str(), handle, d.path.c_str());
            sheet->getCustomProperties()->applyDefinitions(sheetProperties);
        }
    }

    void folder(const ScannedFolder& f, CSubset* target, bool firstTop) {
        if (!f.checked) return;
        const bool ownSubset = options.subsetsBasedOnFolders && !firstTop;
        if (f.empty()) {
            if (ownSubset) target->addNewSubset(-1, f.name.c_str());
            return;
        }
        if (ownSubset) {
            CSubset* sub = target->addNewSubset(-1, f.name.c_str());
            sub->setNewSheetLocation(target->getNewSheetLocation().c_str(), false);
            target = sub;
        }
        for (const ScannedFolder& s : f.folders) folder(s, target, false);
        for (const ScannedDrawing& d : f.drawings) drawing(d, target);
    }
};

}  // namespace

int buildSheetsFromFolders(CSheetSetImpl& set, const std::vector<ScannedFolder>& tops, const ImportOptions& options) {
    set.removeAll();
    Builder b{options, {}, 1};
    set.getCustomProperties()->getSheetProperties(b.sheetProperties);
    for (size_t i = 0; i < tops.size(); ++i) {
        CSubset* target = &set;
        if (i == 0 && options.subsetsBasedOnFolders && !options.ignoreTopLevelFolder)
            target = set.addNewSubset(-1, tops[i].name.c_str());
        b.folder(tops[i], target, i == 0);
    }
    return b.number - 1;
}
