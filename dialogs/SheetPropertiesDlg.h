#pragma once
// "SheetSet:SheetProperties": a sheet's title, number, description, publish flag, layout,
// revision, purpose, category and custom properties in the property grid, with the rename options
// below it. OK checks the names and the renamed drawing; the caller applies the fields.
#include <QCheckBox>

#include "dialogs/PropertyGrid.h"
#include "host/UiBase.h"
#include "model/Component.h"

class CSheetPropertiesDlg : public CVrUiDialog {
public:
    explicit CSheetPropertiesDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnOK();

    // In and out.
    TkString title, number, description, layoutName, layoutHandle, drawingPath, sheetSetName;
    TkString revisionNumber, revisionDate, purpose, category;
    bool includeForPublish = true;
    std::vector<CustomProperty> customProperties;
    std::vector<TkString> otherNames;  // "number - title" of the other sheets beside it
    bool renameLayout = false, layoutWithNumber = false, renameFile = false, fileWithNumber = false;
    // After OK: the layout's and the drawing's new names when the rename options asked for them.
    TkString newLayoutName, newDrawingPath;

    CPropertyGrid* grid;
    QCheckBox *renameLayoutCheck, *layoutNumberCheck, *renameFileCheck, *fileNumberCheck;

private:
    void fill();
};
