#pragma once
// The sheet tree: the current sheet set as the single root with its subsets and sheets, one
// status icon per item. Every user action goes to the observer (the sheet list window).
#include "palette/MultiSelTree.h"
#include "palette/TreeObserver.h"

class CComponent;
class CComponentToolTipCtrl;

class CSheetsetTree : public CMultiSelTree {
public:
    explicit CSheetsetTree(QWidget* parent = nullptr);
    void setObserver(CTreeObserver* observer) { observer_ = observer; }
    CTreeObserver* observer() const { return observer_; }

    // The model object an item shows (item data; not owned).
    static CComponent* componentOf(const QTreeWidgetItem* item);
    static void setComponent(QTreeWidgetItem* item, CComponent* component);
    static void setImage(QTreeWidgetItem* item, int index);
    static int imageOf(const QTreeWidgetItem* item);
    // The caret's component, or null; null too while the items are being cleared.
    CComponent* caretComponent() const;
    CComponentToolTipCtrl* toolTip() const { return tip_; }
    // Deletes every item; selection notifications meanwhile report no component.
    void DeleteAllItems();
    // The item showing `component`, searched in display order.
    QTreeWidgetItem* findItem(const CComponent* component) const;

protected:
    bool CanBeginDrag() override;
    void DropItems(bool after) override;
    void DragEnded() override;
    void OnClick(QTreeWidgetItem* item) override;
    void OnSelChanged() override;
    void OnDblClick(QTreeWidgetItem* item) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    bool clearing_ = false;
    CComponentToolTipCtrl* tip_ = nullptr;  // a child window
    CTreeObserver* observer_ = nullptr;
};
