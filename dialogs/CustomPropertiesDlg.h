#pragma once
// "SheetSet:CustomProperties": the set's custom property definitions, name, default value and
// owner (the set or its sheets); values are edited in place, properties added and deleted, columns
// sorted by a click on their header. Works on a copy the caller reads back after OK.
#include <QPushButton>
#include <QTreeWidget>

#include "host/UiBase.h"
#include "model/Component.h"

// The list whose value column is edited in place (a double-click on a value starts the editor).
class CEditListCtrl : public QTreeWidget {
public:
    explicit CEditListCtrl(int editableColumn, QWidget* parent = nullptr);
    int editableColumn() const { return column_; }

private:
    int column_;
};

class CCustomPropertiesDlg : public CVrUiDialog {
public:
    explicit CCustomPropertiesDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnAdd();
    void OnDelete();
    void sortBy(int column);

    std::vector<CustomProperty> properties;
    CEditListCtrl* list;
    QPushButton *addButton, *deleteButton;

private:
    void addRow(size_t index);
    bool ascending_[3] = {true, true, true};
    bool filling_ = false;
};

// "SheetSet:AddCustomProperty": a new property's name, default value and owner.
class CAddCustomPropertyDlg : public CVrUiDialog {
public:
    explicit CAddCustomPropertyDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnOK();

    std::vector<TkString> existingNames;
    TkString name, value;
    bool ownedBySheetSet = false;
    // The owner the last confirmed property got, preselected next time: kept while the module is loaded.
    static bool lastOwnerWasSheetSet;

    class QLineEdit *nameEdit, *valueEdit;
    class QRadioButton *setOwner, *sheetOwner;
};
