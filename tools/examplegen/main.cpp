// make-examples: writes the example drawings, the sheet template and the example sheet set.
//   make-examples OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>

#include "tools/examplegen/ExampleDrawings.h"
#include "tools/examplegen/ExampleSheetSet.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-examples OUTPUT_FOLDER\n");
        return 2;
    }
    namespace fs = std::filesystem;
    fs::path out(argv[1]);
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
    const struct { const char* number; const char* title; } plans[] = {
        {"A-101", "Ground Floor Plan"}, {"A-102", "First Floor Plan"}, {"A-103", "Second Floor Plan"},
        {"A-104", "Roof Plan"},         {"S-101", "Foundation Plan"},  {"S-102", "Ground Floor Framing"},
    };
    int variant = 0;
    std::vector<ExampleDrawing> drawings;
    for (auto& p : plans) {
        auto db = makePlanDrawing(variant++, p.number, p.title);
        fs::path file = out / "drawings" / (std::string(p.number) + " " + p.title + ".dwg");
        save(*db, file);
        drawings.push_back({p.number, p.title, file});
    }
    if (!failures && !writeExampleSheetSet(out, drawings, out / "templates" / "Vorn Sheet.dwt")) ++failures;
    return failures ? 1 : 0;
}
