// The named objects dictionary, xrecords, header variables and handles, as the sheet-set stamp and
// the drawing status use them.
#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"
#include "toolkit/db/TkDbTagWriter.h"

TEST(Objects, DictionaryOfXrecordsSurvivesSaveAndReplacesEntries) {
    auto db = TkDbDatabase::createNew();
    uint64_t root = db->namedObjectsDictionary();
    ASSERT_NE(root, 0u);
    uint64_t seed = db->handleSeed();
    uint64_t dict = db->getOrAddDictionary(root, "VrSheetSetData");
    ASSERT_GE(dict, seed);  // new handles come from above the seed
    EXPECT_EQ(db->getOrAddDictionary(root, "VrSheetSetData"), dict);
    uint64_t x1 = db->setXrecord(dict, "ShSetFileName", {{1, "/projects/Library/Library.dst"}});
    uint64_t x2 = db->setXrecord(dict, "ShSetVersion", {{90, "2"}});
    ASSERT_NE(x1, 0u);
    ASSERT_NE(x2, 0u);
    // Writing an entry again replaces its value; the dictionary keeps one entry of that name.
    EXPECT_EQ(db->setXrecord(dict, "ShSetFileName", {{1, "/projects/Other.dst"}, {90, "7"}}), x1);
    EXPECT_EQ(db->getOrAddDictionary(dict, "ShSetFileName"), 0u);  // taken by an xrecord

    auto back = saveAndReload(*db);
    auto r = back->dictionary(back->namedObjectsDictionary());
    auto d = back->dictionary(r->get("VrSheetSetData"));
    ASSERT_TRUE(d);
    ASSERT_EQ(d->entries().size(), 2u);
    auto x = back->xrecord(d->get("ShSetFileName"));
    ASSERT_TRUE(x);
    auto values = x->values();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].code, 1);
    EXPECT_EQ(values[0].text, "/projects/Other.dst");
    EXPECT_EQ(values[1].code, 90);
    EXPECT_EQ(values[1].text, "7");
    EXPECT_EQ(back->xrecord(d->get("ShSetVersion"))->values().at(0).text, "2");
    // The handle seed written is above every handle in the drawing.
    uint64_t written = 0;
    ASSERT_TRUE(tkDbParseHandle(back->getVar("$HANDSEED"), written));
    EXPECT_GT(written, x2);

    ASSERT_TRUE(back->removeDictionaryEntry(d->handle(), "ShSetVersion"));
    EXPECT_EQ(back->byHandle(x2), nullptr);
    EXPECT_FALSE(back->removeDictionaryEntry(d->handle(), "ShSetVersion"));
    EXPECT_EQ(saveAndReload(*back)->xrecord(x2), std::nullopt);
}

TEST(Objects, HeaderVariablesAndWhoSavedLast) {
    auto db = TkDbDatabase::createNew();
    db->setVar("$LWDISPLAY", 290, "1");
    db->setVar("$PROJECTNAME", 1, "Riverside");
    std::string text;
    TkDbSaveOptions opt;
    opt.lastSavedBy = "mchen";
    ASSERT_TRUE(db->writeDxf(text, kTkDbVerR2013, opt).ok());
    auto back = readText(text);
    EXPECT_EQ(back->getSysVar("LOGINNAME"), "mchen");
    EXPECT_EQ(back->getSysVar("lwdisplay"), "1");
    EXPECT_EQ(back->getVar("$PROJECTNAME"), "Riverside");
    EXPECT_EQ(back->getVar("$ACADVER"), "AC1027");
    EXPECT_EQ(back->version(), kTkDbVerR2013);
    EXPECT_EQ(back->getVar("$INSUNITS"), "4");
    EXPECT_EQ(back->getVar("$NOSUCHVAR"), "");
    // $ACADVER stays the first variable: some readers stop looking after it.
    EXPECT_EQ(back->section("HEADER")->records.front()->type(), "$ACADVER");
}

TEST(Objects, BlocksListPreviewIconsAndKinds) {
    auto db = TkDbDatabase::createNew();
    uint64_t br = db->addBlock("DOOR", {1, 2, 0});
    ASSERT_NE(br, 0u);
    EXPECT_EQ(db->addBlock("door"), 0u);  // block names are unique regardless of case
    EXPECT_EQ(db->addBlock("*U1"), 0u);
    // A 2x1 1-bit icon: header of 40 bytes, 2 colours, 4 bytes of pixels.
    std::string hex = "28000000020000000100000001000100000000000400000000000000000000000200000000000000"
                      "00000000FFFFFF0080000000";
    db->byHandle(br)->set(310, hex, "AcDbBlockTableRecord");
    auto back = saveAndReload(*db);
    auto door = back->findBlockRecord("Door");
    ASSERT_TRUE(door);
    auto icon = door->previewIcon();
    ASSERT_EQ(icon.size(), hex.size() / 2);
    EXPECT_EQ(icon[0], 0x28);
    EXPECT_EQ(icon.back(), 0x00);
    EXPECT_FALSE(door->isAnonymous());
    EXPECT_EQ(door->layoutHandle(), 0u);
    const TkDbRecord* begin = back->blockBegin(door->handle());
    ASSERT_NE(begin, nullptr);
    EXPECT_DOUBLE_EQ(begin->real(10), 1.0);
    auto ms = back->findBlockRecord("*MODEL_SPACE");
    ASSERT_TRUE(ms);
    EXPECT_TRUE(ms->isModelSpace());
    EXPECT_TRUE(back->findBlockRecord("*Model_Space")->previewIcon().empty());
}

TEST(Objects, NamedPageSetupsWithTheirPlotArea) {
    // Two named page setups as CAD programs store them: PLOTSETTINGS objects in ACAD_PLOTSETTINGS.
    auto db = TkDbDatabase::createNew();
    auto root = db->dictionary(db->namedObjectsDictionary());
    uint64_t dict = root->get("ACAD_PLOTSETTINGS");
    ASSERT_NE(dict, 0u);
    auto add = [&](const std::string& name, int flags, int plotType) {
        uint64_t h = db->allocateHandle();
        db->appendRecord("OBJECTS", {{0, "PLOTSETTINGS"}, {5, tkDbHandleText(h)}, {330, tkDbHandleText(dict)},
                                     {100, "AcDbPlotSettings"}, {1, name}, {2, "DWG To PDF.pc3"},
                                     {4, "ISO_full_bleed_A1_(841.00_x_594.00_MM)"}, {44, "841.0"}, {45, "594.0"},
                                     {70, std::to_string(flags)}, {72, "1"}, {73, "1"}, {74, std::to_string(plotType)}});
        db->byHandle(dict)->insert(db->byHandle(dict)->count(), 3, name);
        db->byHandle(dict)->insert(db->byHandle(dict)->count(), 350, tkDbHandleText(h));
    };
    add("PDF A1 Layout", 688, 5);
    add("Model Extents", 1024 | 688, 1);
    auto back = saveAndReload(*db);
    auto setups = back->pageSetups();
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_EQ(setups[0].pageSetupName(), "PDF A1 Layout");
    EXPECT_EQ(setups[0].plotDevice(), "DWG To PDF.pc3");
    EXPECT_EQ(setups[0].plotAreaType(), 5);
    EXPECT_FALSE(setups[0].isModelSetup());
    EXPECT_EQ(setups[0].plotRotation(), 1);
    EXPECT_DOUBLE_EQ(setups[0].paperWidth(), 841.0);
    EXPECT_EQ(setups[1].plotAreaType(), 1);
    EXPECT_TRUE(setups[1].isModelSetup());
}

TEST(Objects, EditsStayOutOfApplicationGroupsAndExtendedData) {
    auto db = readText(
        "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  5\n10\n102\n{ACAD_REACTORS\n  8\nnot-the-layer\n102\n}\n100\nAcDbEntity\n"
        "  8\nWALLS\n100\nAcDbLine\n 10\n0\n1001\nACME\n1000\nnote\n  8\nxdata-layer\n  0\nENDSEC\n  0\nEOF\n");
    TkDbRecord* line = db->byHandle(0x10);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->str(8), "WALLS");  // neither the group nor the extended data
    line->set(8, "DOORS");
    line->set(62, "3", "AcDbEntity");
    line->set(39, "2.5", "AcDbNoSuchSubclass");
    auto t = line->tags();
    size_t xdata = line->xdataStart();
    ASSERT_LT(xdata, t.size());
    EXPECT_EQ(t[xdata].value(), "ACME");
    EXPECT_EQ(t.back().value(), "xdata-layer");
    EXPECT_EQ(line->str(8), "DOORS");
    EXPECT_EQ(line->integer(62, "AcDbEntity"), 3);
    EXPECT_EQ(t[xdata - 1].code, 39);
    EXPECT_EQ(t[3].value(), "not-the-layer");
}
