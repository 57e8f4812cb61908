#pragma once
// "SheetSet:PublishSheets": the set's subsets and sheets with their publish flags as check boxes.
// The root checks or clears every sheet below it (and checks every subset); a subset's box is its
// own flag only. OK gives back the flags that changed.
#include <QTreeWidget>
#include <functional>
#include <utility>
#include <vector>

#include "dialogs/ComponentToolTip.h"
#include "host/UiBase.h"
#include "model/SheetSetImpl.h"

class CPublishSheetsDlg : public CVrUiDialog {
public:
    CPublishSheetsDlg(CSheetSet* set, QWidget* parent = nullptr);
    void OnOK();
    // The items' tips as the palette's tree draws them, in the palette's tooltip style: `tips`
    // makes the tip of the component stored under an id (the caller holds the set meanwhile).
    using Tips = std::function<ComponentTip(uint64_t id, const QString& title, int style)>;
    void setComponentTips(Tips tips, int style);
    CComponentToolTipCtrl* toolTip() const { return tip_; }
    // After OK: (component id, new flag) of every item whose box differs from its flag.
    std::vector<std::pair<uint64_t, bool>> changes;
    QTreeWidget* tree;

private:
    void onChanged(QTreeWidgetItem* item);
    void fill(QTreeWidgetItem* parent, CSubset* subset);
    bool updating_ = false;
    CComponentToolTipCtrl* tip_ = nullptr;
};
