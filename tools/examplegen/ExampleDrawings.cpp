#include "tools/examplegen/ExampleDrawings.h"

#include <cmath>

#include "toolkit/db/TkDbFields.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

using V = std::vector<TkDbValue>;
std::string D(double v) { return tkDbDoubleText(v); }

void line(TkDbDatabase& db, uint64_t br, std::string_view layer, double x0, double y0, double x1, double y1) {
    db.addEntity(br, "LINE", {{100, "AcDbLine"}, {10, D(x0)}, {20, D(y0)}, {30, "0.0"}, {11, D(x1)}, {21, D(y1)}, {31, "0.0"}},
                 layer);
}

void rect(TkDbDatabase& db, uint64_t br, std::string_view layer, double x0, double y0, double x1, double y1, double width = 0) {
    V v{{100, "AcDbPolyline"}, {90, "4"}, {70, "1"}, {43, D(width)}};
    for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}) {
        v.push_back({10, D(x)});
        v.push_back({20, D(y)});
    }
    db.addEntity(br, "LWPOLYLINE", v, layer);
}

void text(TkDbDatabase& db, uint64_t br, std::string_view layer, double x, double y, double h, const std::string& s) {
    db.addEntity(br, "TEXT", {{100, "AcDbText"}, {10, D(x)}, {20, D(y)}, {30, "0.0"}, {40, D(h)}, {1, s}, {100, "AcDbText"}},
                 layer);
}

void circle(TkDbDatabase& db, uint64_t br, std::string_view layer, double x, double y, double r) {
    db.addEntity(br, "CIRCLE", {{100, "AcDbCircle"}, {10, D(x)}, {20, D(y)}, {30, "0.0"}, {40, D(r)}}, layer);
}

void attdef(TkDbDatabase& db, uint64_t br, double x, double y, double h, const std::string& tag, const std::string& prompt) {
    db.addEntity(br, "ATTDEF",
                 {{100, "AcDbText"}, {10, D(x)}, {20, D(y)}, {30, "0.0"}, {40, D(h)}, {1, ""}, {100, "AcDbAttributeDefinition"},
                  {280, "0"}, {3, prompt}, {2, tag}, {70, "0"}},
                 "TITLE");
}

}  // namespace

TkDbPaper exampleA1() { return {"ISO_A1_(841.00_x_594.00_MM)", 841.0, 594.0}; }
TkDbPaper exampleA3() { return {"ISO_A3_(420.00_x_297.00_MM)", 420.0, 297.0}; }

uint64_t addTitleBlock(TkDbDatabase& db, const std::string& name, const TkDbPaper& p) {
    db.addLayer("TITLE", 7);
    uint64_t br = db.addBlock(name);
    if (!br) return 0;
    const double m = 10, left = 20;  // binding margin on the left
    rect(db, br, "TITLE", left, m, p.width - m, p.height - m, 0.7);
    // Title panel in the lower right corner.
    double pw = std::min(180.0, p.width * 0.4), ph = 56;
    double x0 = p.width - m - pw, y0 = m;
    rect(db, br, "TITLE", x0, y0, p.width - m, y0 + ph, 0.5);
    line(db, br, "TITLE", x0, y0 + 18, p.width - m, y0 + 18);
    line(db, br, "TITLE", x0, y0 + 38, p.width - m, y0 + 38);
    line(db, br, "TITLE", x0 + pw * 0.6, y0, x0 + pw * 0.6, y0 + 18);
    text(db, br, "TITLE", x0 + 3, y0 + 50, 3.5, "VORN ARCHITECTS");
    text(db, br, "TITLE", x0 + 3, y0 + 33, 2, "SHEET TITLE");
    text(db, br, "TITLE", x0 + 3, y0 + 13, 2, "SHEET");
    text(db, br, "TITLE", x0 + pw * 0.6 + 3, y0 + 13, 2, "SHEET No.");
    // The values follow the sheet set: attributes named as the properties they show.
    attdef(db, br, x0 + 3, y0 + 43, 2.5, "PROJECTNAME", "Project name");
    attdef(db, br, x0 + 3, y0 + 24, 5, "SHEETTITLE", "Sheet title");
    attdef(db, br, x0 + 3, y0 + 4, 3.5, "SHEETOF", "Sheet n of m");
    attdef(db, br, x0 + pw * 0.6 + 3, y0 + 4, 7, "SHEETNO", "Sheet number");
    return br;
}

TkDbResult addSheetLayout(TkDbDatabase& db, const std::string& layout, const TkDbPaper& p, const std::string& titleBlock,
                          const std::string& number, const std::string& title, double cx, double cy, double viewHeight) {
    uint64_t layH = 0;
    TkDbResult r = db.addLayout(layout, p, true, &layH);
    if (!r) return r;
    TkDbLayout l(db.byHandle(layH));
    uint64_t br = l.blockRecordHandle();
    if (viewHeight > 0) {
        // A viewport onto model space filling the sheet above the title panel.
        db.addLayer("VIEWPORTS", 8);
        double w = p.width - 50, h = p.height - 90;
        double vx = 20 + 10 + w / 2, vy = 10 + 66 + h / 2;
        db.addEntity(br, "VIEWPORT",
                     {{100, "AcDbViewport"}, {10, D(vx)}, {20, D(vy)}, {30, "0.0"}, {40, D(w)}, {41, D(h)}, {68, "1"},
                      {69, "2"}, {12, D(cx)}, {22, D(cy)}, {13, "0.0"}, {23, "0.0"}, {14, "10.0"}, {24, "10.0"},
                      {15, "10.0"}, {25, "10.0"}, {16, "0.0"}, {26, "0.0"}, {36, "1.0"}, {17, "0.0"}, {27, "0.0"},
                      {37, "0.0"}, {42, "50.0"}, {43, "0.0"}, {44, "0.0"}, {45, D(viewHeight)}, {50, "0.0"}, {51, "0.0"},
                      {72, "100"}, {90, "32864"}, {1, ""}, {281, "0"}, {71, "1"}, {74, "0"}, {110, "0.0"}, {120, "0.0"},
                      {130, "0.0"}, {111, "1.0"}, {121, "0.0"}, {131, "0.0"}, {112, "0.0"}, {122, "1.0"}, {132, "0.0"},
                      {79, "0"}, {146, "0.0"}},
                     "VIEWPORTS");
    }
    TkDbRecord* ins = db.addEntity(br, "INSERT",
                                   {{100, "AcDbBlockReference"}, {66, "1"}, {2, titleBlock}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}},
                                   "TITLE");
    if (!ins) return TkDbResult::fail(eTkBadStructure, "cannot insert the title block");
    // Attributes follow their insert and end with a SEQEND, all owned by the insert.
    std::string owner = tkDbHandleText(ins->handle());
    auto attrib = [&](const std::string& tag, const std::string& value, double x, double y, double h) {
        V v{{0, "ATTRIB"}, {5, tkDbHandleText(db.allocateHandle())}, {330, owner}, {100, "AcDbEntity"}, {67, "1"},
            {8, "TITLE"}, {100, "AcDbText"}, {10, D(x)}, {20, D(y)}, {30, "0.0"}, {40, D(h)}, {1, value},
            {100, "AcDbAttribute"}, {280, "0"}, {2, tag}, {70, "0"}};
        return v;
    };
    double pw = std::min(180.0, p.width * 0.4);
    double x0 = p.width - 10 - pw, y0 = 10;
    const TkDbSection* s = db.section(tkDbNameEqualNoCase(TkDbBlockRecord(db.byHandle(br)).name(), "*Paper_Space") ? "ENTITIES" : "BLOCKS");
    // Place the followers right after the insert.
    const TkDbRecord* next = nullptr;
    for (size_t i = 0; i + 1 < s->records.size(); ++i)
        if (s->records[i] == ins) next = s->records[i + 1];
    std::string_view sec = s->name;
    db.appendRecord(sec, attrib("PROJECTNAME", "", x0 + 3, y0 + 43, 2.5), next);
    db.appendRecord(sec, attrib("SHEETTITLE", title, x0 + 3, y0 + 24, 5), next);
    db.appendRecord(sec, attrib("SHEETOF", "", x0 + 3, y0 + 4, 3.5), next);
    db.appendRecord(sec, attrib("SHEETNO", number, x0 + pw * 0.6 + 3, y0 + 4, 7), next);
    db.appendRecord(sec, {{0, "SEQEND"}, {5, tkDbHandleText(db.allocateHandle())}, {330, owner}, {100, "AcDbEntity"},
                          {67, "1"}, {8, "TITLE"}},
                    next);
    // The project number as a field: a text whose FIELD names the set's property.
    TkDbRecord* projectNo = db.addEntity(br, "TEXT",
                                         {{100, "AcDbText"}, {10, D(x0 + pw - 30)}, {20, D(y0 + 50)}, {30, "0.0"}, {40, "2.5"}, {1, ""},
                                          {100, "AcDbText"}},
                                         "TITLE");
    if (projectNo) tkDbAttachField(db, *projectNo, "\\AcSm SheetSet.ProjectNumber");
    return TkDbResult::success();
}

std::unique_ptr<TkDbDatabase> makeSheetTemplate() {
    auto db = TkDbDatabase::createNew();
    addTitleBlock(*db, "TITLEBLOCK_A1", exampleA1());
    addTitleBlock(*db, "TITLEBLOCK_A3", exampleA3());
    addSheetLayout(*db, "A1", exampleA1(), "TITLEBLOCK_A1", "", "", 0, 0, 0);
    addSheetLayout(*db, "A3", exampleA3(), "TITLEBLOCK_A3", "", "", 0, 0, 0);
    db->deleteLayout("Layout1");
    db->deleteLayout("Layout2");
    db->setCurrentLayout("A1");
    return db;
}

std::unique_ptr<TkDbDatabase> makeExampleDrawing(int variant, const std::string& caption,
                                                const std::vector<ExampleLayout>& layouts) {
    auto db = TkDbDatabase::createNew();
    uint64_t ms = db->modelSpace();
    for (auto [n, c] : {std::pair{"A-WALL", 7}, {"A-DOOR", 3}, {"A-ANNO", 2}, {"S-COLS", 1}, {"A-GRID", 8}}) db->addLayer(n, c);
    // Storey outline in millimetres; each variant a little different.
    const double W = 30000 + 3000 * (variant % 4), H = 18000 + 2000 * (variant % 3);
    rect(*db, ms, "A-WALL", 0, 0, W, H, 300);
    int bays = 4 + variant % 3;
    for (int i = 1; i < bays; ++i) {
        double x = W * i / bays;
        line(*db, ms, "A-WALL", x, 0, x, H * 0.45);
        line(*db, ms, "A-WALL", x, H * 0.55, x, H);
        // A door in every partition: leaf and swing.
        line(*db, ms, "A-DOOR", x, H * 0.45, x + 900, H * 0.45);
        db->addEntity(ms, "ARC",
                      {{100, "AcDbCircle"}, {10, D(x)}, {20, D(H * 0.45)}, {30, "0.0"}, {40, "900.0"}, {100, "AcDbArc"},
                       {50, "0.0"}, {51, "90.0"}},
                      "A-DOOR");
    }
    for (int i = 0; i < bays; ++i)
        text(*db, ms, "A-ANNO", W * (i + 0.5) / bays - 1200, H * 0.25, 350,
             "ROOM " + std::to_string(variant + 1) + "0" + std::to_string(i + 1));
    line(*db, ms, "A-WALL", 0, H * 0.45, W, H * 0.45);
    line(*db, ms, "A-WALL", 0, H * 0.55, W, H * 0.55);
    for (int i = 0; i <= bays; ++i) {
        double x = W * i / bays;
        circle(*db, ms, "S-COLS", x, 0, 250);
        circle(*db, ms, "S-COLS", x, H, 250);
        line(*db, ms, "A-GRID", x, -2500, x, H + 2500);
        circle(*db, ms, "A-GRID", x, H + 3100, 600);
        text(*db, ms, "A-ANNO", x - 200, H + 2900, 450, std::string(1, static_cast<char>('A' + i)));
    }
    text(*db, ms, "A-ANNO", 0, -4500, 700, caption);
    bool haveA1 = false, haveA3 = false;
    for (const ExampleLayout& l : layouts) {
        bool& have = l.a3 ? haveA3 : haveA1;
        std::string block = l.a3 ? "TITLEBLOCK_A3" : "TITLEBLOCK_A1";
        if (!have) addTitleBlock(*db, block, l.a3 ? exampleA3() : exampleA1());
        have = true;
        // The view: the whole storey, or a closer look centred where the layout says.
        addSheetLayout(*db, l.name, l.a3 ? exampleA3() : exampleA1(), block, l.number, l.title, W * l.fx, H * l.fy,
                       l.zoom > 0 ? H * 1.6 / l.zoom : 0);
    }
    db->deleteLayout("Layout1");
    db->deleteLayout("Layout2");
    if (!layouts.empty()) db->setCurrentLayout(layouts.front().name);
    return db;
}

std::unique_ptr<TkDbDatabase> makePageSetups() {
    auto db = TkDbDatabase::createNew();
    db->addPageSetup("PDF A1 (1:1)", exampleA1(), "DWG To PDF.pc3");
    db->addPageSetup("PDF A3 (1:1)", exampleA3(), "DWG To PDF.pc3");
    db->addPageSetup("Plotter A1", exampleA1(), "Office Plotter.pc3");
    return db;
}
