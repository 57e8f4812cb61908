// Drawings made to hang or crash us: arcs of 1e15 degrees, bulges past what a double holds, ten
// billion entities from ten levels of references, arrays of a billion copies. Each goes through
// what users run on them: a thumbnail, a save (which measures the extents) and a published page.
// The clock is only a hang guard, far above what any of them takes.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <chrono>
#include <cmath>
#include <functional>
#include <string>

#include "tests/support/TestFiles.h"
#include "toolkit/db/TkDbExtents.h"
#include "toolkit/gs/TkGsRenderer.h"

namespace {

// A million entities drawn in a Debug build under AddressSanitizer take half a minute, not seconds:
// the guard is wider there, still far short of the hours the unbounded drawings took.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kHangGuardSeconds = 90;
#else
constexpr double kHangGuardSeconds = 10;
#endif

struct Outcome {
    QImage thumb;
    std::vector<std::string> notes;  // of the thumbnail
    TkDbPoint3 extMin, extMax;       // as the save wrote them
    qint64 pdfBytes = 0;
};

double secondsOf(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TkDbPoint3 headerPoint(const TkDbDatabase& db, const char* name) {
    const TkDbRecord* r = db.headerVar(name);
    return r ? TkDbPoint3{r->real(10), r->real(20), r->real(30)} : TkDbPoint3{};
}

// A thumbnail, a save and an A3 page at the publisher's 1200 dots an inch, each under the guard.
Outcome runEverywhere(TkDbDatabase& db, const std::string& layout = "Model") {
    Outcome out;
    double s = secondsOf([&] { out.thumb = TkGsRenderer(db).renderLayout(layout, 256, 168, &out.notes); });
    EXPECT_LT(s, kHangGuardSeconds) << "thumbnail";

    std::string text;
    s = secondsOf([&] { EXPECT_TRUE(db.writeDxf(text, kTkDbVerR2010).ok()); });
    EXPECT_LT(s, kHangGuardSeconds) << "save";
    out.extMin = headerPoint(db, "$EXTMIN");
    out.extMax = headerPoint(db, "$EXTMAX");

    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    s = secondsOf([&] {
        QPdfWriter writer(&pdf);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::A3));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        TkGsOptions options;
        options.deviceUnitsPerMm = 1200 / 25.4;
        options.textAsText = true;
        TkGsRenderer renderer(db, options);
        QRectF box;
        if (!renderer.layoutBox(layout, box)) box = QRectF(0, 0, 420, 297);
        const double w = 420 * options.deviceUnitsPerMm, h = 297 * options.deviceUnitsPerMm;
        const double scale = std::min(w / std::max(box.width(), 1e-9), h / std::max(box.height(), 1e-9));
        QTransform xf;
        xf.translate(w / 2, h / 2);
        xf.scale(scale, -scale);
        xf.translate(-box.center().x(), -box.center().y());
        QPainter painter(&writer);
        renderer.paint(painter, layout, xf);
    });
    EXPECT_LT(s, kHangGuardSeconds) << "PDF page";
    out.pdfBytes = pdf.size();
    return out;
}

int darkPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y).lightness() < 128;
    return n;
}

// Drawn, and not a sheet of ink: the picture shows the drawing.
void expectSane(const Outcome& o) {
    ASSERT_EQ(o.thumb.size(), QSize(256, 168));
    const int dark = darkPixels(o.thumb);
    EXPECT_GT(dark, 20);
    EXPECT_LT(dark, 256 * 168 / 2);
    EXPECT_GT(o.pdfBytes, 500);
    for (double v : {o.extMin.x, o.extMin.y, o.extMax.x, o.extMax.y}) EXPECT_TRUE(std::isfinite(v) && std::fabs(v) < 1e19) << v;
}

void addLine(TkDbDatabase& db, uint64_t br, double x0, double y0, double x1, double y1) {
    db.addEntity(br, "LINE", {{100, "AcDbLine"}, {10, std::to_string(x0)}, {20, std::to_string(y0)}, {30, "0"},
                              {11, std::to_string(x1)}, {21, std::to_string(y1)}, {31, "0"}});
}

void addInsert(TkDbDatabase& db, uint64_t br, const std::string& block, double x, double y, int columns = 1, int rows = 1,
               double spacing = 0, const std::string& scale = "1") {
    db.addEntity(br, "INSERT", {{100, "AcDbBlockReference"}, {2, block}, {10, std::to_string(x)}, {20, std::to_string(y)},
                                {30, "0"}, {41, scale}, {42, scale}, {43, scale}, {70, std::to_string(columns)},
                                {71, std::to_string(rows)}, {44, std::to_string(spacing)}, {45, std::to_string(spacing)}});
}

bool hasNote(const std::vector<std::string>& notes, const std::string& start) {
    for (const std::string& n : notes)
        if (n.rfind(start, 0) == 0) return true;
    return false;
}

}  // namespace

TEST(HostileDrawings, CurvesTakeBoundedSegmentsWhateverTheirAngles) {
    struct Case {
        const char* what;
        std::vector<TkDbValue> arc;  // an ARC about the origin, radius 10
        double minX, minY, maxX, maxY;
    };
    const double c280 = 10 * std::cos(280 * M_PI / 180), s280 = 10 * std::sin(280 * M_PI / 180);
    const std::vector<Case> cases = {
        // 1e15 degrees is 280 degrees on: the arc passes all four quarter points.
        {"to 1e15 degrees", {{50, "0"}, {51, "1e15"}}, -10, -10, 10, 10},
        // From 280 degrees round to 360: a loop adding turns to the end angle would never finish.
        {"from 1e15 degrees", {{50, "1e15"}, {51, "0"}}, c280, s280, 10, 0},
        {"from -1e300 degrees", {{50, "-1e300"}, {51, "1e300"}}, -10, -10, 10, 10},
    };
    for (const Case& c : cases) {
        auto db = TkDbDatabase::createNew();
        std::vector<TkDbValue> arc = {{100, "AcDbCircle"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "10"}, {100, "AcDbArc"}};
        arc.insert(arc.end(), c.arc.begin(), c.arc.end());
        db->addEntity(db->modelSpace(), "ARC", arc);
        const Outcome o = runEverywhere(*db);
        SCOPED_TRACE(c.what);
        expectSane(o);
        EXPECT_NEAR(o.extMin.x, c.minX, 1e-6);
        EXPECT_NEAR(o.extMin.y, c.minY, 1e-6);
        EXPECT_NEAR(o.extMax.x, c.maxX, 1e-6);
        EXPECT_NEAR(o.extMax.y, c.maxY, 1e-6);
    }

    // Ellipses with parameters far out, bulges from a hair to past what a double holds, and a
    // circle a million times larger than the sheet: each takes a bounded number of segments.
    auto db = TkDbDatabase::createNew();
    const uint64_t ms = db->modelSpace();
    db->addEntity(ms, "ELLIPSE", {{100, "AcDbEllipse"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "50"}, {21, "0"}, {31, "0"},
                                  {40, "0.5"}, {41, "1e15"}, {42, "0"}});
    db->addEntity(ms, "ELLIPSE", {{100, "AcDbEllipse"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "0"}, {21, "1e6"}, {31, "0"},
                                  {40, "1e300"}, {41, "0"}, {42, "1e300"}});
    db->addEntity(ms, "LWPOLYLINE", {{100, "AcDbPolyline"}, {90, "5"}, {70, "1"}, {10, "0"}, {20, "0"}, {42, "1e12"},
                                     {10, "100"}, {20, "0"}, {42, "-1e300"}, {10, "100"}, {20, "100"}, {42, "1e-300"},
                                     {10, "0"}, {20, "100"}, {42, "-1e200"}, {10, "-50"}, {20, "50"}, {42, "1e308"}});
    db->addEntity(ms, "CIRCLE", {{100, "AcDbCircle"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "1e9"}});
    db->addEntity(ms, "HATCH", {{100, "AcDbHatch"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "SOLID"}, {70, "1"}, {71, "0"},
                                {91, "1"}, {92, "1"}, {93, "1"}, {72, "2"}, {10, "0"}, {20, "0"}, {40, "5"}, {50, "-1e15"},
                                {51, "1e15"}, {73, "1"}});
    expectSane(runEverywhere(*db));
}

TEST(HostileDrawings, NestingAndArraysStopAtTheBudget) {
    // Ten levels of ten references each: ten billion lines from a drawing of a few kilobytes.
    {
        auto db = TkDbDatabase::createNew();
        addLine(*db, db->addBlock("L9"), 0, 0, 100, 50);
        for (int level = 8; level >= 0; --level) {
            const uint64_t b = db->addBlock("L" + std::to_string(level));
            for (int k = 0; k < 10; ++k) addInsert(*db, b, "L" + std::to_string(level + 1), 0, 0);
        }
        addInsert(*db, db->modelSpace(), "L0", 0, 0);
        // Model space's own line after the references: drawn and measured whatever they spent.
        addLine(*db, db->modelSpace(), 200, -50, 300, -50);
        const Outcome o = runEverywhere(*db);
        expectSane(o);
        EXPECT_TRUE(hasNote(o.notes, "over 1000000 entities from nested blocks: the rest skipped"));
        EXPECT_NEAR(o.extMin.y, -50, 1e-9);
        EXPECT_NEAR(o.extMax.x, 300, 1e-9);
        EXPECT_NEAR(o.extMax.y, 50, 1e-9);
        EXPECT_GT(darkPixels(o.thumb.copy(128, 120, 128, 48)), 20);  // the line, lower right
    }
    // Forty blocks each inside the one before, a line in each a unit higher: the first sixteen
    // levels are drawn and measured, and the audit hears of the rest.
    {
        auto db = TkDbDatabase::createNew();
        for (int k = 0; k < 40; ++k) {
            const uint64_t b = db->addBlock("C" + std::to_string(k));
            addLine(*db, b, 0, k, 100, k);
            addInsert(*db, b, "C" + std::to_string(k + 1), 0, 0);
        }
        addInsert(*db, db->modelSpace(), "C0", 0, 0);
        const Outcome o = runEverywhere(*db);
        expectSane(o);
        EXPECT_TRUE(hasNote(o.notes, "block nesting deeper than 16 levels: skipped"));
        EXPECT_NEAR(o.extMax.y, 15, 1e-9);
        TkDbPoint3 lo, hi;
        std::vector<std::string> notes;
        ASSERT_TRUE(db->blockExtents(db->modelSpace(), lo, hi, &notes));
        EXPECT_TRUE(hasNote(notes, "block nesting deeper than 16 levels: skipped"));
    }
    // An array of 32767 x 32767 copies, and a block that holds two references to itself: what a
    // pass draws is what the extents measure, a part of the whole.
    {
        auto db = TkDbDatabase::createNew();
        const uint64_t cell = db->addBlock("CELL");
        db->addEntity(cell, "CIRCLE", {{100, "AcDbCircle"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "4"}});
        addInsert(*db, db->modelSpace(), "CELL", 0, 0, 32767, 32767, 10);
        const uint64_t self = db->addBlock("SELF");
        addLine(*db, self, 0, -10, 10, -20);
        addInsert(*db, self, "SELF", 0, 0);
        addInsert(*db, self, "SELF", 0, 0);
        addInsert(*db, db->modelSpace(), "SELF", 0, 0);
        const Outcome o = runEverywhere(*db);
        expectSane(o);
        EXPECT_TRUE(hasNote(o.notes, "over 1000000 entities"));
        EXPECT_NEAR(o.extMin.x, -4, 1e-9);
        EXPECT_GT(o.extMax.x, 32766 * 10);   // the first row is whole
        EXPECT_LT(o.extMax.y, 32766 * 10 / 2);  // and far from all of them
        // The self-reference never came to be drawn: the array spent the budget first.
        EXPECT_NEAR(o.extMin.y, -4, 1e-9);
    }
}

// Each viewport draws the model again from the layout's one budget: a model of 600,000 that one
// viewport shows whole is cut off when two show it, and the audit's note says so as the render's does.
TEST(HostileDrawings, ViewportsShareTheLayoutsBudget) {
    for (int viewports : {1, 2}) {
        SCOPED_TRACE(viewports);
        auto db = TkDbDatabase::createNew();
        addLine(*db, db->addBlock("DOT"), 0, 0, 1, 0);
        addInsert(*db, db->modelSpace(), "DOT", 0, 0, 600, 500, 2);  // 300,000 copies of weight 2
        ASSERT_TRUE(db->addLayout("Sheet", TkDbPaper{}, true).ok());
        const uint64_t sheet = db->findLayout("Sheet")->blockRecordHandle();
        for (int k = 0; k < viewports; ++k)
            db->addEntity(sheet, "VIEWPORT", {{100, "AcDbViewport"}, {10, std::to_string(100 + 200 * k)}, {20, "150"}, {30, "0"},
                                              {40, "150"}, {41, "150"}, {68, "1"}, {69, std::to_string(2 + k)}, {12, "600"},
                                              {22, "500"}, {45, "1000"}});
        std::vector<std::string> notes;
        const QImage img = TkGsRenderer(*db).renderLayout("Sheet", 256, 168, &notes);
        EXPECT_FALSE(img.isNull());
        const std::string audit = TkDbExtentsCalc(*db).viewportsNote(sheet);
        EXPECT_EQ(hasNote(notes, "over 1000000 entities"), viewports == 2);
        EXPECT_EQ(audit.empty(), viewports == 1) << audit;
        if (viewports == 2) {
            EXPECT_EQ(audit.rfind("2 viewports show 6000", 0), 0u) << audit;
        }
    }
}

TEST(HostileDrawings, ValuesThatOverflowDrawAndMeasureNothing) {
    // The reader refuses nan and infinity; edits and arithmetic can still make them: a line to
    // infinity, a scale of 1e300 applied twice. They are left out, the rest is drawn.
    auto db = TkDbDatabase::createNew();
    const uint64_t ms = db->modelSpace();
    addLine(*db, ms, 0, 0, 100, 50);
    db->addEntity(ms, "LINE", {{100, "AcDbLine"}, {10, "nan"}, {20, "0"}, {30, "0"}, {11, "inf"}, {21, "-inf"}, {31, "0"}});
    db->addEntity(ms, "CIRCLE", {{100, "AcDbCircle"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "inf"}});
    db->addEntity(ms, "ARC", {{100, "AcDbCircle"}, {10, "5"}, {20, "5"}, {30, "0"}, {40, "1"}, {100, "AcDbArc"}, {50, "nan"}, {51, "inf"}});
    const uint64_t big = db->addBlock("BIG");
    addLine(*db, big, 0, 0, 1e300, 1e300);
    const uint64_t bigger = db->addBlock("BIGGER");
    addInsert(*db, bigger, "BIG", 0, 0, 1, 1, 0, "1e300");
    addInsert(*db, ms, "BIGGER", 0, 0, 1, 1, 0, "1e300");
    const Outcome o = runEverywhere(*db);
    expectSane(o);
    EXPECT_NEAR(o.extMin.x, 0, 1e-9);
    EXPECT_NEAR(o.extMax.x, 100, 1e-9);
    EXPECT_NEAR(o.extMax.y, 50, 1e-9);
}
