// make-examples: writes the example project (drawings, the sheet template, the page setup overrides
// file and the sheet set, with every drawing stamped for it) and the example sheet sets new sets
// start from ("Sheet Set Examples").
//   make-examples OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>

#include "drawings/SheetSetStamp.h"
#include "model/SheetListTable.h"
#include "model/SheetSetMgrImpl.h"
#include "model/TitleBlocks.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/examplegen/ExampleDrawings.h"
#include "tools/examplegen/ExampleSetTemplates.h"
#include "tools/examplegen/ExampleSheetSet.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-examples OUTPUT_FOLDER\n");
        return 2;
    }
    namespace fs = std::filesystem;
    fs::path out = fs::absolute(argv[1]).lexically_normal();
    std::error_code ec;
    fs::create_directories(out / "drawings", ec);
    fs::create_directories(out / "templates", ec);
    if (ec) {
        std::fprintf(stderr, "make-examples: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
        return 1;
    }
    TkDbSaveOptions opt;
    opt.lastSavedBy = "Vorn Examples";
    int failures = 0;
    auto save = [&](TkDbDatabase& db, const fs::path& p) {
        TkDbResult r = db.saveAs(p.string(), kTkDbVerR2010, opt);
        if (!r) {
            std::fprintf(stderr, "make-examples: %s: %s\n", p.c_str(), r.describe().c_str());
            ++failures;
        } else {
            std::printf("wrote %s\n", p.c_str());
        }
    };
    save(*makeSheetTemplate(), out / "templates" / "Vorn Sheet.dwt");
    save(*makePageSetups(), out / "templates" / "Vorn Page Setups.dwt");
    fs::path dst = out / (std::string(kExampleSetName) + ".dst");
    int variant = 0;
    auto project = exampleProject();
    for (const ExampleDrawingSpec& d : project) {
        std::vector<ExampleLayout> layouts;
        for (const ExampleSheet& s : d.sheets) layouts.push_back(s.layout);
        auto db = makeExampleDrawing(variant++, d.caption, layouts);
        fs::path file = out / "drawings" / (d.file + ".dwg");
        if (auto first = db->findLayout(layouts.front().name))
            writeStamp(db.get(), tkFromUtf8(dst.string()), tkFromUtf8(file.string()), tkFromUtf8(first->name()),
                       tkFromUtf8(first->handleText()));
        save(*db, file);
    }
    if (!failures && !writeExampleSheetSet(out, project)) ++failures;
    // The title blocks show the set's values: project, number, title, "3 of 38".
    if (!failures) {
        CSheetSetMgrImpl mgr;
        if (mgr.openSheetSet(tkFromUtf8(dst.string()).c_str())) {
            // The drawing index carries a sheet list table, which the set keeps current from now on.
            const fs::path general = out / "drawings" / "G-000 General.dwg";
            TkDbDatabase index;
            TkString error;
            if (!index.readDxfFile(general.string()) ||
                !insertSheetListTable(index, "G-002 Drawing Index", {L"number", L"title", L"revision", L"Drawn by"}, {},
                                      sheetListing(mgr.getSheetSet(0)), error))
                std::fprintf(stderr, "make-examples: %s: no sheet list table: %s\n", general.c_str(), tkToUtf8(error).c_str()), ++failures;
            else
                save(index, general);
            TitleBlockReport r = updateTitleBlocks(titleBlockPlan(mgr.getSheetSet(0)), mgr.getSheetSet(0)->getFileName());
            for (const TkString& p : r.problems) std::fprintf(stderr, "make-examples: %s\n", tkToUtf8(p).c_str()), ++failures;
        }
    }
    // The example sheet sets new sets start from, where the host looks for them by default.
    if (!failures && !writeSheetSetExamples(out / "Sheet Set Examples")) ++failures;
    return failures ? 1 : 0;
}
