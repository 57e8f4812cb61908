#include "tools/examplegen/ExampleSetTemplates.h"

#include <cstdio>
#include <map>
#include <vector>

#include "toolkit/db/TkDbDatabase.h"
#include "tools/examplegen/ExampleDrawings.h"
#include "tools/examplegen/SetBuilding.h"

namespace fs = std::filesystem;
using namespace examplegen;

namespace {

struct ExampleSet {
    std::string name, description, layout;  // layout: the template's one sheet layout
    TkDbPaper paper;
    std::vector<std::string> subsets;        // "Architectural/Plans", made in this order
    std::vector<std::pair<std::string, std::string>> setProperties, sheetProperties;
};

std::vector<ExampleSet> examples() {
    TkDbPaper a1 = exampleA1(), a3 = exampleA3();
    return {
        {"Architectural Metric (A1)",
         "Buildings on A1 metric sheets: general sheets, architectural plans, elevations, sections and details, "
         "structure and services.",
         "A1", a1,
         {"General", "Architectural/Plans", "Architectural/Elevations", "Architectural/Sections", "Architectural/Details",
          "Structural", "Services/Mechanical", "Services/Electrical", "Services/Plumbing"},
         {{"Client", ""}, {"Project manager", ""}},
         {{"Drawn by", ""}, {"Checked by", ""}, {"Scale", "1:100"}}},
        {"Civil Infrastructure (A1)",
         "Roads, drainage and structures on A1 metric sheets, with a plan and profile set per discipline.",
         "A1", a1,
         {"General", "Roads/Plans", "Roads/Profiles", "Roads/Cross Sections", "Drainage", "Structures", "Landscape"},
         {{"Client", ""}, {"Contract", ""}, {"Chainage from", ""}, {"Chainage to", ""}},
         {{"Drawn by", ""}, {"Checked by", ""}, {"Approved by", ""}}},
        {"Plain (A3)", "One list of A3 sheets, without subsets: for small jobs and reports.", "A3", a3, {}, {}, {{"Drawn by", ""}}},
    };
}

std::unique_ptr<TkDbDatabase> makeTemplate(const ExampleSet& e) {
    auto db = TkDbDatabase::createNew();
    addTitleBlock(*db, "TITLEBLOCK_" + e.layout, e.paper);
    addSheetLayout(*db, e.layout, e.paper, "TITLEBLOCK_" + e.layout, "", "", 0, 0, 0);
    db->deleteLayout("Layout1");
    db->deleteLayout("Layout2");
    db->setCurrentLayout(e.layout);
    return db;
}

std::unique_ptr<TkDbDatabase> makePageSetupsFor(const ExampleSet& e) {
    auto db = TkDbDatabase::createNew();
    db->addPageSetup("PDF " + e.layout + " (1:1)", e.paper, "DWG To PDF.pc3");
    db->addPageSetup("Plotter " + e.layout, e.paper, "Office Plotter.pc3");
    return db;
}

bool writeOne(const fs::path& folder, const ExampleSet& e) {
    const fs::path dwt = folder / "Templates" / (e.name + " Sheet.dwt");
    const fs::path setups = folder / "Templates" / (e.name + " Page Setups.dwt");
    TkDbSaveOptions opt;
    opt.lastSavedBy = "Vorn Examples";
    auto save = [&](TkDbDatabase& drawing, const fs::path& path) {
        TkDbResult r = drawing.saveAs(path.string(), kTkDbVerR2010, opt);
        if (!r) std::fprintf(stderr, "make-examples: %s: %s\n", path.c_str(), r.describe().c_str());
        return r.ok();
    };
    auto tmpl = makeTemplate(e);
    if (!save(*tmpl, dwt) || !save(*makePageSetupsFor(e), setups)) return false;
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    const fs::path dst = folder / (e.name + ".dst");
    TkSmDatabase* db = mgr->createDatabase(W(dst.string()), L"", false);
    TkSmSheetSet* ss = db->getSheetSet();
    ss->setName(W(e.name));
    ss->setDesc(W(e.description));
    setLocation(ss, folder);
    if (auto layout = tmpl->findLayout(e.layout)) setTemplate(ss, dwt, e.layout, layout->handleText());
    setPageSetups(ss, setups);
    for (const auto& [name, value] : e.setProperties) addProperty(ss, W(name), W(value), 1);
    for (const auto& [name, value] : e.sheetProperties) addProperty(ss, W(name), W(value), 2);
    std::map<std::string, TkSmSubset*> made;
    for (const std::string& path : e.subsets) subsetFor(ss, made, path);
    return saveSet(db, dst);
}

}  // namespace

bool writeSheetSetExamples(const fs::path& folderIn) {
    fs::path folder = fs::absolute(folderIn).lexically_normal();
    std::error_code ec;
    fs::create_directories(folder / "Templates", ec);
    if (ec) {
        std::fprintf(stderr, "make-examples: cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
        return false;
    }
    for (const ExampleSet& e : examples())
        if (!writeOne(folder, e)) return false;
    return true;
}
