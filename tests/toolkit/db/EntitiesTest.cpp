// The typed entities everything that draws or measures reads: defaults, repeated groups and the
// fields that differ between entity kinds.
#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"
#include "toolkit/db/TkDbEntities.h"

namespace {

// One entity in model space of a minimal drawing; returns its record.
const TkDbRecord* entityOf(TkDbDatabase& db, const std::string& type, const std::vector<TkDbValue>& data) {
    return db.addEntity(db.modelSpace(), type, data);
}

}  // namespace

TEST(Entities, ReadTheirGeometryWithDefaultsAndRepeatedGroups) {
    auto db = TkDbDatabase::createNew();
    // An attribute keeps its vertical alignment in 74, a text in 73; texts default to 2.5 high.
    const TkDbTextGeom attrib = tkDbText(*entityOf(*db, "ATTRIB", {{100, "AcDbText"}, {10, "1"}, {20, "2"},
                                                                    {30, "0"}, {40, "3"}, {1, "A"}, {100, "AcDbAttribute"}, {2, "TAG"},
                                                                    {70, "1"}, {74, "2"}, {11, "5"}, {21, "6"}, {31, "0"}, {72, "1"}}));
    EXPECT_EQ(attrib.vertical, 2);
    EXPECT_TRUE(attrib.aligned);
    EXPECT_DOUBLE_EQ(attrib.alignment.x, 5);
    EXPECT_TRUE(attrib.invisible);
    const TkDbTextGeom text = tkDbText(*entityOf(*db, "TEXT", {{100, "AcDbText"}, {10, "1"}, {20, "2"},
                                                                {30, "0"}, {1, "B"}, {41, "-1"}}));
    EXPECT_DOUBLE_EQ(text.height, 2.5);
    EXPECT_DOUBLE_EQ(text.widthFactor, 1);  // a nonsense width factor reads as none
    EXPECT_FALSE(text.aligned);

    // A lightweight polyline's vertices with their bulges and widths; the widest segment counts.
    const TkDbPolylineGeom lw = tkDbLwPolyline(*entityOf(*db, "LWPOLYLINE",
        {{100, "AcDbPolyline"}, {90, "3"}, {70, "1"}, {43, "0.5"}, {10, "0"}, {20, "0"}, {42, "1"},
         {10, "10"}, {20, "0"}, {40, "2"}, {41, "3"}, {10, "10"}, {20, "5"}}));
    ASSERT_EQ(lw.vertices.size(), 3u);
    EXPECT_TRUE(lw.closed);
    EXPECT_DOUBLE_EQ(lw.vertices[0].bulge, 1);
    EXPECT_DOUBLE_EQ(lw.width, 3);

    // Arcs run counter-clockwise from start to end, past 360 when they cross zero.
    const TkDbArcGeom arc = tkDbArc(*entityOf(*db, "ARC", {{100, "AcDbCircle"}, {10, "0"}, {20, "0"},
                                                            {30, "0"}, {40, "-2"}, {100, "AcDbArc"}, {50, "270"}, {51, "90"}}));
    EXPECT_DOUBLE_EQ(arc.radius, 2);
    EXPECT_GT(arc.end, arc.start);
    EXPECT_NEAR(arc.end - arc.start, kTkDbPi, 1e-9);

    // A damaged array count is held to what the file format's 16 bits can say; what the copies
    // cost is the drawing pass's budget.
    const TkDbInsertGeom ins = tkDbInsert(*entityOf(*db, "INSERT", {{100, "AcDbBlockReference"},
                                                                     {2, "X"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "999999"}, {71, "0"}}));
    EXPECT_EQ(ins.columns, 32767);
    EXPECT_EQ(ins.rows, 1);
    EXPECT_DOUBLE_EQ(ins.scale.y, 1);

    // Hatch boundaries: a polyline loop and an edge loop with a line and an ellipse arc.
    const TkDbHatchGeom hatch = tkDbHatch(*entityOf(*db, "HATCH",
        {{100, "AcDbHatch"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "SOLID"}, {70, "1"}, {71, "0"},
         {91, "2"}, {92, "2"}, {72, "1"}, {73, "1"}, {93, "2"}, {10, "0"}, {20, "0"}, {42, "0.5"}, {10, "4"}, {20, "0"},
         {97, "0"}, {92, "1"}, {93, "2"}, {72, "1"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}, {72, "3"}, {10, "1"}, {20, "1"},
         {11, "2"}, {21, "0"}, {40, "0.5"}, {50, "0"}, {51, "180"}, {73, "0"}, {97, "0"}, {75, "0"}, {76, "1"}, {98, "0"}}));
    EXPECT_TRUE(hatch.solid);
    ASSERT_EQ(hatch.loops.size(), 2u);
    EXPECT_TRUE(hatch.loops[0].isPolyline);
    ASSERT_EQ(hatch.loops[0].vertices.size(), 2u);
    EXPECT_DOUBLE_EQ(hatch.loops[0].vertices[0].bulge, 0.5);
    ASSERT_EQ(hatch.loops[1].edges.size(), 2u);
    EXPECT_EQ(hatch.loops[1].edges[1].kind, TkDbHatchEdge::EllipseArc);
    EXPECT_DOUBLE_EQ(hatch.loops[1].edges[1].ratio, 0.5);
    EXPECT_FALSE(hatch.loops[1].edges[1].counterClockwise);
}
