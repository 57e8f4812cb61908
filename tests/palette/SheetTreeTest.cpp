// The sheet tree as a drafter uses it: labels and status icons, Ctrl and Shift selection,
// collapsing, and drag and drop that moves sheets and subsets in the file.
#include <QApplication>
#include <QTest>

#include "drawings/FileLocks.h"
#include "model/SheetSetMgrImpl.h"
#include "palette/PaletteIds.h"
#include "tests/palette/PaletteFixture.h"
#include "toolkit/common/TkUtf8.h"

using namespace pal;

TEST_F(PaletteTest, TreeShowsLabelsIconsAndOpensFirstLevel) {
    {
        // Numbers and titles as offices type them: number only, title only, both.
        CSheetSetMgrImpl mgr;
        ASSERT_TRUE(mgr.openSheetSet(tkFromUtf8(setPath).c_str()));
        CSheetSet* set = mgr.getSheetSet(0);
        auto* b = static_cast<CSubset*>(set->getAt(1));
        auto* b1 = static_cast<CSheet*>(b->getAt(0));
        b1->setNumber(L"A-101");
        b1->setTitle(L"");
        static_cast<CSheet*>(b->getAt(1))->setTitle(L"Plan");
        auto* b3 = static_cast<CSheet*>(b->getAt(2));
        b3->setNumber(L"A-101");
        b3->setTitle(L"Plan");
        static_cast<CSubset*>(set->getAt(2))->setIncludeForPublish(false, true);
        ASSERT_TRUE(set->save());
    }
    FileHold someoneElse;
    ASSERT_TRUE(someoneElse.hold(tkFromUtf8(drawingA)));  // a colleague has a.dwg open
    openWindow();
    EXPECT_EQ(labelsUnder("B"), "A-101 Plan A-101 - Plan");
    QTreeWidgetItem* root = tree()->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Palette Test");
    EXPECT_TRUE(root->isSelected());
    EXPECT_EQ(tree()->currentItem(), root);
    EXPECT_TRUE(item("A")->isExpanded());
    EXPECT_FALSE(item("Nested")->isExpanded());  // deeper subsets stay closed
    EXPECT_EQ(CSheetsetTree::imageOf(root), kImgSheetSet);
    EXPECT_EQ(CSheetsetTree::imageOf(item("a1")), kImgSheetLocked);
    EXPECT_EQ(CSheetsetTree::imageOf(item("a3")), kImgSheetMissing);
    EXPECT_EQ(CSheetsetTree::imageOf(item("a4")), kImgSheet);
    EXPECT_EQ(CSheetsetTree::imageOf(item("A")), kImgSubset);
    EXPECT_EQ(CSheetsetTree::imageOf(item("Empty")), kImgSubsetNotPublished);

    // The colleague lets go and b.dwg is deleted: the next status pass shows both, and the
    // subsets whose every drawing is gone.
    someoneElse.release();
    std::filesystem::remove(drawingB);
    ASSERT_TRUE(wnd->StartStatusPass());
    EXPECT_FALSE(wnd->StartStatusPass());  // one pass at a time
    QTRY_VERIFY(!wnd->statusPassRunning());
    EXPECT_EQ(CSheetsetTree::imageOf(item("a1")), kImgSheet);
    EXPECT_EQ(CSheetsetTree::imageOf(item("a4")), kImgSheetMissing);
    EXPECT_EQ(CSheetsetTree::imageOf(item("n1")), kImgSheetMissing);
    // Subset icons are recomputed by a sync, as a refresh does.
    wnd->SyncItem(tree()->topLevelItem(0), wnd->currentSheetSet());
    EXPECT_EQ(CSheetsetTree::imageOf(item("Nested")), kImgSubsetMissing);
    EXPECT_EQ(CSheetsetTree::imageOf(item("B")), kImgSubsetMissing);
    EXPECT_EQ(CSheetsetTree::imageOf(item("A")), kImgSubset);  // a1 and a2 still exist
}

TEST_F(PaletteTest, CtrlShiftAndPlainClicksFollowTheSelectionRules) {
    openWindow();
    item("Nested")->setExpanded(true);
    click(item("a1"));
    EXPECT_EQ(selectedLabels(), QStringList({"a1"}));
    click(item("a3"), Qt::ShiftModifier);
    EXPECT_EQ(selectedLabels(), QStringList({"a1", "a2", "a3"}));
    EXPECT_EQ(tree()->currentItem(), item("a1"));  // Shift does not move the caret

    // Ctrl on the subset whose children are selected: they go, the subset comes.
    click(item("A"), Qt::ControlModifier);
    EXPECT_EQ(selectedLabels(), QStringList({"A"}));
    EXPECT_EQ(tree()->currentItem(), item("A"));
    // Ctrl on a child of the selected subset: the subset goes.
    click(item("n1"), Qt::ControlModifier);
    EXPECT_EQ(selectedLabels(), QStringList({"n1"}));
    click(item("b2"), Qt::ControlModifier);
    EXPECT_EQ(selectedLabels(), QStringList({"n1", "b2"}));
    click(item("b2"), Qt::ControlModifier);
    EXPECT_EQ(selectedLabels(), QStringList({"n1"}));

    // Pressing one of three selected sheets and letting go leaves only that one.
    click(item("b1"));
    click(item("b3"), Qt::ShiftModifier);
    ASSERT_EQ(selectedLabels().size(), 3);
    click(item("b2"));
    EXPECT_EQ(selectedLabels(), QStringList({"b2"}));

    // Shift with the keyboard grows the range from the caret; collapsing deselects what it hides.
    QTest::keyClick(tree(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(tree(), Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(tree(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(selectedLabels(), QStringList({"b1", "b2"}));
    EXPECT_EQ(tree()->currentItem(), item("b2"));
    item("B")->setExpanded(false);
    EXPECT_TRUE(selectedLabels().isEmpty());
}

TEST_F(PaletteTest, DroppingSheetsMovesThemInOrderAndSavesTheSet) {
    openWindow();
    click(item("a1"));
    click(item("a2"), Qt::ControlModifier);
    click(item("a4"), Qt::ControlModifier);
    // Press on one of the three and drag onto the lowest pixels of b2: they go after it.
    press(item("a2"));
    QRect b2 = tree()->visualItemRect(item("b2"));
    moveTo(centre(item("a2")) + QPoint(0, 30));
    ASSERT_TRUE(tree()->isDragging());
    EXPECT_TRUE(wnd->isBusy());  // the lock poll keeps off meanwhile
    QPoint low(b2.left() + 24, b2.bottom() - 1);
    moveTo(low);
    EXPECT_EQ(tree()->dropTarget(), item("b2"));
    release(low);
    EXPECT_FALSE(tree()->isDragging());
    EXPECT_FALSE(wnd->isBusy());
    EXPECT_EQ(labelsUnder("B"), "b1 b2 a1 a2 a4 b3");
    EXPECT_EQ(labelsUnder("A"), "a3 Nested");
    EXPECT_EQ(fileLabels(L"B"), L"b1 b2 a1 a2 a4 b3");
    EXPECT_EQ(selectedLabels(), QStringList({"a1", "a2", "a4"}));
    EXPECT_EQ(tree()->currentItem()->text(0), "a4");

    // Onto a collapsed subset's upper part: first in it; within its lowest 5 pixels: after it.
    click(item("b3"));
    press(item("b3"));
    QRect nested = tree()->visualItemRect(item("Nested"));
    QPoint upper(nested.left() + 24, nested.top() + 2);
    moveTo(upper);
    EXPECT_EQ(tree()->dropMode(), CMultiSelTree::kDropHighlight);
    release(upper);
    EXPECT_EQ(fileLabels(L"Nested"), L"b3 n1");
    EXPECT_TRUE(item("Nested")->isExpanded());  // the moved sheet is brought into view
    item("Nested")->setExpanded(false);
    click(item("b1"));
    press(item("b1"));
    nested = tree()->visualItemRect(item("Nested"));
    QPoint lowest(nested.left() + 24, nested.bottom() - 1);
    moveTo(lowest);
    release(lowest);
    EXPECT_EQ(fileLabels(L"A"), L"a3 [Nested] b1");
}

TEST_F(PaletteTest, NoDropIntoOwnChildAndNoDragWhileTheSetIsHeldElsewhere) {
    openWindow();
    item("Nested")->setExpanded(true);
    click(item("A"));
    press(item("A"));
    moveTo(centre(item("n1")));
    ASSERT_TRUE(tree()->isDragging());
    EXPECT_EQ(tree()->dropTarget(), nullptr);
    EXPECT_EQ(tree()->viewport()->cursor().shape(), Qt::ForbiddenCursor);
    release(centre(item("n1")));
    EXPECT_EQ(fileLabels(L"Nested"), L"n1");  // nothing moved

    // The sheet set itself never drags.
    click(tree()->topLevelItem(0));
    press(tree()->topLevelItem(0));
    moveTo(centre(item("b1")));
    EXPECT_FALSE(tree()->isDragging());
    release(centre(item("b1")));

    auto colleague = colleagueHoldsTheSet();
    click(item("b1"));
    press(item("b1"));
    moveTo(centre(item("a1")));
    EXPECT_FALSE(tree()->isDragging());
    release(centre(item("a1")));
    EXPECT_EQ(fileLabels(L"B"), L"b1 b2 b3");
}
