#pragma once
// Three small list dialogs of the sheet set properties and selections: callout blocks
// ("SheetSet:BlockList", with the selected block's preview), model view folders
// ("SheetSet:ModelView") and a new sheet selection's name ("SheetSet:NewSheetSelection"). Each
// works on copies its caller reads back after OK.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "host/UiBase.h"

class CBlockListDlg : public CVrUiDialog {
public:
    explicit CBlockListDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnAdd();
    void OnDelete();

    std::vector<TkString> names, handles, files;
    QListWidget* list;
    QPushButton *addButton, *deleteButton;
    QLabel* preview;

private:
    void refreshPreview();
};

class CModelViewDlg : public CVrUiDialog {
public:
    explicit CModelViewDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnAdd();
    void OnDelete();
    void OnOK();

    std::vector<TkString> folders;
    QListWidget* list;
    QPushButton *addButton, *deleteButton;

protected:
    void keyPressEvent(QKeyEvent* e) override;  // Delete removes the selected folder
};

class CNewSelectionDlg : public CVrUiDialog {
public:
    explicit CNewSelectionDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnOK();

    TkString name;
    int selectedSheets = 0;
    std::vector<TkString> existingNames;
    QLineEdit* nameEdit;
    QLabel* countLabel;
};
