// Extents written on save: other programs zoom and scale the drawing from them.
#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace {
double var(const TkDbDatabase& db, const char* name, int code) {
    const TkDbRecord* r = db.headerVar(name);
    return r ? r->real(code) : 0.0;
}
}  // namespace

TEST(Extents, ModelAndLayoutExtentsCoverWhatIsDrawn) {
    auto db = makeThreeSheetDrawing();  // line (0,0)-(100,50) in model space, circle in "Sheet A"
    uint64_t ms = db->modelSpace();
    db->addEntity(ms, "CIRCLE", {{100, "AcDbCircle"}, {10, "200"}, {20, "0"}, {30, "0"}, {40, "10"}});
    db->addEntity(ms, "ARC", {{100, "AcDbCircle"}, {10, "0"}, {20, "100"}, {30, "0"}, {40, "20"}, {100, "AcDbArc"},
                              {50, "0"}, {51, "90"}});
    // A half circle below its chord: the bulge of 1 sweeps counter-clockwise from (300,0) to (320,0).
    db->addEntity(ms, "LWPOLYLINE", {{100, "AcDbPolyline"}, {90, "2"}, {70, "0"}, {10, "300"}, {20, "0"}, {42, "1"},
                                     {10, "320"}, {20, "0"}});
    // A block of one 10-unit line, inserted twice as large and turned a quarter.
    uint64_t b = db->addBlock("B");
    db->addEntity(b, "LINE", {{100, "AcDbLine"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "10"}, {21, "0"}, {31, "0"}});
    db->addEntity(ms, "INSERT", {{100, "AcDbBlockReference"}, {2, "B"}, {10, "500"}, {20, "500"}, {30, "0"},
                                 {41, "2"}, {42, "2"}, {43, "2"}, {50, "90"}});
    auto back = saveAndReload(*db);
    EXPECT_NEAR(var(*back, "$EXTMIN", 10), 0, 1e-9);
    EXPECT_NEAR(var(*back, "$EXTMIN", 20), -10, 1e-9);
    EXPECT_NEAR(var(*back, "$EXTMAX", 10), 500, 1e-9);
    EXPECT_NEAR(var(*back, "$EXTMAX", 20), 520, 1e-9);

    // Layout extents leave out the overall viewport: they are what is drawn on the sheet.
    auto a = back->findLayout("Sheet A");
    EXPECT_NEAR(a->extMin().x, 375, 1e-9);
    EXPECT_NEAR(a->extMin().y, 275, 1e-9);
    EXPECT_NEAR(a->extMax().x, 425, 1e-9);
    EXPECT_NEAR(a->extMax().y, 325, 1e-9);
    // An empty layout says so the way CAD programs do.
    EXPECT_GT(back->findLayout("Sheet C")->extMin().x, 1e19);
}

TEST(Extents, ExtrudedCircleIsMirrored) {
    // A circle drawn with its normal pointing down lies mirrored in x in world coordinates.
    auto db = TkDbDatabase::createNew();
    db->addEntity(db->modelSpace(), "CIRCLE",
                  {{100, "AcDbCircle"}, {10, "50"}, {20, "10"}, {30, "0"}, {40, "5"}, {210, "0"}, {220, "0"}, {230, "-1"}});
    TkDbPoint3 lo, hi;
    ASSERT_TRUE(db->blockExtents(db->modelSpace(), lo, hi));
    EXPECT_NEAR(lo.x, -55, 1e-9);
    EXPECT_NEAR(hi.x, -45, 1e-9);
    EXPECT_NEAR(lo.y, 5, 1e-9);
    EXPECT_FALSE(db->blockExtents(db->addBlock("EMPTY"), lo, hi));
}
