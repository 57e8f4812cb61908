#pragma once
// "SheetSet:SheetsetProperties": the set's name, description, model view folders, label and callout
// blocks, page setup overrides, project control, new sheet location, template and prompt, and the
// custom properties of the set and of its sheets (their default values).
#include "dialogs/PropertyGrid.h"
#include "host/UiBase.h"
#include "model/Component.h"

class CSheetsetPropertiesDlg : public CVrUiDialog {
public:
    explicit CSheetsetPropertiesDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnOK();
    void OnCustomProperties();  // the custom properties dialog, then the grid filled again

    TkString name, dataFile, description, pageSetupFile;
    std::vector<TkString> modelViewFolders;
    TkString labelBlockName, labelBlockHandle, labelBlockFile;
    std::vector<TkString> calloutNames, calloutHandles, calloutFiles;
    TkString projectNumber, projectName, projectPhase, projectMilestone;
    TkString location, templateLayout, templateHandle, templateFile;
    bool promptForTemplate = false;
    std::vector<CustomProperty> customProperties;  // the set's own and the sheets' definitions
    CPropertyGrid* grid;
    class QPushButton* customButton;

private:
    void fill();
    void collect();  // the grid's values into the fields
};
