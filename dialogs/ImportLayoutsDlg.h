#pragma once
// "SheetSet:ImportLayouts": the initialized layouts of chosen drawings, each with whether it may be
// imported, checked to become sheets. In single-choice mode one layout is chosen for an existing
// sheet. The list selects several rows; Ctrl+A selects all, and checking a selected row checks
// every selected row.
#include <QCheckBox>
#include <QPushButton>
#include <QTreeWidget>

#include "host/UiBase.h"
#include "model/ImportLayouts.h"

class CImportLayoutsDlg : public CVrUiDialog {
public:
    // `isSheet` and `openSets` as readLayoutRows takes them.
    CImportLayoutsDlg(IsSheetLayout isSheet, std::vector<TkString> openSets, QWidget* parent = nullptr);

    bool singleChoice = false;
    // Fills the list from one drawing the host names, checking the layouts of `names`.
    void fillFromDrawing(const TkString& drawing, const std::vector<TkString>& names);
    // Reads the drawings as the Browse button does once they are chosen.
    void addDrawings(const std::vector<TkString>& drawings);
    int DoModal();
    void OnBrowse();
    void OnOK();
    void sortBy(int column);

    // After OK, `chosen`: the checked rows that are not sheets already, in list order.
    std::vector<LayoutRow> chosen;
    // Titles begin with the drawing's name: kept while the module is loaded.
    static bool prefixWithFileName;

    QTreeWidget* list;
    QPushButton* browseButton;
    QCheckBox* prefixCheck;

private:
    void fillList();
    void onItemChanged(QTreeWidgetItem* item);
    IsSheetLayout isSheet_;
    std::vector<TkString> openSets_;
    std::vector<LayoutRow> rows_;
    bool hostPassed_ = false;
    std::vector<TkString> hostNames_;
    int sortColumn_ = -1;
    bool descending_ = false;
    bool checking_ = false;
};
