#pragma once
// "SheetSet:PublishSheets": the set's subsets and sheets with their publish flags as check boxes.
// The root checks or clears every sheet below it (and checks every subset); a subset's box is its
// own flag only. OK gives back the flags that changed.
#include <QTreeWidget>
#include <utility>
#include <vector>

#include "host/UiBase.h"
#include "model/SheetSetImpl.h"

class CPublishSheetsDlg : public CVrUiDialog {
public:
    CPublishSheetsDlg(CSheetSet* set, QWidget* parent = nullptr);
    void OnOK();
    // After OK: (component id, new flag) of every item whose box differs from its flag.
    std::vector<std::pair<uint64_t, bool>> changes;
    QTreeWidget* tree;

private:
    void onChanged(QTreeWidgetItem* item);
    void fill(QTreeWidgetItem* parent, CSubset* subset);
    bool updating_ = false;
};
