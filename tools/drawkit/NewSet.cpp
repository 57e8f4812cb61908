// drawkit new-set SET.dst --from FOLDER... [--subsets-by-folder] [--prefix-file-name]
//     [--ignore-top-folder] [--name NAME] [--description TEXT] [--json]
// drawkit new-set SET.dst --example EXAMPLE.dst [--name NAME] [--description TEXT] [--json]
// A new sheet set from folders of existing drawings (every set-up paper layout of every drawing that
// belongs to no sheet set yet becomes a sheet; the drawings themselves are left as they are until a
// resave stamps them), or from an example set (its settings, subsets and properties, none of its
// sheets). Exit 0 made, 2 a bad argument, an example that cannot be read or a set not written.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "model/DrawingFolders.h"
#include "model/NameRules.h"
#include "model/NewSheetSet.h"
#include "model/SheetSetMgrImpl.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/Json.h"

namespace {

namespace fs = std::filesystem;

int bad(const std::string& what) {
    std::fprintf(stderr, "drawkit new-set: %s\n", what.c_str());
    return 2;
}

std::string jsonList(const std::vector<TkString>& items) {
    std::string o = "[";
    for (size_t i = 0; i < items.size(); ++i) o += (i ? ", " : "") + json(tkToUtf8(items[i]));
    return o + "]";
}

}  // namespace

int drawkitNewSet(const std::vector<std::string>& args) {
    std::string setArg, name, description, example;
    std::vector<std::string> folders;
    ImportOptions options;
    bool asJson = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--from") {
            while (i + 1 < args.size() && !args[i + 1].starts_with("--")) folders.push_back(args[++i]);
        } else if (a == "--subsets-by-folder") {
            options.subsetsBasedOnFolders = true;
        } else if (a == "--prefix-file-name") {
            options.prefixSheetWithFileName = true;
        } else if (a == "--ignore-top-folder") {
            options.ignoreTopLevelFolder = true;
        } else if (a == "--example" && i + 1 < args.size()) {
            example = args[++i];
        } else if (a == "--name" && i + 1 < args.size()) {
            name = args[++i];
        } else if (a == "--description" && i + 1 < args.size()) {
            description = args[++i];
        } else if (a == "--json") {
            asJson = true;
        } else if (a.starts_with("--")) {
            return bad("unknown option " + a);
        } else if (setArg.empty()) {
            setArg = a;
        } else {
            return bad("unexpected " + a);
        }
    }
    if (setArg.empty() || folders.empty() == example.empty())
        return bad("usage: drawkit new-set SET.dst --from FOLDER... [--subsets-by-folder] [--prefix-file-name] "
                   "[--ignore-top-folder] [--name NAME] [--description TEXT] [--json]\n"
                   "       drawkit new-set SET.dst --example EXAMPLE.dst [--name NAME] [--description TEXT] [--json]");
    TkString textError;
    if (!checkEnteredText(L"the name", tkFromUtf8(name), kMaxSheetSetNameLength, textError) ||
        !checkEnteredText(L"the description", tkFromUtf8(description), kMaxValueLength, textError))
        return bad(tkToUtf8(textError));
    std::error_code ec;
    const fs::path setPath = fs::absolute(setArg).lexically_normal();
    if (setPath.extension() != ".dst") return bad(setArg + ": a sheet set data file ends in .dst");
    if (fs::exists(setPath, ec)) return bad(setArg + " exists already; choose another name");
    if (!fs::is_directory(setPath.parent_path(), ec)) return bad(setPath.parent_path().string() + ": no such folder");

    FolderScanReport report;
    std::vector<ScannedFolder> tops;
    const bool showProgress = !asJson && ::isatty(2);
    for (const std::string& f : folders) {
        if (!fs::is_directory(f, ec)) return bad(f + ": no such folder");
        FolderScanControl control;
        if (showProgress)
            control.progress = [&](int done, int total) { std::fprintf(stderr, "\rreading drawings in %s: %d/%d", f.c_str(), done, total); };
        tops.push_back(scanDrawingFolder(tkFromUtf8(fs::absolute(f).lexically_normal().string()), report, control));
        if (showProgress) std::fputc('\n', stderr);
    }

    CSheetSetMgrImpl mgr;
    auto* set = static_cast<CSheetSetImpl*>(mgr.createSheetSet());
    const TkString path = tkFromUtf8(setPath.string());
    if (!example.empty()) {
        // The example is read by a manager of its own: the new set only copies from it.
        CSheetSetMgrImpl examples;
        TkString examplePath = tkFromUtf8(fs::absolute(example).lexically_normal().string());
        if (!examples.openSheetSet(examplePath.c_str())) {
            mgr.releaseSheetSet(set);
            return bad(example + ": " + tkToUtf8(examples.lastError()));
        }
        set->copyFromSheetSet(examples.getSheetSet(0), false);
        if (name.empty()) name = setPath.stem().string();
        if (description.empty()) description = tkToUtf8(examples.getSheetSet(0)->getDesc());
    }
    setUpNewSheetSet(*set, {path, tkFromUtf8(name), tkFromUtf8(description), {}});
    const int sheets = example.empty() ? buildSheetsFromFolders(*set, tops, options) : 0;
    if (!set->save()) {
        std::string why = tkToUtf8(set->lastSaveError());
        mgr.releaseSheetSet(set);
        std::fprintf(stderr, "drawkit: %s: %s\n", setArg.c_str(), why.c_str());
        return 2;
    }
    std::vector<CSheet*> all;
    set->getSheets(all, true);
    std::vector<CSubset*> subsets;
    set->getSubsets(subsets, true);
    mgr.releaseSheetSet(set);

    if (asJson) {
        std::printf("{\n  \"file\": %s,\n  \"sheets\": %d,\n  \"subsets\": %zu,\n  \"drawingsRead\": %d,\n"
                    "  \"skipped\": {\"inASheetSet\": %s, \"noLayouts\": %s, \"unreadable\": %s}\n}\n",
                    json(setPath.string()).c_str(), sheets, subsets.size(), report.drawingsRead, jsonList(report.stamped).c_str(),
                    jsonList(report.noLayouts).c_str(), jsonList(report.unreadable).c_str());
    } else {
        for (const auto* list : {&report.stamped, &report.noLayouts, &report.unreadable})
            for (const TkString& line : *list) std::printf("left out: %s\n", tkToUtf8(line).c_str());
        std::printf("%s: %d sheets in %zu subsets from %d drawings read\n", setPath.string().c_str(), sheets, subsets.size(),
                    report.drawingsRead);
        if (sheets > 0)
            std::printf("the drawings are not stamped for the set yet: open and save each sheet, or run: drawkit resave \"%s\"\n",
                        setPath.string().c_str());
    }
    return 0;
}
