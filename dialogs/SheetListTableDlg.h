#pragma once
// "SheetSet:SheetListTable": which columns a sheet list table shows, in the order listed (number
// and title checked at first), and whether it goes to the upper left of the sheet or stays where
// the sheet's table is now.
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <vector>

#include "host/UiBase.h"
#include "host/VrTypes.h"

class CSheetListTableDlg : public CVrUiDialog {
public:
    // `choices`: the columns offered, as the table's header shows them; `checked` among them.
    CSheetListTableDlg(const std::vector<TkString>& choices, const std::vector<TkString>& checked, QWidget* parent = nullptr);

    std::vector<TkString> columns;  // after OK: the checked ones, in list order
    QListWidget* list;
    QPushButton* okButton;
};
