// The tree control on its own: walking in display order, ranges and sub-items, expand and
// collapse all, the right button and the context menu's selection, and where a drop goes.
#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "model/Component.h"
#include "palette/SheetsetTree.h"

namespace {
struct FakeComponent : CComponent {
    explicit FakeComponent(int t) : type(t) {}
    int getType() const override { return type; }
    CComponent* getParent() const override { return nullptr; }
    void getDetails(TkString& text) const override { text = L"details"; }
    int type;
};

struct RecordingObserver : CTreeObserver {
    void setTree(CSheetsetTree*) override {}
    void onSelChanged(CComponent* c) override { lastSelected = c; }
    void onRefresh() override {}
    void onDblClick(CComponent*) override {}
    void onContextMenu(CComponent* c, QPoint) override {
        menuFor = c;
        ++menus;
    }
    bool canBeginDrag() override { return true; }
    void onDrop(QTreeWidgetItem* t, bool a, const QList<QTreeWidgetItem*>& d) override {
        target = t;
        after = a;
        dropped = d.size();
    }
    void onEndDrag() override { ++ends; }
    int getToolTipStyle() override { return 0; }
    CComponent* lastSelected = nullptr;
    CComponent* menuFor = nullptr;
    int menus = 0, ends = 0, dropped = 0;
    QTreeWidgetItem* target = nullptr;
    bool after = false;
};

// root
//   s1 (subset)  x1 x2, s2 (subset, collapsed) y1
//   z1
struct TreeFixture : testing::Test {
    void SetUp() override {
        tree.setObserver(&observer);
        tree.resize(300, 400);
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
        root = add(nullptr, "root", 0);
        s1 = add(root, "s1", 1);
        x1 = add(s1, "x1", 2);
        x2 = add(s1, "x2", 2);
        s2 = add(s1, "s2", 1);
        y1 = add(s2, "y1", 2);
        z1 = add(root, "z1", 2);
        root->setExpanded(true);
        s1->setExpanded(true);
    }
    QTreeWidgetItem* add(QTreeWidgetItem* parent, const char* text, int type) {
        auto* i = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&tree);
        i->setText(0, text);
        components.push_back(std::make_unique<FakeComponent>(type));
        CSheetsetTree::setComponent(i, components.back().get());
        return i;
    }
    QStringList names(const QList<QTreeWidgetItem*>& items) {
        QStringList out;
        for (auto* i : items) out << i->text(0);
        return out;
    }
    QStringList walk(bool visible) {
        QStringList out;
        for (QTreeWidgetItem* i = tree.GetFirstItem(); i; i = visible ? tree.GetNextVisibleItem(i) : tree.GetNextItem(i))
            out << i->text(0);
        return out;
    }
    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton b, Qt::MouseButtons held, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QMouseEvent e(type, pos, tree.viewport()->mapToGlobal(pos), b, held, m);
        QApplication::sendEvent(tree.viewport(), &e);
    }
    std::vector<std::unique_ptr<FakeComponent>> components;
    RecordingObserver observer;
    CSheetsetTree tree;
    QTreeWidgetItem *root, *s1, *x1, *x2, *s2, *y1, *z1;
};
}  // namespace

TEST_F(TreeFixture, WalksRangesAndSubItemsInDisplayOrder) {
    EXPECT_EQ(walk(false), QStringList({"root", "s1", "x1", "x2", "s2", "y1", "z1"}));
    EXPECT_EQ(walk(true), QStringList({"root", "s1", "x1", "x2", "s2", "z1"}));  // s2 is closed
    EXPECT_EQ(tree.GetPrevItem(z1), y1);       // through every level, open or not
    EXPECT_EQ(tree.GetPrevVisibleItem(z1), s2);
    EXPECT_EQ(tree.GetPrevItem(x1), s1);
    EXPECT_EQ(tree.GetLastItem(), z1);
    EXPECT_EQ(tree.GetLastVisibleItem(), z1);

    QList<QTreeWidgetItem*> sub;
    tree.GetSubItems(root, sub, true, false);
    EXPECT_EQ(names(sub), QStringList({"x1", "x2", "s2", "s1", "z1"}));  // children after their descendants
    sub.clear();
    tree.GetSubItems(root, sub, true, true);
    EXPECT_EQ(names(sub), QStringList({"x1", "x2", "y1", "s2", "s1", "z1"}));

    // A Shift range runs in display order whichever end comes first, and skips hidden items.
    tree.ClearSelectedItems();
    tree.SelectItem(z1);
    QPoint onX1 = tree.visualItemRect(x1).center();
    mouse(QEvent::MouseButtonPress, onX1, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, onX1, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    QList<QTreeWidgetItem*> selected;
    tree.GetSelectedItems(selected);
    EXPECT_EQ(names(selected), QStringList({"x1", "x2", "s2", "z1"}));
    EXPECT_FALSE(y1->isSelected());

    tree.CollapseAll();
    EXPECT_TRUE(root->isExpanded());
    EXPECT_FALSE(s1->isExpanded());
    tree.ExpandAll();
    EXPECT_TRUE(s2->isExpanded());
    EXPECT_TRUE(tree.updatesEnabled());  // drawing is on again after bulk changes
}

TEST_F(TreeFixture, RightButtonAndContextMenuKeepOrReplaceTheSelection) {
    tree.ClearSelectedItems();
    tree.SelectItem(x1);
    x2->setSelected(true);
    // A selected item keeps the whole selection and becomes the caret for its menu.
    QPoint onX2 = tree.visualItemRect(x2).center();
    mouse(QEvent::MouseButtonPress, onX2, Qt::RightButton, Qt::RightButton);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, onX2, tree.viewport()->mapToGlobal(onX2));
    QApplication::sendEvent(tree.viewport(), &menu);
    QList<QTreeWidgetItem*> selected;
    tree.GetSelectedItems(selected);
    EXPECT_EQ(names(selected), QStringList({"x1", "x2"}));
    EXPECT_EQ(tree.currentItem(), x2);
    EXPECT_EQ(observer.menuFor, components[3].get());

    // An item outside the selection replaces it.
    QPoint onZ1 = tree.visualItemRect(z1).center();
    mouse(QEvent::MouseButtonPress, onZ1, Qt::RightButton, Qt::RightButton);
    selected.clear();
    tree.GetSelectedItems(selected);
    EXPECT_EQ(names(selected), QStringList({"z1"}));
    EXPECT_EQ(observer.lastSelected, components[6].get());

    // Empty space: a menu with no component.
    QPoint below(10, tree.visualItemRect(z1).bottom() + 40);
    QContextMenuEvent empty(QContextMenuEvent::Mouse, below, tree.viewport()->mapToGlobal(below));
    QApplication::sendEvent(tree.viewport(), &empty);
    EXPECT_EQ(observer.menuFor, nullptr);
    EXPECT_EQ(observer.menus, 2);
}

TEST_F(TreeFixture, DropOnAnOpenSubsetGoesFirstOnASheetAlwaysAfter) {
    tree.ClearSelectedItems();
    tree.SelectItem(z1);
    QPoint from = tree.visualItemRect(z1).center();
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    QRect r = tree.visualItemRect(s1);
    QPoint upper(r.left() + 20, r.top() + 2);
    mouse(QEvent::MouseMove, upper, Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(tree.isDragging());
    EXPECT_EQ(tree.dropMode(), CMultiSelTree::kDropInsertMark);  // an open subset shows where items go
    mouse(QEvent::MouseButtonRelease, upper, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(observer.target, s1);
    EXPECT_FALSE(observer.after);
    EXPECT_EQ(observer.dropped, 1);
    EXPECT_EQ(observer.ends, 1);

    tree.SelectItem(z1);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    r = tree.visualItemRect(x1);
    QPoint sheetUpper(r.left() + 20, r.top() + 2);
    mouse(QEvent::MouseMove, sheetUpper, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, sheetUpper, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(observer.target, x1);
    EXPECT_FALSE(observer.after);  // the window places items after a sheet whatever the flag

    // Released away from any item: the drag ends without a drop.
    observer.target = nullptr;
    tree.SelectItem(z1);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    QPoint nowhere(10, tree.visualItemRect(z1).bottom() + 60);
    mouse(QEvent::MouseMove, nowhere, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(tree.viewport()->cursor().shape(), Qt::ForbiddenCursor);
    mouse(QEvent::MouseButtonRelease, nowhere, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(observer.target, nullptr);
    EXPECT_EQ(observer.ends, 3);
    EXPECT_FALSE(tree.isDragging());
}

// Ctrl+A and a drag from empty space never select an item together with its ancestor.
TEST_F(TreeFixture, SelectAllAndDragsFromEmptySpaceKeepTheAncestorRule) {
    tree.setFocus();
    tree.SelectItem(x1);
    QTest::keyClick(&tree, Qt::Key_A, Qt::ControlModifier);
    QList<QTreeWidgetItem*> selected;
    tree.GetSelectedItems(selected);
    EXPECT_EQ(names(selected), QStringList({"x1", "x2", "s2", "z1"}));  // s2 is closed: it stands for y1
    tree.ClearSelectedItems();
    tree.SelectItem(x1);
    const QPoint empty(150, tree.viewport()->height() - 5);
    ASSERT_EQ(tree.itemAt(empty), nullptr);
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, empty);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 2), tree.viewport()->mapToGlobal(QPointF(5, 2)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &move);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, QPoint(5, 2));
    selected.clear();
    tree.GetSelectedItems(selected);
    for (QTreeWidgetItem* i : selected)
        for (QTreeWidgetItem* p = i->parent(); p; p = p->parent()) EXPECT_FALSE(p->isSelected()) << i->text(0).toStdString();
}

// Subsets fold like any Qt tree's rows: a click on the arrow, a double-click on the row, Left and
// Right on the caret; the sheet set row, which has no arrow, by double-click and the keys. A
// folded subset's own open children are open again when it unfolds, and nothing else is kept.
TEST_F(TreeFixture, SubsetsFoldByArrowDoubleClickAndArrowKeys) {
    auto arrowOf = [&](QTreeWidgetItem* i) {
        const QRect r = tree.visualItemRect(i);
        return QPoint(r.left() - tree.indentation() / 2, r.center().y());
    };
    auto clickAt = [&](QPoint p) {
        mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    };
    auto doubleClickAt = [&](QPoint p) {
        clickAt(p);
        mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    };
    auto key = [&](Qt::Key k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&tree, &press);
    };
    s2->setExpanded(true);
    // The arrow: folds and unfolds without touching the selection.
    tree.SelectItem(z1);
    clickAt(arrowOf(s1));
    EXPECT_FALSE(s1->isExpanded());
    EXPECT_EQ(tree.currentItem(), z1);
    clickAt(arrowOf(s1));
    EXPECT_TRUE(s1->isExpanded());
    EXPECT_TRUE(s2->isExpanded());  // as it was
    // A double-click on the row.
    const QPoint label = tree.visualItemRect(s1).center();
    doubleClickAt(label);
    EXPECT_FALSE(s1->isExpanded());
    EXPECT_EQ(tree.currentItem(), s1);
    doubleClickAt(label);
    EXPECT_TRUE(s1->isExpanded());
    // The keys on the caret: Left folds, Right unfolds; Left on a folded row goes to its parent.
    tree.setFocus();
    key(Qt::Key_Left);
    EXPECT_FALSE(s1->isExpanded());
    key(Qt::Key_Right);
    EXPECT_TRUE(s1->isExpanded());
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(tree.currentItem(), root);
    key(Qt::Key_Left);
    EXPECT_FALSE(root->isExpanded());
    key(Qt::Key_Right);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_FALSE(s1->isExpanded());
    doubleClickAt(tree.visualItemRect(root).center());
    EXPECT_FALSE(root->isExpanded());
    doubleClickAt(tree.visualItemRect(root).center());
    EXPECT_TRUE(root->isExpanded());
}
