#pragma once
// The folders whose drawings' layouts become sheets. Adding a folder reads its drawings off the UI
// thread, with progress and Cancel; drawings of a sheet set already, without a set-up layout or
// unreadable are left out and counted under the tree.
#include <QLabel>
#include <QPushButton>

#include "wizard/CreateShSheet.h"
#include "wizard/LayoutTree.h"

class CChooseLayoutsPage : public CCreateShPage {
public:
    explicit CChooseLayoutsPage(CCreateShSheet* sheet);
    int pageId() const override { return CCreateShSheet::kLayoutsPage; }
    int OnWizardNext() override;
    void OnBrowse();
    void OnImportOptions();
    // Adds the folder as the Browse button does once it is chosen; false when cancelled.
    bool addFolder(const TkString& folder);
    ImportOptions importOptions() const;

    CLayoutTree* tree;
    QPushButton *browseButton, *optionsButton;
    QLabel* leftOut;

private:
    FolderScanReport report_;
};
