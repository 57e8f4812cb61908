#pragma once
// "SheetSet:SheetSelection": the set's sheet selections, renamed in place or deleted, on a working
// copy; the caller applies what the states say after OK.
#include <QListWidget>
#include <QPushButton>

#include "host/UiBase.h"

class CSheetSelectionDlg : public CVrUiDialog {
public:
    enum State { Unchanged = 0, Renamed = 1, Deleted = 2 };
    explicit CSheetSelectionDlg(QWidget* parent = nullptr);
    int DoModal();
    void OnRename();
    void OnDelete();
    // Ends an in-place edit of `item` with `text`, as the list's editor does.
    void finishRename(QListWidgetItem* item, const QString& text);

    std::vector<TkString> names;  // in collection order; renamed ones hold the new name
    std::vector<int> states;
    QListWidget* list;
    QPushButton *renameButton, *deleteButton;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QString editing_;  // the item's text when its edit began
    bool filling_ = false;
};
