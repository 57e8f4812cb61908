#include "palette/SheetsetTree.h"

#include <QContextMenuEvent>

#include "model/Component.h"
#include "dialogs/ComponentToolTip.h"
#include "palette/TreeImages.h"

namespace {
constexpr int kComponentRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
}  // namespace

CSheetsetTree::CSheetsetTree(QWidget* parent) : CMultiSelTree(parent) {
    setObjectName("SheetTree");
    // Tips in the style the observer keeps; without an observer, none.
    tip_ = new CComponentToolTipCtrl(
        this, [](QTreeWidgetItem* item, int style) { return makeComponentTip(componentOf(item), item->text(0), style); },
        [this] { return observer_ ? observer_->getToolTipStyle() : -1; });
}

CComponent* CSheetsetTree::componentOf(const QTreeWidgetItem* item) {
    return item ? reinterpret_cast<CComponent*>(item->data(0, kComponentRole).value<quintptr>()) : nullptr;
}

void CSheetsetTree::setComponent(QTreeWidgetItem* item, CComponent* component) {
    item->setData(0, kComponentRole, QVariant::fromValue(reinterpret_cast<quintptr>(component)));
}

void CSheetsetTree::setImage(QTreeWidgetItem* item, int index) {
    if (item->data(0, kImageRole).isValid() && item->data(0, kImageRole).toInt() == index) return;
    item->setData(0, kImageRole, index);
    item->setIcon(0, treeImage(index));
}

int CSheetsetTree::imageOf(const QTreeWidgetItem* item) {
    QVariant v = item->data(0, kImageRole);
    return v.isValid() ? v.toInt() : -1;
}

CComponent* CSheetsetTree::caretComponent() const { return clearing_ ? nullptr : componentOf(currentItem()); }

void CSheetsetTree::DeleteAllItems() {
    tip_->Relay(nullptr, 0, {}, false);  // its item is going
    clearing_ = true;
    clear();
    clearing_ = false;
}

QTreeWidgetItem* CSheetsetTree::findItem(const CComponent* component) const {
    for (QTreeWidgetItem* i = GetFirstItem(); i; i = GetNextItem(i))
        if (componentOf(i) == component) return i;
    return nullptr;
}

bool CSheetsetTree::CanBeginDrag() { return observer_ && observer_->canBeginDrag(); }

void CSheetsetTree::DropItems(bool after) {
    if (observer_) observer_->onDrop(dropTarget(), after, draggedItems());
}

void CSheetsetTree::DragEnded() {
    if (observer_) observer_->onEndDrag();
}

void CSheetsetTree::OnClick(QTreeWidgetItem*) {
    // The details follow clicks inside an unchanged selection too.
    if (observer_) observer_->onSelChanged(caretComponent());
}

void CSheetsetTree::OnSelChanged() {
    if (observer_) observer_->onSelChanged(caretComponent());
}

void CSheetsetTree::OnDblClick(QTreeWidgetItem* item) {
    if (observer_) observer_->onDblClick(componentOf(item));
}

void CSheetsetTree::contextMenuEvent(QContextMenuEvent* e) {
    if (!observer_) return;
    // The scroll area hands mouse requests on in viewport coordinates; the menu key opens the
    // caret's menu under its row.
    const bool byKey = e->reason() == QContextMenuEvent::Keyboard;
    QTreeWidgetItem* item = byKey ? currentItem() : itemAt(e->pos());
    QPoint where = byKey && item ? viewport()->mapToGlobal(visualItemRect(item).bottomLeft()) : e->globalPos();
    if (!item) {
        observer_->onContextMenu(nullptr, where);
        return;
    }
    if (!item->isSelected()) {
        ClearSelectedItems();
        SelectItem(item);
    } else if (item != currentItem()) {
        setCaret(item);  // the selection stays whole
    }
    observer_->onContextMenu(componentOf(item), where);
}
