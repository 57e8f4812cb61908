#pragma once
// A tree control with multi-selection by Ctrl and Shift (mouse and keyboard) and drag and drop of
// the selected items with an insert mark or a drop highlight. It knows nothing of sheet sets: a
// finished drag is reported through DropItems.
#include <QList>
#include <QPersistentModelIndex>
#include <QTreeWidget>

class QLabel;

class CMultiSelTree : public QTreeWidget {
public:
    using Items = QList<QTreeWidgetItem*>;
    enum DropMode { kDropNone = 0, kDropInsertMark = 1, kDropHighlight = 2 };

    explicit CMultiSelTree(QWidget* parent = nullptr);
    ~CMultiSelTree() override;

    // Makes the item the caret and marks it selected (others keep their state); null clears the caret.
    bool SelectItem(QTreeWidgetItem* item);
    void ExpandAll();
    void CollapseAll();
    QTreeWidgetItem* GetFirstItem() const;
    QTreeWidgetItem* GetNextItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* GetPrevItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* GetLastItem() const;
    QTreeWidgetItem* GetFirstVisibleItem() const { return GetFirstItem(); }
    QTreeWidgetItem* GetNextVisibleItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* GetPrevVisibleItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* GetLastVisibleItem() const;
    // Selected items in display order (descending only into expanded items).
    void GetSelectedItems(Items& out) const;
    void ClearSelectedItems();
    // Ctrl+A: every visible item that shows nothing below it (sheets, empty or closed subsets).
    void SelectAllVisible();
    // Children of `item`; with `recurse` each child is preceded by its own sub-items (all of them
    // with `includeCollapsed`, else only when the child is expanded).
    void GetSubItems(QTreeWidgetItem* item, Items& out, bool recurse, bool includeCollapsed) const;

    bool isDragging() const { return dragging_; }
    QTreeWidgetItem* dropTarget() const { return itemOf(dropTarget_); }
    int dropMode() const { return dropMode_; }
    Items draggedItems() const { return itemsOf(dragged_); }
    Items excludedTargets() const { return itemsOf(excluded_); }
    // The Shift-range end and the pressed item, as the tree remembers them between events.
    QTreeWidgetItem* rangeEnd() const { return itemOf(rangeEnd_); }
    QTreeWidgetItem* pressedItem() const { return itemOf(pressed_); }
    // Switches window drawing off and on around bulk changes; on again redraws at once.
    void setDrawing(bool on);

protected:
    virtual bool CanBeginDrag() { return true; }
    virtual void DropItems(bool after) { (void)after; }
    virtual void DragEnded() {}
    // Notifications the derived tree forwards: a plain click, a caret change onto a selected item,
    // a double-click (the item is the caret or null).
    virtual void OnClick(QTreeWidgetItem*) {}
    virtual void OnSelChanged() {}
    virtual void OnDblClick(QTreeWidgetItem*) {}

    void SelectRange(QTreeWidgetItem* from, QTreeWidgetItem* to);
    void ClearChildSelectedItems(QTreeWidgetItem* item);
    void RefreshSelectedItems();
    void ClearDragData();
    // Moves the caret without touching any item's selected state.
    void setCaret(QTreeWidgetItem* item);

    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void leftButtonDown(QMouseEvent* e);
    void rightButtonDown(QMouseEvent* e);
    void beginDrag(QTreeWidgetItem* item, QPoint pos);
    void dragMove(QPoint pos);
    void onCollapsed(QTreeWidgetItem* item);
    bool isAncestor(const QTreeWidgetItem* ancestor, const QTreeWidgetItem* item) const;
    bool onExpandButton(QTreeWidgetItem* item, QPoint pos) const;
    bool onLabel(QTreeWidgetItem* item, QPoint pos) const;
    void moveRangeEnd(int key);
    int pageItems() const;

    // Items the tree remembers from one event to the next. Their owner may delete them at any
    // time (a reload builds the tree anew), so they are kept as persistent indexes, which go
    // invalid with their rows, where a pointer would dangle.
    using Ref = QPersistentModelIndex;
    QTreeWidgetItem* itemOf(const Ref& ref) const { return ref.isValid() ? itemFromIndex(ref) : nullptr; }
    Ref refOf(QTreeWidgetItem* item) const { return item ? Ref(indexFromItem(item)) : Ref(); }
    Items itemsOf(const QList<Ref>& refs) const;

    Ref rangeEnd_;
    bool dragging_ = false;
    QLabel* dragImage_ = nullptr;
    Ref dropTarget_;
    int dropMode_ = kDropNone;
    QList<Ref> dragged_;
    QList<Ref> excluded_;
    bool focusLost_ = false;
    // Between press and release: a click or the start of a drag.
    Ref pressed_;
    QPoint pressPos_;
    bool pressShift_ = false, pressCtrl_ = false;
};
