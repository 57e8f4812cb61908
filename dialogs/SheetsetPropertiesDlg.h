#pragma once
// "SheetSet:SheetsetProperties": the set's name, description, model view folders, label and callout
// blocks, page setup overrides, project control, new sheet location, template and prompt, and the
// custom properties of the set and of its sheets (their default values).
#include "dialogs/PropertyGrid.h"
#include "host/UiBase.h"
#include "model/SheetSetProperties.h"

// The values it shows and collects are its SheetSetPropertyValues.
class CSheetsetPropertiesDlg : public CVrUiDialog, public SheetSetPropertyValues {
public:
    explicit CSheetsetPropertiesDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnOK();
    void OnCustomProperties();  // the custom properties dialog, then the grid filled again

    CPropertyGrid* grid;
    class QPushButton* customButton;

private:
    void fill();
    void collect();  // the grid's values into the fields
};
