#pragma once
// A tree control with multi-selection by Ctrl and Shift (mouse and keyboard) and drag and drop of
// the selected items with an insert mark or a drop highlight. It knows nothing of sheet sets: a
// finished drag is reported through DropItems.
#include <QList>
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
    // Children of `item`; with `recurse` each child is preceded by its own sub-items (all of them
    // with `includeCollapsed`, else only when the child is expanded).
    void GetSubItems(QTreeWidgetItem* item, Items& out, bool recurse, bool includeCollapsed) const;

    bool isDragging() const { return dragging_; }
    QTreeWidgetItem* dropTarget() const { return dropTarget_; }
    int dropMode() const { return dropMode_; }
    const Items& draggedItems() const { return dragged_; }
    const Items& excludedTargets() const { return excluded_; }
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

    QTreeWidgetItem* rangeEnd_ = nullptr;
    bool dragging_ = false;
    QLabel* dragImage_ = nullptr;
    QTreeWidgetItem* dropTarget_ = nullptr;
    int dropMode_ = kDropNone;
    Items dragged_;
    Items excluded_;
    bool focusLost_ = false;
    // Between press and release: a click or the start of a drag.
    QTreeWidgetItem* pressed_ = nullptr;
    QPoint pressPos_;
    bool pressShift_ = false, pressCtrl_ = false;
};
