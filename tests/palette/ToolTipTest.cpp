// The drawn tooltips of the sheet tree: what each style puts in the bitmap (name, preview box,
// details), items without a preview, and a tip kept on the screen's work area.
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

#include "dialogs/ComponentToolTip.h"
#include "host/Documents.h"
#include "toolkit/common/TkUtf8.h"
#include "palette/PaletteIds.h"
#include "tests/palette/PaletteFixture.h"

namespace {

// Asks the tree for the tip of `item` in `style`, as hovering does, and returns its bitmap.
QImage tipOf(CSheetListWnd& wnd, CSheetsetTree* tree, QTreeWidgetItem* item, int style) {
    wnd.OnCommand(pal::kCmdToolTipStyleFirst + style);
    QPoint at = tree->visualItemRect(item).center();
    QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &help);
    return tree->toolTip() ? tree->toolTip()->bitmap() : QImage();
}

int titleBand(const QString& title) {
    return QFontMetrics(QToolTip::font()).boundingRect(QRect(0, 0, 310, 4096), Qt::TextWordWrap, title).height() + 4;
}

bool hasInk(const QImage& img, const QRect& area) {
    // Anything darker than the tooltip fill inside `area`: the drawing's lines.
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 100) return true;
    return false;
}

}  // namespace

TEST_F(PaletteTest, TooltipStylesDrawNamePreviewAndDetails) {
    ASSERT_TRUE(vrDocManagerPtr()->openDocument(tkFromUtf8(drawingB), false));  // previews are drawn with a drawing open
    openWindow();
    item("A")->setExpanded(true);
    QTreeWidgetItem* a1 = item("a1");
    const int band = titleBand(a1->text(0));

    QImage name = tipOf(*wnd, tree(), a1, 0);
    ASSERT_FALSE(name.isNull());
    EXPECT_EQ(name.height(), band);
    EXPECT_EQ(name.pixelColor(0, 0), QColor(118, 118, 118));  // the border
    EXPECT_TRUE(tree()->toolTip()->isVisible());

    // Large preview: the 256 x 168 box under the title band, with the sheet's drawing in it.
    QImage large = tipOf(*wnd, tree(), a1, 3);
    EXPECT_EQ(large.height(), band + 168 + 4);
    EXPECT_EQ(large.width(), 256 + 8 + 8);
    EXPECT_TRUE(hasInk(large, QRect(8, band + 2, 256, 168)));
    EXPECT_EQ(large.pixelColor(large.width() / 2, band), QColor(118, 118, 118));  // the line under the title

    QImage small = tipOf(*wnd, tree(), a1, 5);  // small preview and the details under it
    EXPECT_GT(small.height(), band + 42 + 4 + 4);
    EXPECT_GE(small.width(), 64 + 16);

    // The same item in the same style keeps the tip drawn; another style draws it anew.
    const qint64 key = tree()->toolTip()->bitmap().cacheKey();
    tipOf(*wnd, tree(), a1, 5);
    EXPECT_EQ(tree()->toolTip()->bitmap().cacheKey(), key);

    // A subset has no preview: name and details only. A sheet whose drawing is missing has no box.
    QImage subset = tipOf(*wnd, tree(), item("A"), 7);
    EXPECT_LT(subset.height(), titleBand("A") + 168);
    EXPECT_GT(subset.height(), titleBand("A"));
    QImage missing = tipOf(*wnd, tree(), item("a3"), 3);
    EXPECT_EQ(missing.height(), titleBand(item("a3")->text(0)));

    // Moving off the items takes the tip away.
    QMouseEvent leave(QEvent::Leave, QPointF(), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tree()->viewport(), &leave);
    EXPECT_FALSE(tree()->toolTip()->isVisible());
}

TEST(ComponentTip, StaysOnTheWorkArea) {
    const QRect work(0, 40, 1000, 700);  // a panel along the top
    EXPECT_EQ(placeTipOnWorkArea(QRect(100, 100, 200, 80), work), QPoint(100, 100));
    EXPECT_EQ(placeTipOnWorkArea(QRect(-30, 100, 200, 80), work), QPoint(0, 100));
    EXPECT_EQ(placeTipOnWorkArea(QRect(900, 100, 200, 80), work), QPoint(800, 100));
    EXPECT_EQ(placeTipOnWorkArea(QRect(100, 700, 200, 80), work), QPoint(100, 700 - 20 - 80));  // above the mouse
    EXPECT_EQ(placeTipOnWorkArea(QRect(100, 10, 200, 80), work), QPoint(100, 40));
    EXPECT_EQ(tipPreviewBox(2), QSize(128, 84));
    EXPECT_EQ(tipPreviewRequest(4), -1);
    EXPECT_EQ(tipPreviewRequest(7), 2);
}
