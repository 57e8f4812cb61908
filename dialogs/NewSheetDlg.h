#pragma once
// "SheetSet:CreateNewSheet": number, title and drawing file name of a new sheet. The file name
// follows number and title until the user types in it. OK checks the names and asks before an
// existing drawing is replaced; the dialog stays open on every failure. The drawing is written by
// the new sheet's edit after the dialog.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/NameValidation.h"
#include "host/UiBase.h"

class CNewSheetDlg : public CVrUiDialog {
public:
    explicit CNewSheetDlg(QWidget* parent = nullptr);
    int DoModal();

    // Filled by the caller.
    TkString location;
    TkString templateLayoutName, templateFile;
    std::vector<TkString> existingNames;  // "number - title" of the sheets directly in the target
    std::vector<UsedNumber> usedNumbers;  // the numbers of every sheet in the set
    // Results.
    TkString number, title, fileName, drawingPath;
    bool replacedDrawing = false;  // a drawing is there and the user agreed to replace it

    // Open the new drawing in the editor: kept while the module is loaded, never in the profile.
    static bool openInDrawingEditor;

    void OnOK();
    QLineEdit *numberEdit, *titleEdit, *fileNameEdit;
    QLabel *locationLabel, *templateLabel;
    QCheckBox* openCheck;

private:
    void proposeFileName();
    bool updating_ = false;
    bool fileNameEdited_ = false;
};
