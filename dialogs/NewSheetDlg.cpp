#include "dialogs/NewSheetDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>

#include "dialogs/NameValidation.h"
#include "drawings/FileLocks.h"
#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "host/Resources.h"
#include "model/NameRules.h"
#include "model/NewSheet.h"

bool CNewSheetDlg::openInDrawingEditor = false;

namespace {
QString q(const TkString& s) { return QString::fromStdWString(s); }
}  // namespace

CNewSheetDlg::CNewSheetDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:CreateNewSheet");
    setHelpTopic(L"new-sheet");
    setWindowTitle(tr("New Sheet"));
    numberEdit = new QLineEdit(this);
    numberEdit->setMaxLength(kMaxNumberLength);
    titleEdit = new QLineEdit(this);
    titleEdit->setMaxLength(kMaxTitleLength);
    fileNameEdit = new QLineEdit(this);
    locationLabel = new QLabel(this);
    locationLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    locationLabel->setWordWrap(true);
    templateLabel = new QLabel(this);
    templateLabel->setWordWrap(true);
    openCheck = new QCheckBox(tr("&Open in drawing editor"), this);
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(tr("&Number:"), numberEdit);
    form->addRow(tr("Sheet &title:"), titleEdit);
    form->addRow(tr("&File name:"), fileNameEdit);
    form->addRow(tr("Folder path:"), locationLabel);
    form->addRow(tr("Sheet template:"), templateLabel);
    form->addRow(QString(), openCheck);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(numberEdit, &QLineEdit::textEdited, this, [this] { proposeFileName(); });
    connect(titleEdit, &QLineEdit::textEdited, this, [this] { proposeFileName(); });
    connect(fileNameEdit, &QLineEdit::textChanged, this, [this] {
        if (!updating_) fileNameEdited_ = true;  // the dialog's own writes are no typing
    });
    resize(480, 250);
}

int CNewSheetDlg::DoModal() {
    locationLabel->setText(q(location));
    templateLabel->setText(q(L"(" + templateLayoutName + L")" + templateFile));
    openCheck->setChecked(openInDrawingEditor);
    return CVrUiDialog::DoModal();
}

void CNewSheetDlg::proposeFileName() {
    if (fileNameEdited_) return;
    updating_ = true;
    fileNameEdit->setText(q(proposedSheetFileName(numberEdit->text().toStdWString(), titleEdit->text().toStdWString())));
    updating_ = false;
}

void CNewSheetDlg::OnOK() {
    constexpr int kind = kNameKindSheet;
    if (!CheckNameCharacters(numberEdit, kind)) return;
    if (!CheckNameCharacters(titleEdit, kind) || !CheckNameNotEmpty(titleEdit, kind)) return;
    if (IsDuplicateName(titleEdit, numberEdit->text().toStdWString(), titleEdit->text().toStdWString(), existingNames, kind)) return;
    if (IsNumberInUse(numberEdit, usedNumbers)) return;
    if (!CheckNameCharacters(fileNameEdit, kind) || !CheckNameNotEmpty(fileNameEdit, kind)) return;
    number = numberEdit->text().toStdWString();
    title = titleEdit->text().toStdWString();
    fileName = fileNameEdit->text().toStdWString();
    drawingPath = vrutCombinePath(location, fileName + L".dwg");
    replacedDrawing = vrutPathExists(drawingPath);
    if (replacedDrawing &&
        VrUiMessageBox(L"Drawing Already Exists", vrFormatMessage(L"Drawing %s already exists.  Do you want to replace it?", {drawingPath}),
                       MB_YESNO | MB_ICONWARNING) != IDYES) {
        selectAndFocus(fileNameEdit);
        return;
    }
    // A drawing someone has open is never replaced under them; the sheet's drawing is written by
    // the new sheet's edit once the dialog closes.
    if (replacedDrawing && isDrawingLocked(drawingPath)) {
        VrUiMessageBox(L"",
                       vrFormatMessage(L"%s exists and is open for editing in another session or by anther user and cannot be replaced.",
                                       {drawingPath}),
                       MB_OK | MB_ICONWARNING);
        return;
    }
    openInDrawingEditor = openCheck->isChecked();
    done(QDialog::Accepted);
}
