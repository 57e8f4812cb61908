#pragma once
// Picks blocks of a drawing, or the whole drawing as a block ("SheetSet:SelectBlock").
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "drawings/DwgReader.h"
#include "host/UiBase.h"

class CSelectBlockDlg : public CVrUiDialog {
public:
    explicit CSelectBlockDlg(QWidget* parent = nullptr);
    int DoModal();

    TkString filePath;
    bool singleSelection = false;
    // Appended at OK: an empty name and handle stand for the whole drawing.
    std::vector<TkString> blockNames, blockHandles;

    void ListBlocks();
    void UpdatePreview();
    void OnBrowse();
    void OnOK();

    QLineEdit* pathEdit;
    QPushButton* browseButton;
    QRadioButton* wholeDrawing;
    QRadioButton* blocksOfDrawing;
    QListWidget* blockList;
    QLabel* preview;

private:
    DwgReader reader_;
};
