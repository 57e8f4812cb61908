#pragma once
// "SheetSet:SubsetProperties": a subset's name, publish setting, new sheet location, sheet creation
// template and template prompt; for a new subset also whether its folder is made.
#include "dialogs/PropertyGrid.h"
#include "host/UiBase.h"

class CSubsetPropertiesDlg : public CVrUiDialog {
public:
    explicit CSubsetPropertiesDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnOK();

    TkString name, location, templateLayout, templateHandle, templateFile;
    bool includeForPublish = true, promptForTemplate = false, createFolder = false, isNew = false;
    CPropertyGrid* grid;
};
