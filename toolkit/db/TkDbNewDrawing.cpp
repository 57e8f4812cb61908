// New drawings and the building operations that generators and tests use.
#include <algorithm>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

using V = std::vector<TkDbValue>;
std::string D(double v) { return tkDbDoubleText(v); }
std::string H(uint64_t h) { return tkDbHandleText(h); }

// The skeleton of a new R2010 drawing: every table a CAD program expects, model space and the root
// dictionaries. Paper layouts are added afterwards with addLayout.
std::string skeleton() {
    std::string out;
    TkDbTagWriter w(out);
    auto sec = [&](const char* n) { w.write(0, "SECTION"); w.write(2, n); };
    auto var = [&](const char* n, std::initializer_list<std::pair<int, std::string>> vals) {
        w.write(9, n);
        for (auto& [c, v] : vals) w.write(c, v);
    };
    sec("HEADER");
    var("$ACADVER", {{1, "AC1024"}});
    var("$DWGCODEPAGE", {{3, "ANSI_1252"}});
    var("$INSBASE", {{10, "0.0"}, {20, "0.0"}, {30, "0.0"}});
    var("$EXTMIN", {{10, "1e+20"}, {20, "1e+20"}, {30, "1e+20"}});
    var("$EXTMAX", {{10, "-1e+20"}, {20, "-1e+20"}, {30, "-1e+20"}});
    var("$LIMMIN", {{10, "0.0"}, {20, "0.0"}});
    var("$LIMMAX", {{10, "420.0"}, {20, "297.0"}});
    var("$LTSCALE", {{40, "1.0"}});
    var("$TEXTSTYLE", {{7, "Standard"}});
    var("$CLAYER", {{8, "0"}});
    var("$CELTYPE", {{6, "ByLayer"}});
    var("$DIMSTYLE", {{2, "Standard"}});
    var("$LUNITS", {{70, "2"}});
    var("$LUPREC", {{70, "4"}});
    var("$TILEMODE", {{70, "1"}});
    var("$PEXTMIN", {{10, "1e+20"}, {20, "1e+20"}, {30, "1e+20"}});
    var("$PEXTMAX", {{10, "-1e+20"}, {20, "-1e+20"}, {30, "-1e+20"}});
    var("$MEASUREMENT", {{70, "1"}});
    var("$INSUNITS", {{70, "4"}});
    var("$LWDISPLAY", {{290, "0"}});
    var("$HANDSEED", {{5, "40"}});
    w.write(0, "ENDSEC");

    sec("CLASSES");
    for (auto [dxf, cpp] : {std::pair{"ACDBDICTIONARYWDFLT", "AcDbDictionaryWithDefault"},
                            std::pair{"ACDBPLACEHOLDER", "AcDbPlaceHolder"}, std::pair{"LAYOUT", "AcDbLayout"}}) {
        w.write(0, "CLASS"); w.write(1, dxf); w.write(2, cpp); w.write(3, "ObjectDBX Classes");
        w.write(90, "0"); w.write(91, "0"); w.write(280, "0"); w.write(281, "0");
    }
    w.write(0, "ENDSEC");

    // Fixed handles of the skeleton; everything added later is allocated above $HANDSEED.
    sec("TABLES");
    auto table = [&](const char* name, const char* h, int count, const char* sub) {
        w.write(0, "TABLE"); w.write(2, name); w.write(5, h); w.write(330, "0");
        w.write(100, "AcDbSymbolTable"); w.write(70, std::to_string(count));
        if (sub) w.write(100, sub);
    };
    auto entry = [&](const char* type, const char* h, const char* owner, const char* sub, const char* name) {
        w.write(0, type); w.write(std::string_view(type) == "DIMSTYLE" ? 105 : 5, h); w.write(330, owner);
        w.write(100, "AcDbSymbolTableRecord"); w.write(100, sub); w.write(2, name); w.write(70, "0");
    };
    table("VPORT", "1", 1, nullptr);
    entry("VPORT", "20", "1", "AcDbViewportTableRecord", "*Active");
    for (auto [c, v] : std::initializer_list<std::pair<int, const char*>>{
             {10, "0.0"}, {20, "0.0"}, {11, "1.0"}, {21, "1.0"}, {12, "210.0"}, {22, "148.5"}, {13, "0.0"}, {23, "0.0"},
             {14, "10.0"}, {24, "10.0"}, {15, "10.0"}, {25, "10.0"}, {16, "0.0"}, {26, "0.0"}, {36, "1.0"}, {17, "0.0"},
             {27, "0.0"}, {37, "0.0"}, {40, "297.0"}, {41, "1.414"}, {42, "50.0"}, {43, "0.0"}, {44, "0.0"},
             {50, "0.0"}, {51, "0.0"}, {71, "0"}, {72, "1000"}, {73, "1"}, {74, "3"}, {75, "0"}, {76, "0"},
             {77, "0"}, {78, "0"}})
        w.write(c, v);
    w.write(0, "ENDTAB");
    table("LTYPE", "2", 3, nullptr);
    for (auto [h, n, desc] : {std::tuple{"21", "ByBlock", ""}, std::tuple{"22", "ByLayer", ""},
                              std::tuple{"23", "Continuous", "Solid line"}}) {
        entry("LTYPE", h, "2", "AcDbLinetypeTableRecord", n);
        w.write(3, desc); w.write(72, "65"); w.write(73, "0"); w.write(40, "0.0");
    }
    w.write(0, "ENDTAB");
    table("LAYER", "3", 1, nullptr);
    entry("LAYER", "24", "3", "AcDbLayerTableRecord", "0");
    w.write(62, "7"); w.write(6, "Continuous"); w.write(370, "-3"); w.write(390, "F");
    w.write(0, "ENDTAB");
    table("STYLE", "4", 1, nullptr);
    entry("STYLE", "25", "4", "AcDbTextStyleTableRecord", "Standard");
    w.write(40, "0.0"); w.write(41, "1.0"); w.write(50, "0.0"); w.write(71, "0"); w.write(42, "2.5");
    w.write(3, "txt"); w.write(4, "");
    w.write(0, "ENDTAB");
    table("VIEW", "5", 0, nullptr); w.write(0, "ENDTAB");
    table("UCS", "6", 0, nullptr); w.write(0, "ENDTAB");
    table("APPID", "7", 1, nullptr);
    entry("APPID", "26", "7", "AcDbRegAppTableRecord", "ACAD");
    w.write(0, "ENDTAB");
    table("DIMSTYLE", "8", 1, "AcDbDimStyleTable");
    entry("DIMSTYLE", "27", "8", "AcDbDimStyleTableRecord", "Standard");
    for (auto [c, v] : std::initializer_list<std::pair<int, const char*>>{
             {40, "1.0"}, {41, "2.5"}, {42, "0.625"}, {43, "3.75"}, {44, "1.25"}, {140, "2.5"}, {141, "2.5"},
             {147, "0.625"}, {77, "1"}, {78, "8"}, {271, "2"}, {272, "2"}, {278, "44"}})
        w.write(c, v);
    w.write(0, "ENDTAB");
    table("BLOCK_RECORD", "9", 1, nullptr);
    entry("BLOCK_RECORD", "1F", "9", "AcDbBlockTableRecord", "*Model_Space");
    w.write(340, "1E"); w.write(280, "1"); w.write(281, "0");
    w.write(0, "ENDTAB");
    w.write(0, "ENDSEC");

    sec("BLOCKS");
    w.write(0, "BLOCK"); w.write(5, "1C"); w.write(330, "1F"); w.write(100, "AcDbEntity"); w.write(8, "0");
    w.write(100, "AcDbBlockBegin"); w.write(2, "*Model_Space"); w.write(70, "0");
    w.write(10, "0.0"); w.write(20, "0.0"); w.write(30, "0.0"); w.write(3, "*Model_Space"); w.write(1, "");
    w.write(0, "ENDBLK"); w.write(5, "1D"); w.write(330, "1F"); w.write(100, "AcDbEntity"); w.write(8, "0");
    w.write(100, "AcDbBlockEnd");
    w.write(0, "ENDSEC");
    sec("ENTITIES");
    w.write(0, "ENDSEC");

    sec("OBJECTS");
    auto dict = [&](const char* h, const char* owner, std::initializer_list<std::pair<const char*, const char*>> entries) {
        w.write(0, "DICTIONARY"); w.write(5, h); w.write(330, owner); w.write(100, "AcDbDictionary"); w.write(281, "1");
        for (auto [n, e] : entries) { w.write(3, n); w.write(350, e); }
    };
    dict("A", "0", {{"ACAD_GROUP", "B"}, {"ACAD_LAYOUT", "C"}, {"ACAD_PLOTSETTINGS", "D"}, {"ACAD_PLOTSTYLENAME", "E"}});
    dict("B", "A", {});
    dict("C", "A", {{"Model", "1E"}});
    dict("D", "A", {});
    w.write(0, "ACDBDICTIONARYWDFLT"); w.write(5, "E"); w.write(330, "A"); w.write(100, "AcDbDictionary");
    w.write(281, "1"); w.write(3, "Normal"); w.write(350, "F"); w.write(100, "AcDbDictionaryWithDefault"); w.write(340, "F");
    w.write(0, "ACDBPLACEHOLDER"); w.write(5, "F"); w.write(330, "E");
    w.write(0, "ENDSEC");
    w.write(0, "EOF");
    return out;
}

// The AcDbPlotSettings part shared by layouts and named page setups: plot the layout at 1:1 on
// `p` through `device`.
V plotSettingsPart(std::string_view pageSetupName, std::string_view device, const TkDbPaper& p, bool model) {
    return {{100, "AcDbPlotSettings"}, {1, std::string(pageSetupName)}, {2, std::string(device)}, {4, p.name}, {6, ""},
            {40, "0.0"}, {41, "0.0"}, {42, "0.0"}, {43, "0.0"}, {44, D(p.width)}, {45, D(p.height)},
            {46, "0.0"}, {47, "0.0"}, {48, "0.0"}, {49, "0.0"}, {140, "0.0"}, {141, "0.0"}, {142, "1.0"}, {143, "1.0"},
            {70, model ? "1712" : "688"}, {72, "1"}, {73, "0"}, {74, "5"}, {7, ""}, {75, "16"}, {76, "0"}, {77, "2"},
            {78, "300"}, {147, "1.0"}, {148, "0.0"}, {149, "0.0"}};
}

// The plot settings and layout data of a LAYOUT object.
V layoutRecord(uint64_t h, uint64_t owner, std::string_view name, int tab, uint64_t br, const TkDbPaper& p, bool model) {
    V v{{0, "LAYOUT"}, {5, H(h)}, {102, "{ACAD_REACTORS"}, {330, H(owner)}, {102, "}"}, {330, H(owner)}};
    V plot = plotSettingsPart("", "none_device", p, model);
    v.insert(v.end(), plot.begin(), plot.end());
    v.insert(v.end(), {
        {100, "AcDbLayout"}, {1, std::string(name)}, {70, "1"}, {71, std::to_string(tab)},
        {10, "0.0"}, {20, "0.0"}, {11, D(p.width)}, {21, D(p.height)}, {12, "0.0"}, {22, "0.0"}, {32, "0.0"},
        {14, "1e+20"}, {24, "1e+20"}, {34, "1e+20"}, {15, "-1e+20"}, {25, "-1e+20"}, {35, "-1e+20"},
        {146, "0.0"}, {13, "0.0"}, {23, "0.0"}, {33, "0.0"}, {16, "1.0"}, {26, "0.0"}, {36, "0.0"},
        {17, "0.0"}, {27, "1.0"}, {37, "0.0"}, {76, "0"}, {330, H(br)}});
    return v;
}

TkDbRecord* endOfTable(const TkDbDatabase& db, std::string_view table) {
    const TkDbSection* s = db.section("TABLES");
    if (!s) return nullptr;
    bool in = false;
    for (TkDbRecord* r : s->records) {
        if (r->erased()) continue;
        if (r->type() == "TABLE") in = r->str(2) == table;
        else if (in && r->type() == "ENDTAB") return r;
    }
    return nullptr;
}

TkDbRecord* tableHead(const TkDbDatabase& db, std::string_view table) {
    const TkDbSection* s = db.section("TABLES");
    if (!s) return nullptr;
    for (TkDbRecord* r : s->records)
        if (!r->erased() && r->type() == "TABLE" && r->str(2) == table) return r;
    return nullptr;
}

}  // namespace

std::unique_ptr<TkDbDatabase> TkDbDatabase::createNew() {
    auto db = std::make_unique<TkDbDatabase>();
    if (!db->readDxfBuffer(skeleton())) return nullptr;
    db->appendRecord("OBJECTS", layoutRecord(0x1E, 0xC, "Model", 0, 0x1F, TkDbPaper{}, true));
    db->addLayout("Layout1", TkDbPaper{}, false);
    db->addLayout("Layout2", TkDbPaper{}, false);
    return db;
}

uint64_t TkDbDatabase::modelSpace() const {
    for (auto& b : blockRecords())
        if (b.isModelSpace()) return b.handle();
    return 0;
}

TkDbResult TkDbDatabase::addLayout(std::string_view name, const TkDbPaper& paper, bool initialize, uint64_t* out) {
    if (name.empty() || name.find_first_of("<>/\\\":;?*|,=`") != std::string_view::npos)
        return TkDbResult::fail(eTkInvalidInput, "\"" + std::string(name) + "\" is not a valid layout name");
    for (auto& l : layouts())
        if (tkDbNameEqualNoCase(l.name(), name))
            return TkDbResult::fail(eTkDuplicateKey, "a layout named \"" + l.name() + "\" exists already");
    auto root = dictionary(namedObjectsDictionary());
    uint64_t layoutDict = root ? root->get("ACAD_LAYOUT") : 0;
    TkDbRecord* brHead = tableHead(*this, "BLOCK_RECORD");
    if (!dictionary(layoutDict) || !brHead)
        return TkDbResult::fail(eTkBadStructure, "the drawing has no layout dictionary or block table");

    // The first paper layout is the active one, "*Paper_Space"; the others are "*Paper_SpaceN".
    std::string blockName = "*Paper_Space";
    for (int n = 0; findBlockRecord(blockName); ++n) blockName = "*Paper_Space" + std::to_string(n);
    int tab = 0;
    for (auto& l : layouts()) tab = std::max(tab, l.tabOrder() + 1);

    uint64_t brH = allocateHandle(), layH = allocateHandle(), beginH = allocateHandle(), endH = allocateHandle();
    appendRecord("TABLES",
                 {{0, "BLOCK_RECORD"}, {5, H(brH)}, {330, H(brHead->handle())}, {100, "AcDbSymbolTableRecord"},
                  {100, "AcDbBlockTableRecord"}, {2, blockName}, {340, H(layH)}, {70, "0"}, {280, "1"}, {281, "0"}},
                 endOfTable(*this, "BLOCK_RECORD"));
    appendRecord("BLOCKS", {{0, "BLOCK"}, {5, H(beginH)}, {330, H(brH)}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"},
                            {100, "AcDbBlockBegin"}, {2, blockName}, {70, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"},
                            {3, blockName}, {1, ""}});
    appendRecord("BLOCKS", {{0, "ENDBLK"}, {5, H(endH)}, {330, H(brH)}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"},
                            {100, "AcDbBlockEnd"}});
    appendRecord("OBJECTS", layoutRecord(layH, layoutDict, name, tab, brH, paper, false));
    TkDbRecord* dict = byHandle(layoutDict);
    size_t at = dict->xdataStart();
    dict->insert(at, 3, name);
    dict->insert(at + 1, 350, H(layH));
    if (initialize) {
        // The overall viewport (id 1) shows the whole sheet; a layout that has one is initialized.
        double cx = paper.width / 2, cy = paper.height / 2;
        TkDbRecord* vp = addEntity(brH, "VIEWPORT",
                                   {{100, "AcDbViewport"}, {10, D(cx)}, {20, D(cy)}, {30, "0.0"},
                                    {40, D(paper.width * 1.1)}, {41, D(paper.height * 1.1)}, {68, "1"}, {69, "1"},
                                    {12, D(cx)}, {22, D(cy)}, {13, "0.0"}, {23, "0.0"}, {14, "10.0"}, {24, "10.0"},
                                    {15, "10.0"}, {25, "10.0"}, {16, "0.0"}, {26, "0.0"}, {36, "1.0"}, {17, "0.0"},
                                    {27, "0.0"}, {37, "0.0"}, {42, "50.0"}, {43, "0.0"}, {44, "0.0"},
                                    {45, D(paper.height * 1.1)}, {50, "0.0"}, {51, "0.0"}, {72, "100"},
                                    {90, "557088"}, {1, ""}, {281, "0"}, {71, "0"}, {74, "0"}, {110, "0.0"},
                                    {120, "0.0"}, {130, "0.0"}, {111, "1.0"}, {121, "0.0"}, {131, "0.0"},
                                    {112, "0.0"}, {122, "1.0"}, {132, "0.0"}, {79, "0"}, {146, "0.0"}});
        if (vp) byHandle(layH)->set(331, H(vp->handle()), "AcDbLayout");
    }
    if (out) *out = layH;
    return TkDbResult::success();
}

void TkDbDatabase::repairMissingObjects() {
    if (section("OBJECTS") || version_ < kTkDbVerR14) return;
    std::vector<TkDbBlockRecord> spaces;
    for (const TkDbBlockRecord& b : blockRecords())
        if (b.isModelSpace()) spaces.insert(spaces.begin(), b);  // model space first
        else if (b.isPaperSpace()) spaces.push_back(b);
    if (spaces.empty()) return;
    const uint64_t root = allocateHandle(), groups = allocateHandle(), layoutDict = allocateHandle(), setups = allocateHandle();
    auto dictionary = [&](uint64_t h, uint64_t owner, const std::vector<std::pair<std::string, uint64_t>>& entries) {
        V v{{0, "DICTIONARY"}, {5, H(h)}, {330, H(owner)}, {100, "AcDbDictionary"}, {281, "1"}};
        for (const auto& [name, e] : entries) v.insert(v.end(), {{3, name}, {350, H(e)}});
        appendRecord("OBJECTS", v);
    };
    std::vector<std::pair<std::string, uint64_t>> layoutEntries;
    std::vector<V> layoutRecords;
    int tab = 0;
    for (const TkDbBlockRecord& b : spaces) {
        const bool model = b.isModelSpace();
        const std::string name = model ? "Model" : "Layout" + std::to_string(tab);
        const uint64_t layout = allocateHandle();
        layoutEntries.emplace_back(name, layout);
        layoutRecords.push_back(layoutRecord(layout, layoutDict, name, model ? 0 : tab, b.handle(), TkDbPaper{}, model));
        byHandle(b.handle())->set(340, H(layout), "AcDbBlockTableRecord");
        ++tab;
    }
    dictionary(root, 0, {{"ACAD_GROUP", groups}, {"ACAD_LAYOUT", layoutDict}, {"ACAD_PLOTSETTINGS", setups}});
    dictionary(groups, root, {});
    dictionary(layoutDict, root, layoutEntries);
    dictionary(setups, root, {});
    for (const V& l : layoutRecords) appendRecord("OBJECTS", l);
    problems_.push_back(TkDbResult::fail(eTkBadStructure, "the drawing had no OBJECTS section; its named objects dictionary and " +
                                                              std::to_string(spaces.size()) + " layouts were made anew"));
}

TkDbResult TkDbDatabase::addPageSetup(std::string_view name, const TkDbPaper& paper, std::string_view device) {
    if (name.empty()) return TkDbResult::fail(eTkInvalidInput, "a page setup needs a name");
    auto root = dictionary(namedObjectsDictionary());
    if (!root) return TkDbResult::fail(eTkBadStructure, "the drawing has no named objects dictionary");
    uint64_t dictH = getOrAddDictionary(root->handle(), "ACAD_PLOTSETTINGS");
    auto dict = dictionary(dictH);
    if (!dict) return TkDbResult::fail(eTkBadStructure, "the drawing's page setup dictionary cannot be made");
    if (dict->get(name)) return TkDbResult::fail(eTkDuplicateKey, "a page setup named \"" + std::string(name) + "\" exists already");
    uint64_t h = allocateHandle();
    V v{{0, "PLOTSETTINGS"}, {5, H(h)}, {102, "{ACAD_REACTORS"}, {330, H(dictH)}, {102, "}"}, {330, H(dictH)}};
    V plot = plotSettingsPart(name, device, paper, false);
    v.insert(v.end(), plot.begin(), plot.end());
    appendRecord("OBJECTS", v);
    TkDbRecord* d = byHandle(dictH);
    size_t at = d->xdataStart();
    d->insert(at, 3, std::string(name));
    d->insert(at + 1, 350, H(h));
    return TkDbResult::success();
}

uint64_t TkDbDatabase::addBlock(std::string_view name, const TkDbPoint3& base) {
    TkDbRecord* head = tableHead(*this, "BLOCK_RECORD");
    if (!head || name.empty() || name.front() == '*' || findBlockRecord(name)) return 0;
    uint64_t brH = allocateHandle(), beginH = allocateHandle(), endH = allocateHandle();
    appendRecord("TABLES",
                 {{0, "BLOCK_RECORD"}, {5, H(brH)}, {330, H(head->handle())}, {100, "AcDbSymbolTableRecord"},
                  {100, "AcDbBlockTableRecord"}, {2, std::string(name)}, {340, "0"}, {70, "0"}, {280, "1"}, {281, "0"}},
                 endOfTable(*this, "BLOCK_RECORD"));
    appendRecord("BLOCKS", {{0, "BLOCK"}, {5, H(beginH)}, {330, H(brH)}, {100, "AcDbEntity"}, {8, "0"},
                            {100, "AcDbBlockBegin"}, {2, std::string(name)}, {70, "0"}, {10, D(base.x)},
                            {20, D(base.y)}, {30, D(base.z)}, {3, std::string(name)}, {1, ""}});
    appendRecord("BLOCKS", {{0, "ENDBLK"}, {5, H(endH)}, {330, H(brH)}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}});
    return brH;
}

bool TkDbDatabase::addLayer(std::string_view name, int color) {
    TkDbRecord* head = tableHead(*this, "LAYER");
    if (!head || name.empty()) return false;
    for (TkDbRecord* r : tableEntries("LAYER"))
        if (tkDbNameEqualNoCase(r->str(2), name)) return false;
    appendRecord("TABLES",
                 {{0, "LAYER"}, {5, H(allocateHandle())}, {330, H(head->handle())}, {100, "AcDbSymbolTableRecord"},
                  {100, "AcDbLayerTableRecord"}, {2, std::string(name)}, {70, "0"}, {62, std::to_string(color)},
                  {6, "Continuous"}, {370, "-3"}, {390, "F"}},
                 endOfTable(*this, "LAYER"));
    return true;
}

TkDbRecord* TkDbDatabase::addEntity(uint64_t br, std::string_view type, const std::vector<TkDbValue>& data,
                                    std::string_view layer) {
    const TkDbRecord* brRec = byHandle(br);
    if (!brRec || brRec->type() != "BLOCK_RECORD") return nullptr;
    TkDbBlockRecord b(brRec);
    bool paper = b.isPaperSpace();
    bool inEntities = b.isModelSpace() || tkDbNameEqualNoCase(b.name(), "*Paper_Space");
    V v{{0, std::string(type)}, {5, H(allocateHandle())}, {330, H(br)}, {100, "AcDbEntity"}};
    if (paper) v.push_back({67, "1"});
    v.push_back({8, std::string(layer)});
    v.insert(v.end(), data.begin(), data.end());
    if (inEntities) return appendRecord("ENTITIES", v);
    // Inside a block definition: before its ENDBLK.
    const TkDbSection* s = section("BLOCKS");
    const TkDbRecord* begin = blockBegin(br);
    if (!s || !begin) return nullptr;
    auto it = std::find(s->records.begin(), s->records.end(), begin);
    while (it != s->records.end() && (*it)->type() != "ENDBLK") ++it;
    return appendRecord("BLOCKS", v, it == s->records.end() ? nullptr : *it);
}
