#pragma once
// Picks one initialized layout of a drawing or template ("SheetSet:SelectLayout").
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "host/UiBase.h"

class CSelectLayoutDlg : public CVrUiDialog {
public:
    explicit CSelectLayoutDlg(QWidget* parent = nullptr);
    int DoModal();

    // Results and starting values.
    TkString layoutName, filePath, layoutHandle;  // handle as "%X"
    bool fileHasLayouts = true;
    int selectedIndex = -1;

    // Window-side operations, public so that tests can play the user.
    void ListLayouts(bool fromOk);
    void OnBrowse();
    void OnOK();

    QLineEdit* pathEdit;
    QPushButton* browseButton;
    QListWidget* layoutList;

private:
    std::vector<TkString> handles_;
};
