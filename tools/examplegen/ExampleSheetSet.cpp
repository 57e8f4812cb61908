#include "tools/examplegen/ExampleSheetSet.h"

#include <cstdio>
#include <map>

#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/sm/TkSmDatabase.h"
#include "tools/examplegen/SetBuilding.h"

namespace fs = std::filesystem;
using namespace examplegen;

namespace {

ExampleSheet sheet(const std::string& subset, const std::string& number, const std::string& title, double fx = 0.5,
                   double fy = 0.5, double zoom = 1.0) {
    return {{number + " " + title, number, title, false, fx, fy, zoom}, subset};
}
ExampleSheet reduced(const std::string& number, const std::string& title, const std::string& subset) {
    return {{number + "R " + title + " (A3)", number + "R", title + " (A3)", true}, subset};
}

}  // namespace

std::vector<ExampleDrawingSpec> exampleProject() {
    const std::string full = "Architecture/Plans/Full size (A1)", small = "Architecture/Plans/Reduced (A3)";
    auto plan = [&](const std::string& number, const std::string& title) {
        return ExampleDrawingSpec{number + " " + title, title, {sheet(full, number, title), reduced(number, title, small)}};
    };
    auto series = [](const std::string& subset, const std::string& first, const std::vector<std::string>& titles) {
        std::vector<ExampleSheet> out;
        std::string prefix = first.substr(0, first.size() - 1);
        for (size_t i = 0; i < titles.size(); ++i) {
            double f = titles.size() > 1 ? 0.2 + 0.6 * static_cast<double>(i) / static_cast<double>(titles.size() - 1) : 0.5;
            out.push_back(sheet(subset, prefix + std::to_string(first.back() - '0' + static_cast<int>(i)), titles[i], f,
                                i % 2 ? 0.3 : 0.7, 2.5));
        }
        return out;
    };
    std::vector<ExampleDrawingSpec> p;
    p.push_back({"G-000 General", "Site and context",
                 {sheet("General", "G-001", "Cover Sheet"), sheet("General", "G-002", "Drawing Index", 0.5, 0.5, 0),
                  sheet("General", "G-003", "Site Location", 0.7, 0.5, 2)}});
    p.push_back(plan("A-101", "Ground Floor Plan"));
    p.push_back(plan("A-102", "First Floor Plan"));
    p.push_back(plan("A-103", "Second Floor Plan"));
    p.push_back(plan("A-104", "Roof Plan"));
    p.push_back({"A-200 Elevations", "Elevations",
                 series("Architecture/Elevations", "A-201", {"North Elevation", "South Elevation", "East Elevation", "West Elevation"})});
    p.push_back({"A-300 Sections", "Sections",
                 series("Architecture/Sections", "A-301", {"Section A-A", "Section B-B", "Section C-C", "Section D-D"})});
    p.push_back({"A-500 Details", "Details",
                 series("Architecture/Details", "A-501", {"Entrance Canopy", "Stair Details", "Curtain Wall", "Roof Edge",
                                                          "Door Schedule", "Window Schedule"})});
    p.push_back({"S-101 Foundation Plan", "Foundation Plan",
                 {sheet("Structure/Foundations", "S-101", "Foundation Plan"), reduced("S-101", "Foundation Plan", "Structure/Foundations")}});
    p.push_back({"S-102 Ground Floor Framing", "Ground Floor Framing",
                 {sheet("Structure/Framing", "S-102", "Ground Floor Framing"),
                  reduced("S-102", "Ground Floor Framing", "Structure/Framing")}});
    p.push_back({"S-103 First Floor Framing", "First Floor Framing", {sheet("Structure/Framing", "S-103", "First Floor Framing")}});
    std::vector<ExampleSheet> services = series("Services/Mechanical", "M-101", {"Ventilation Ground Floor", "Ventilation First Floor"});
    for (auto& s : series("Services/Electrical", "E-101", {"Lighting Ground Floor", "Lighting First Floor"})) services.push_back(s);
    for (auto& s : series("Services/Fire", "F-101", {"Fire Strategy Ground Floor", "Fire Strategy First Floor"})) services.push_back(s);
    p.push_back({"M-100 Services", "Building services", services});
    p.push_back({"L-100 Landscape", "Landscape", series("Landscape", "L-101", {"Landscape Plan", "Planting Plan"})});
    return p;
}

bool writeExampleSheetSet(const fs::path& folderIn, const std::vector<ExampleDrawingSpec>& project) {
    fs::path folder = fs::absolute(folderIn).lexically_normal();
    fs::path dst = folder / (std::string(kExampleSetName) + ".dst");
    fs::path dwt = folder / "templates" / "Vorn Sheet.dwt";
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = mgr->createDatabase(W(dst.string()), L"", false);
    TkSmSheetSet* ss = db->getSheetSet();
    ss->setName(W(kExampleSetName));
    ss->setDesc(L"New public library on the river front: architecture, structure, services and landscape.");
    ss->setProjectNumber(L"P-2041");
    ss->setProjectName(W(kExampleSetName));
    ss->setProjectPhase(L"Design development");
    ss->setProjectMilestone(L"DD issue");
    addProperty(ss, L"Client", L"City of Riverside", 1);
    addProperty(ss, L"Contract", L"RL-2026-014", 1);
    addProperty(ss, L"Checked by", L"", 2);
    addProperty(ss, L"Drawn by", L"", 2);
    setLocation(ss, folder / "drawings");

    TkDbDatabase tmpl;
    if (TkDbResult r = tmpl.readDxfFile(dwt.string()); !r) {
        std::fprintf(stderr, "make-examples: %s: %s\n", dwt.c_str(), r.describe().c_str());
        return false;
    }
    auto a1 = tmpl.findLayout("A1"), a3 = tmpl.findLayout("A3");
    if (a1) setTemplate(ss, dwt, "A1", a1->handleText());
    setPageSetups(ss, folder / "templates" / "Vorn Page Setups.dwt");

    std::map<std::string, TkSmSubset*> subsets;
    for (const ExampleDrawingSpec& d : project) {
        fs::path file = folder / "drawings" / (d.file + ".dwg");
        TkDbDatabase dwg;
        if (TkDbResult r = dwg.readDxfFile(file.string()); !r) {
            std::fprintf(stderr, "make-examples: %s: %s\n", file.c_str(), r.describe().c_str());
            return false;
        }
        for (const ExampleSheet& s : d.sheets) {
            auto layout = dwg.findLayout(s.layout.name);
            if (!layout) continue;
            TkSmSubset* target = subsetFor(ss, subsets, s.subset);
            TkSmSheet* sheet = target->addNewSheet(W(s.layout.title), L"");
            sheet->setNumber(W(s.layout.number));
            sheet->setRevisionNumber(L"B");
            sheet->setRevisionDate(L"2026-11-30");
            sheet->setIssuePurpose(L"Design development");
            sheet->setCategory(W(s.subset.substr(0, s.subset.find('/'))));
            sheet->setDoNotPlot(s.layout.a3);
            auto* ref = owned<TkSmDbLayoutReference>(sheet);
            ref->setName(W(s.layout.name));
            ref->setHandle(W(layout->handleText()));
            ref->setFileName(W(file.string()));
            sheet->setLayout(ref);
            ref->release();
            addProperty(sheet, L"Checked by", L"MC", 2);
            addProperty(sheet, L"Drawn by", s.layout.number.starts_with("S-") ? L"JO" : L"AK", 2);
        }
    }
    // Reduced copies are made from the A3 layout and are not published with the set.
    if (TkSmSubset* r = subsets["Architecture/Plans/Reduced (A3)"]) {
        if (a3) setTemplate(r, dwt, "A3", a3->handleText());
        r->setOverrideSheetPublish(true);
    }
    if (TkSmSubset* services = subsets["Services"]) services->setPromptForDwt(true);
    if (TkSmSubset* arch = subsets["Architecture"]) ss->getSheetSelSets()->add(L"DD issue", L"Architecture for the design development issue")->add(arch);
    if (TkSmSubset* r = subsets["Architecture/Plans/Reduced (A3)"]) ss->getSheetSelSets()->add(L"Reduced set", L"A3 copies for site")->add(r);
    return saveSet(db, dst);
}
