// Rendering layouts and block icons: what a thumbnail must show, and icons the drawing stores
// with wrong sizes.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/TestFiles.h"
#include "toolkit/gs/TkGsRenderer.h"

namespace {

int countPixels(const QImage& img, QRect area, const std::function<bool(QColor)>& match) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (match(img.pixelColor(x, y))) ++n;
    return n;
}

bool isRed(QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; }
bool isDark(QColor c) { return c.lightness() < 100; }

}  // namespace

TEST(Renderer, LayoutShowsItsEntitiesAndTheModelThroughItsViewport) {
    auto db = makeThreeSheetDrawing();  // "Sheet A": A1 paper, circle at (400,300) r 25
    auto a = db->findLayout("Sheet A");
    uint64_t br = a->blockRecordHandle();
    // A red frame around the sheet content, and a viewport onto a white (7) model-space square.
    db->addEntity(br, "LWPOLYLINE", {{100, "AcDbPolyline"}, {90, "4"}, {70, "1"}, {62, "1"}, {10, "0"}, {20, "0"},
                                     {10, "800"}, {20, "0"}, {10, "800"}, {20, "600"}, {10, "0"}, {20, "600"}});
    db->addEntity(db->modelSpace(), "SOLID", {{100, "AcDbTrace"}, {10, "1000"}, {20, "1000"}, {30, "0"}, {11, "1100"}, {21, "1000"},
                                              {31, "0"}, {12, "1000"}, {22, "1100"}, {32, "0"}, {13, "1100"}, {23, "1100"}, {33, "0"}});
    db->addEntity(br, "VIEWPORT", {{100, "AcDbViewport"}, {10, "150"}, {20, "150"}, {30, "0"}, {40, "200"}, {41, "200"},
                                   {68, "1"}, {69, "2"}, {12, "1050"}, {22, "1050"}, {45, "400"}});
    auto back = saveAndReload(*db);
    TkGsRenderer r(*back);
    QImage img = r.renderLayout("Sheet A", 256, 168);
    ASSERT_EQ(img.size(), QSize(256, 168));
    // The red frame fills the view less the 1.1 margin: red near every edge, white corners.
    EXPECT_GT(countPixels(img, QRect(0, 0, 256, 20), isRed), 50);
    EXPECT_GT(countPixels(img, QRect(0, 148, 256, 20), isRed), 50);
    EXPECT_EQ(img.pixelColor(1, 1), QColor(Qt::white));
    // The model square, white in the drawing, is drawn dark on the paper at the viewport's centre
    // (paper (150,150) is pixel (64,122); the square is 12 pixels wide there).
    EXPECT_GT(countPixels(img, QRect(60, 118, 8, 8), isDark), 50);
    EXPECT_EQ(countPixels(img, QRect(160, 60, 60, 60), isDark), 0);
    // Sizes 64x42 and 128x84 work the same; an unknown layout gives nothing.
    EXPECT_EQ(r.renderLayout("Sheet A", 64, 42).size(), QSize(64, 42));
    EXPECT_TRUE(r.renderLayout("No such layout", 64, 42).isNull());
    // An empty layout is a white sheet.
    QImage empty = r.renderLayout("Sheet C", 64, 42);
    EXPECT_EQ(countPixels(empty, empty.rect(), isDark), 0);
}

TEST(Renderer, LineweightPixelsFollowTheTable) {
    auto db = TkDbDatabase::createNew();
    TkGsOptions shown;
    shown.showLineweights = true;
    shown.lineweightScale = 1.0;
    TkGsRenderer r(*db, shown);
    EXPECT_EQ(r.lineweightPixels(25), 2);   // index 7
    EXPECT_EQ(r.lineweightPixels(30), 6);   // index 8
    EXPECT_EQ(r.lineweightPixels(50), 10);  // index 11
    EXPECT_EQ(r.lineweightPixels(211), 30);
    EXPECT_EQ(TkGsRenderer(*db).lineweightPixels(211), 0);  // LWDISPLAY off: one-pixel lines
}

TEST(Renderer, BlockIconsAreCheckedForTheirSize) {
    // A 2 x 2 icon, 8 bits a pixel: rows of 4 bytes, 256 colours before the bits.
    std::vector<unsigned char> dib(40 + 256 * 4 + 8, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) dib[at + static_cast<size_t>(k)] = static_cast<unsigned char>(v >> (8 * k));
    };
    put32(0, 40);
    put32(4, 2);
    put32(8, 2);
    dib[12] = 1;
    dib[14] = 8;
    put32(20, 8);                     // stored image size: exactly what two rows need
    put32(40 + 4 * 5, 0x00FF0000);    // colour 5 is red
    dib[40 + 1024] = 5;               // bottom-left pixel
    QImage icon = tkGsIconImage(dib);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixelColor(0, 1), QColor(255, 0, 0));
    put32(20, 7);  // claims less than its rows need: damaged
    EXPECT_TRUE(tkGsIconImage(dib).isNull());
    put32(20, 4000);  // claims more: cut to what the rows need
    EXPECT_FALSE(tkGsIconImage(dib).isNull());

    // 24 bits a pixel has no colour table, whatever the header says about used colours.
    std::vector<unsigned char> rgb(40 + 2 * 8, 0);
    rgb[0] = 40;
    rgb[4] = 2;
    rgb[8] = 2;
    rgb[12] = 1;
    rgb[14] = 24;
    rgb[32] = 16;  // "colours used"
    rgb[40 + 8 + 0] = 0xFF;  // top-left pixel (second row in the file) blue
    QImage blue = tkGsIconImage(rgb);
    ASSERT_FALSE(blue.isNull());
    EXPECT_EQ(blue.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_TRUE(tkGsIconImage(std::vector<unsigned char>(30, 0)).isNull());
}
