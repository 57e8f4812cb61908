#pragma once
// "SheetSet:RenameSheet": a sheet's number and title, and its layout and drawing file renamed with
// them when asked; Previous and Next apply and move to the sheet beside it. The caller does the
// renaming with what the dialog collected.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/NameValidation.h"
#include "host/UiBase.h"

class CRenameSheetDlg : public CVrUiDialog {
public:
    static constexpr int kPrevious = 2, kNext = 3;  // results beside Accepted

    explicit CRenameSheetDlg(QWidget* parent = nullptr);
    int DoModal();
    void apply(int result);  // OK, Previous or Next: checks, then ends with `result`

    TkString number, title, layoutName, drawingPath;  // in; out with the new values
    std::vector<TkString> existingNames;
    std::vector<UsedNumber> usedNumbers;  // the numbers of the set's other sheets
    bool hasPrevious = false, hasNext = false;
    bool renameLayout = false, layoutWithNumber = false, renameFile = false, fileWithNumber = false;
    bool replaceExisting = false;  // out: the user agreed to replace a drawing at the new path
    bool openHere = false;         // in: the drawing is open for editing in this host

    QLineEdit *numberEdit, *titleEdit, *layoutEdit, *fileEdit;
    QLabel* folderLabel;
    QCheckBox *renameLayoutCheck, *layoutNumberCheck, *renameFileCheck, *fileNumberCheck;
    QPushButton *previousButton, *nextButton, *okButton;

private:
    void applyOptionRules();
    bool drawingExists_ = false, drawingReadable_ = false, inUse_ = false;
    TkString fileName_;
};
