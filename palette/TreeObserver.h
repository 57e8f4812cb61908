#pragma once
// The sheet tree's callbacks to the window that fills it, in a fixed slot order.
#include <QList>
#include <QPoint>

class CComponent;
class CSheetsetTree;
class QTreeWidgetItem;

class CTreeObserver {
public:
    virtual ~CTreeObserver() = default;
    virtual void setTree(CSheetsetTree* tree) = 0;
    // The caret's component, or null (no caret, or the tree is being cleared).
    virtual void onSelChanged(CComponent* component) = 0;
    virtual void onRefresh() = 0;
    virtual void onDblClick(CComponent* component) = 0;
    // `component` is null for empty tree space; `screenPos` in global coordinates.
    virtual void onContextMenu(CComponent* component, QPoint screenPos) = 0;
    virtual bool canBeginDrag() = 0;
    virtual void onDrop(QTreeWidgetItem* target, bool after, const QList<QTreeWidgetItem*>& dragged) = 0;
    virtual void onEndDrag() = 0;
    virtual int getToolTipStyle() = 0;
};
