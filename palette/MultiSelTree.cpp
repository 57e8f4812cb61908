#include "palette/MultiSelTree.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

CMultiSelTree::CMultiSelTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);  // no lines at root: the sheet set is the single root
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(false);  // done by hand after the double-click is reported
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { onCollapsed(item); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& now, const QModelIndex&) {
        rangeEnd_ = Ref();
        if (QTreeWidgetItem* item = itemFromIndex(now); item && item->isSelected()) OnSelChanged();
    });
}

CMultiSelTree::~CMultiSelTree() { delete dragImage_; }

CMultiSelTree::Items CMultiSelTree::itemsOf(const QList<Ref>& refs) const {
    Items out;
    for (const Ref& r : refs)
        if (QTreeWidgetItem* i = itemOf(r)) out.push_back(i);
    return out;
}

void CMultiSelTree::setDrawing(bool on) {
    setUpdatesEnabled(on);
    if (on) viewport()->update();
}

void CMultiSelTree::setCaret(QTreeWidgetItem* item) {
    selectionModel()->setCurrentIndex(item ? indexFromItem(item) : QModelIndex(), QItemSelectionModel::NoUpdate);
}

bool CMultiSelTree::SelectItem(QTreeWidgetItem* item) {
    if (!item) {
        setCaret(nullptr);
        return true;
    }
    item->setSelected(true);
    setCaret(item);
    if (item->isSelected()) OnSelChanged();  // the caret may have been there already
    return currentItem() == item;
}

// ---- walking

QTreeWidgetItem* CMultiSelTree::GetFirstItem() const { return topLevelItemCount() ? topLevelItem(0) : nullptr; }

namespace {
// The next sibling of the item or of its nearest ancestor that has one.
QTreeWidgetItem* nextPastSubtree(const QTreeWidget* tree, QTreeWidgetItem* item) {
    for (QTreeWidgetItem* i = item; i; i = i->parent()) {
        QTreeWidgetItem* parent = i->parent();
        int index = parent ? parent->indexOfChild(i) : tree->indexOfTopLevelItem(i);
        int count = parent ? parent->childCount() : tree->topLevelItemCount();
        if (index + 1 < count) return parent ? parent->child(index + 1) : tree->topLevelItem(index + 1);
    }
    return nullptr;
}

// The item's last descendant, through every level or only through expanded ones.
QTreeWidgetItem* lastDescendant(QTreeWidgetItem* item, bool visibleOnly) {
    while (item->childCount() && (!visibleOnly || item->isExpanded())) item = item->child(item->childCount() - 1);
    return item;
}

QTreeWidgetItem* previous(const QTreeWidget* tree, QTreeWidgetItem* item, bool visibleOnly) {
    if (!item) return nullptr;
    QTreeWidgetItem* parent = item->parent();
    int index = parent ? parent->indexOfChild(item) : tree->indexOfTopLevelItem(item);
    if (index <= 0) return parent;
    return lastDescendant(parent ? parent->child(index - 1) : tree->topLevelItem(index - 1), visibleOnly);
}
}  // namespace

QTreeWidgetItem* CMultiSelTree::GetNextItem(QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    return item->childCount() ? item->child(0) : nextPastSubtree(this, item);
}

QTreeWidgetItem* CMultiSelTree::GetNextVisibleItem(QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    return item->childCount() && item->isExpanded() ? item->child(0) : nextPastSubtree(this, item);
}

QTreeWidgetItem* CMultiSelTree::GetPrevItem(QTreeWidgetItem* item) const { return previous(this, item, false); }
QTreeWidgetItem* CMultiSelTree::GetPrevVisibleItem(QTreeWidgetItem* item) const { return previous(this, item, true); }

QTreeWidgetItem* CMultiSelTree::GetLastItem() const {
    return topLevelItemCount() ? lastDescendant(topLevelItem(topLevelItemCount() - 1), false) : nullptr;
}

QTreeWidgetItem* CMultiSelTree::GetLastVisibleItem() const {
    return topLevelItemCount() ? lastDescendant(topLevelItem(topLevelItemCount() - 1), true) : nullptr;
}

void CMultiSelTree::GetSelectedItems(Items& out) const {
    for (QTreeWidgetItem* i = GetFirstItem(); i; i = GetNextVisibleItem(i))
        if (i->isSelected()) out.push_back(i);
}

void CMultiSelTree::ClearSelectedItems() {
    // Hidden items may carry the state too (collapsing deselects, but code may select anything).
    for (QTreeWidgetItem* i = GetFirstItem(); i; i = GetNextItem(i))
        if (i->isSelected()) i->setSelected(false);
}

void CMultiSelTree::GetSubItems(QTreeWidgetItem* item, Items& out, bool recurse, bool includeCollapsed) const {
    for (int c = 0; c < item->childCount(); ++c) {
        QTreeWidgetItem* child = item->child(c);
        if (recurse && (includeCollapsed || child->isExpanded())) GetSubItems(child, out, true, includeCollapsed);
        out.push_back(child);
    }
}

void CMultiSelTree::ExpandAll() {
    setDrawing(false);
    for (QTreeWidgetItem* i = GetFirstItem(); i; i = GetNextItem(i))
        if (i->childCount()) i->setExpanded(true);
    setDrawing(true);
}

void CMultiSelTree::CollapseAll() {
    setDrawing(false);
    for (QTreeWidgetItem* i = GetFirstItem(); i; i = GetNextItem(i))
        if (i->childCount()) i->setExpanded(false);
    // The sheet set stays open with its direct children visible.
    if (QTreeWidgetItem* root = GetFirstItem()) root->setExpanded(true);
    setDrawing(true);
}

// ---- selection

bool CMultiSelTree::isAncestor(const QTreeWidgetItem* ancestor, const QTreeWidgetItem* item) const {
    for (const QTreeWidgetItem* p = item ? item->parent() : nullptr; p; p = p->parent())
        if (p == ancestor) return true;
    return false;
}

void CMultiSelTree::SelectRange(QTreeWidgetItem* from, QTreeWidgetItem* to) {
    QTreeWidgetItem* i = GetFirstItem();
    QTreeWidgetItem* last = nullptr;
    QTreeWidgetItem* end = nullptr;
    for (; i; i = GetNextVisibleItem(i)) {
        last = i;
        if (!end && (i == from || i == to)) end = i == from ? to : from;
        if (end) {
            i->setSelected(true);
            if (i == end) return;
        }
    }
    if (!end && last) last->setSelected(true);
}

void CMultiSelTree::ClearChildSelectedItems(QTreeWidgetItem* item) {
    Items below;
    GetSubItems(item, below, true, false);
    for (QTreeWidgetItem* i : below) i->setSelected(false);
}

void CMultiSelTree::RefreshSelectedItems() {
    Items selected;
    GetSelectedItems(selected);
    for (QTreeWidgetItem* i : selected) viewport()->update(visualItemRect(i));
}

void CMultiSelTree::onCollapsed(QTreeWidgetItem* item) {
    rangeEnd_ = Ref();
    Items below;
    GetSubItems(item, below, true, true);
    for (QTreeWidgetItem* i : below) i->setSelected(false);
}

bool CMultiSelTree::onExpandButton(QTreeWidgetItem* item, QPoint pos) const {
    // The branch sign lies in the indentation left of the item's own rectangle.
    QRect r = visualItemRect(item);
    return item->childCount() > 0 && pos.x() < r.left() && pos.x() >= r.left() - indentation();
}

bool CMultiSelTree::onLabel(QTreeWidgetItem* item, QPoint pos) const {
    QRect r = visualItemRect(item);
    int width = iconSize().width() + 8 + fontMetrics().horizontalAdvance(item->text(0)) + 6;
    return pos.x() >= r.left() && pos.x() < r.left() + width;
}

void CMultiSelTree::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) leftButtonDown(e);
    else if (e->button() == Qt::RightButton) rightButtonDown(e);
    else e->ignore();
}

void CMultiSelTree::leftButtonDown(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    focusLost_ = false;
    rangeEnd_ = Ref();
    QPoint pos = e->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (!item) return;
    if (onExpandButton(item, pos)) {
        item->setExpanded(!item->isExpanded());
        return;
    }
    setDrawing(false);
    QTreeWidgetItem* caret = currentItem();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (shift) {
        ClearSelectedItems();
        SelectRange(caret ? caret : item, item);
        rangeEnd_ = refOf(item);
    } else if (ctrl) {
        // An item is never selected together with its ancestor or its visible descendants.
        ClearChildSelectedItems(item);
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setSelected(false);
        if (isAncestor(item, caret)) {
            SelectItem(item);
        } else if (caret && isAncestor(caret, item)) {
            item->setSelected(true);
        } else {
            item->setSelected(!item->isSelected());
        }
    } else if (!item->isSelected()) {
        ClearSelectedItems();
        SelectItem(item);
    }
    setDrawing(true);
    if (focusLost_) return;  // a message box took the focus while the selection was handled
    pressed_ = refOf(item);
    pressPos_ = pos;
    pressShift_ = shift;
    pressCtrl_ = ctrl;
}

void CMultiSelTree::rightButtonDown(QMouseEvent* e) {
    QTreeWidgetItem* item = itemAt(e->position().toPoint());
    if (item && !item->isSelected()) {
        ClearSelectedItems();
        SelectItem(item);
    }
}

void CMultiSelTree::mouseMoveEvent(QMouseEvent* e) {
    QPoint pos = e->position().toPoint();
    if (dragging_) {
        dragMove(pos);
        return;
    }
    if (itemOf(pressed_) && (e->buttons() & Qt::LeftButton)) {
        QPoint d = pos - pressPos_;
        if (std::abs(d.x()) > QApplication::startDragDistance() || std::abs(d.y()) > QApplication::startDragDistance()) {
            QTreeWidgetItem* item = itemOf(pressed_);
            pressed_ = Ref();
            beginDrag(item, pressPos_);
            if (dragging_) dragMove(pos);
        }
        return;
    }
    // A drag that began on empty space selects nothing: the view's own rubber band would select an
    // item together with its ancestor.
    if (e->buttons() & Qt::LeftButton) return;
    QTreeWidget::mouseMoveEvent(e);  // hover feedback and tooltips
}

void CMultiSelTree::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (dragging_) {
        QPoint pos = e->position().toPoint();
        dragMove(pos);
        if (QTreeWidgetItem* target = itemOf(dropTarget_)) {
            QRect r = visualItemRect(target);
            bool openWithChildren = target->isExpanded() && target->childCount() > 0;
            DropItems(!openWithChildren && pos.y() >= r.y() + r.height() - 5);
        }
        ClearDragData();
        return;
    }
    QTreeWidgetItem* item = itemOf(pressed_);
    pressed_ = Ref();
    if (!item) return;
    setDrawing(false);
    if (!pressShift_ && !pressCtrl_) {
        // A plain click on one of several selected items leaves only that one.
        ClearSelectedItems();
        SelectItem(item);
    }
    OnClick(item);
    setDrawing(true);
}

void CMultiSelTree::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    QTreeWidgetItem* item = itemAt(e->position().toPoint());
    OnDblClick(item && item == currentItem() ? item : nullptr);
    if (item && item->childCount() && !onExpandButton(item, e->position().toPoint())) item->setExpanded(!item->isExpanded());
}

// ---- keyboard

int CMultiSelTree::pageItems() const {
    int row = sizeHintForRow(0);
    return row > 0 ? std::max(1, viewport()->height() / row - 1) : 0;
}

void CMultiSelTree::moveRangeEnd(int key) {
    QTreeWidgetItem* caret = currentItem();
    QTreeWidgetItem* end = itemOf(rangeEnd_) ? itemOf(rangeEnd_) : caret;
    QTreeWidgetItem* next = end;
    switch (key) {
    case Qt::Key_Up: next = GetPrevVisibleItem(end); break;
    case Qt::Key_Down: next = GetNextVisibleItem(end); break;
    case Qt::Key_Home: next = GetFirstItem(); break;
    case Qt::Key_End: next = GetLastVisibleItem(); break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        int n = pageItems();
        if (n == 0) {
            next = key == Qt::Key_PageUp ? GetFirstItem() : GetLastVisibleItem();
            break;
        }
        for (int i = 0; i < n; ++i) {
            QTreeWidgetItem* step = key == Qt::Key_PageUp ? GetPrevVisibleItem(next) : GetNextVisibleItem(next);
            if (!step) break;
            next = step;
        }
        break;
    }
    }
    if (!next) return;  // nothing happens at the ends
    setDrawing(false);
    rangeEnd_ = refOf(next);
    ClearSelectedItems();
    SelectRange(caret, next);
    scrollToItem(next);
    setDrawing(true);
}

void CMultiSelTree::SelectAllVisible() {
    // Every item on screen that shows nothing below it: sheets, and subsets that are empty or
    // closed. No item is then selected together with its ancestor.
    setDrawing(false);
    ClearSelectedItems();
    for (QTreeWidgetItem* i = GetFirstItem(); i; i = GetNextVisibleItem(i))
        if (i->childCount() == 0 || !i->isExpanded()) i->setSelected(true);
    setDrawing(true);
    OnSelChanged();
}

void CMultiSelTree::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::SelectAll)) {
        SelectAllVisible();
        return;
    }
    QTreeWidgetItem* caret = currentItem();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (!caret) {
        QTreeWidget::keyPressEvent(e);
        return;
    }
    if (shift) {
        switch (e->key()) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Up:
        case Qt::Key_Down: moveRangeEnd(e->key()); return;
        default: break;
        }
        QTreeWidget::keyPressEvent(e);
        return;
    }
    if (!ctrl) {
        rangeEnd_ = Ref();
        bool wasSelected = caret->isSelected();
        ClearSelectedItems();
        if (wasSelected) caret->setSelected(true);
    }
    QTreeWidget::keyPressEvent(e);
}

void CMultiSelTree::focusInEvent(QFocusEvent* e) {
    QTreeWidget::focusInEvent(e);
    RefreshSelectedItems();
}

void CMultiSelTree::focusOutEvent(QFocusEvent* e) {
    QTreeWidget::focusOutEvent(e);
    RefreshSelectedItems();
    focusLost_ = true;
    pressed_ = Ref();
    ClearDragData();
}

// ---- drag and drop

void CMultiSelTree::beginDrag(QTreeWidgetItem* item, QPoint pos) {
    ClearDragData();
    // The sheet set itself never moves; refused before the owner is asked, so nothing is left
    // half begun.
    if (!item || !item->parent()) return;
    if (!CanBeginDrag()) return;
    Items selected;
    GetSelectedItems(selected);
    if (selected.isEmpty()) selected.push_back(item);
    Items excluded;
    for (QTreeWidgetItem* d : selected) {
        dragged_.push_back(refOf(d));
        if (d->isExpanded()) GetSubItems(d, excluded, true, false);
    }
    for (QTreeWidgetItem* x : excluded) excluded_.push_back(refOf(x));
    ClearSelectedItems();
    dragging_ = true;
    // The drag image: the pressed row as it looks, following the cursor with hot spot (20, 8).
    QRect row = visualItemRect(item);
    row.setWidth(std::min(row.width(), iconSize().width() + 12 + fontMetrics().horizontalAdvance(item->text(0))));
    dragImage_ = new QLabel(window());
    dragImage_->setAttribute(Qt::WA_TransparentForMouseEvents);
    dragImage_->setPixmap(viewport()->grab(row));
    dragImage_->setWindowOpacity(0.7);
    dragImage_->resize(row.size());
    dragImage_->move(viewport()->mapTo(window(), pos) - QPoint(20, 8));
    dragImage_->show();
    dragImage_->raise();
}

void CMultiSelTree::dragMove(QPoint pos) {
    QTreeWidgetItem* before = itemOf(dropTarget_);
    int beforeMode = dropMode_;
    dropTarget_ = Ref();
    dropMode_ = kDropNone;
    if (dragImage_) dragImage_->move(viewport()->mapTo(window(), pos) - QPoint(20, 8));
    QTreeWidgetItem* item = itemAt(pos);
    if (item && !dragged_.contains(refOf(item)) && !excluded_.contains(refOf(item))) {
        dropTarget_ = refOf(item);
        if (onLabel(item, pos)) {
            dropMode_ = kDropInsertMark;
            QRect r = visualItemRect(item);
            bool openWithChildren = item->isExpanded() && item->childCount() > 0;
            if (!openWithChildren && pos.y() < r.y() + r.height() - 5) dropMode_ = kDropHighlight;
        }
    }
    viewport()->setCursor(itemOf(dropTarget_) ? Qt::ArrowCursor : Qt::ForbiddenCursor);
    if (before != itemOf(dropTarget_) || beforeMode != dropMode_) viewport()->update();
}

void CMultiSelTree::ClearDragData() {
    if (!dragging_) return;
    dragging_ = false;
    DragEnded();
    delete dragImage_;
    dragImage_ = nullptr;
    dropTarget_ = Ref();
    dropMode_ = kDropNone;
    dragged_.clear();
    excluded_.clear();
    viewport()->unsetCursor();
    viewport()->update();
}

void CMultiSelTree::paintEvent(QPaintEvent* e) {
    QTreeWidget::paintEvent(e);
    QTreeWidgetItem* target = itemOf(dropTarget_);
    if (!dragging_ || !target || dropMode_ == kDropNone) return;
    QPainter p(viewport());
    QRect r = visualItemRect(target);
    if (dropMode_ == kDropHighlight) {
        QColor c = palette().color(QPalette::Highlight);
        c.setAlpha(90);
        int width = iconSize().width() + 8 + fontMetrics().horizontalAdvance(target->text(0)) + 6;
        p.fillRect(QRect(r.left(), r.top(), width, r.height()), c);
        return;
    }
    // A double line under the target with small end ticks.
    const int left = r.left() - 19 + iconSize().width() + 4, right = viewport()->width(), bottom = r.bottom();
    if (right <= left + 4) return;
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(left, bottom - 2, left, bottom + 2);
    p.drawLine(left + 1, bottom - 1, left + 1, bottom + 1);
    p.drawLine(left + 2, bottom, right - 3, bottom);
    p.drawLine(left + 2, bottom + 1, right - 3, bottom + 1);
    p.drawLine(right - 2, bottom - 1, right - 2, bottom + 1);
    p.drawLine(right - 1, bottom - 2, right - 1, bottom + 2);
}
