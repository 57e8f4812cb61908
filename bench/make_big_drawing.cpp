// make-big-drawing OUT [MEGABYTES]: a drawing of about that size (default 45 MB) with lines,
// polylines, texts and block inserts in model space and three initialized paper layouts.
#include <cstdio>
#include <cstdlib>
#include <random>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagWriter.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-big-drawing OUT [MEGABYTES]\n");
        return 2;
    }
    const double megabytes = argc > 2 ? std::atof(argv[2]) : 45.0;
    auto db = TkDbDatabase::createNew();
    auto D = [](double v) { return tkDbDoubleText(v); };
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(0, 100000);
    const char* layers[] = {"A-WALL", "A-DOOR", "A-ANNO", "S-COLS", "E-LITE", "M-DUCT"};
    for (int i = 0; i < 6; ++i) db->addLayer(layers[i], i + 1);
    uint64_t door = db->addBlock("DOOR");
    db->addEntity(door, "LINE", {{100, "AcDbLine"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "900"}, {21, "0"}, {31, "0"}});
    db->addEntity(door, "ARC", {{100, "AcDbCircle"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "900"}, {100, "AcDbArc"},
                                {50, "0"}, {51, "90"}});
    uint64_t ms = db->modelSpace();
    // About 175 bytes an entity on average; groups of four kinds.
    const long groups = static_cast<long>(megabytes * 1e6 / 4 / 175);
    for (long i = 0; i < groups; ++i) {
        const char* layer = layers[i % 6];
        double x = coord(rng), y = coord(rng);
        db->addEntity(ms, "LINE", {{100, "AcDbLine"}, {10, D(x)}, {20, D(y)}, {30, "0.0"}, {11, D(x + 1500)},
                                   {21, D(y + 700)}, {31, "0.0"}}, layer);
        db->addEntity(ms, "LWPOLYLINE", {{100, "AcDbPolyline"}, {90, "3"}, {70, "0"}, {43, "0.0"}, {10, D(x)},
                                         {20, D(y)}, {10, D(x + 300)}, {20, D(y + 50)}, {10, D(x + 600)},
                                         {20, D(y - 120)}}, layer);
        db->addEntity(ms, "TEXT", {{100, "AcDbText"}, {10, D(x)}, {20, D(y)}, {30, "0.0"}, {40, "250.0"},
                                   {1, "ROOM " + std::to_string(i)}, {100, "AcDbText"}}, "A-ANNO");
        db->addEntity(ms, "INSERT", {{100, "AcDbBlockReference"}, {2, "DOOR"}, {10, D(x)}, {20, D(y)}, {30, "0.0"},
                                     {50, D(90.0 * (i % 4))}}, "A-DOOR");
    }
    TkDbPaper a1{"ISO_A1_(841.00_x_594.00_MM)", 841, 594};
    for (const char* name : {"Plan", "Sections", "Details"}) {
        uint64_t h = 0;
        db->addLayout(name, a1, true, &h);
        uint64_t br = TkDbLayout(db->byHandle(h)).blockRecordHandle();
        for (int k = 0; k < 200; ++k)
            db->addEntity(br, "LINE", {{100, "AcDbLine"}, {10, D(k)}, {20, "10"}, {30, "0"}, {11, D(k)}, {21, "500"}, {31, "0"}});
    }
    db->deleteLayout("Layout1");
    db->deleteLayout("Layout2");
    TkDbResult r = db->saveAs(argv[1], kTkDbVerR2010);
    if (!r) {
        std::fprintf(stderr, "make-big-drawing: %s\n", r.describe().c_str());
        return 1;
    }
    return 0;
}
