#include "dialogs/RenameSheetDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QVBoxLayout>

#include "dialogs/NameValidation.h"
#include "drawings/DwgReader.h"
#include "drawings/FileLocks.h"
#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "host/Resources.h"
#include "model/NameRules.h"
#include "model/NewSheet.h"

namespace {
QString q(const TkString& s) { return QString::fromStdWString(s); }
}  // namespace

CRenameSheetDlg::CRenameSheetDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:RenameSheet");
    setHelpTopic(L"rename-renumber");
    setWindowTitle(tr("Rename & Renumber Sheet"));
    numberEdit = new QLineEdit(this);
    numberEdit->setMaxLength(kMaxNumberLength);
    titleEdit = new QLineEdit(this);
    titleEdit->setMaxLength(kMaxTitleLength);
    layoutEdit = new QLineEdit(this);
    fileEdit = new QLineEdit(this);
    folderLabel = new QLabel(this);
    folderLabel->setWordWrap(true);
    renameLayoutCheck = new QCheckBox(tr("Rename &layout to match"), this);
    layoutNumberCheck = new QCheckBox(tr("&Prefix with sheet number"), this);
    renameFileCheck = new QCheckBox(tr("Rename &drawing file to match"), this);
    fileNumberCheck = new QCheckBox(tr("P&refix with sheet number"), this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(tr("&Number:"), numberEdit);
    form->addRow(tr("Sheet &title:"), titleEdit);
    form->addRow(tr("Layout name:"), layoutEdit);
    form->addRow(QString(), renameLayoutCheck);
    form->addRow(QString(), layoutNumberCheck);
    form->addRow(tr("Folder path:"), folderLabel);
    form->addRow(tr("&File name:"), fileEdit);
    form->addRow(QString(), renameFileCheck);
    form->addRow(QString(), fileNumberCheck);
    auto* buttons = new QDialogButtonBox(this);
    previousButton = buttons->addButton(tr("< &Previous"), QDialogButtonBox::ActionRole);
    nextButton = buttons->addButton(tr("&Next >"), QDialogButtonBox::ActionRole);
    okButton = buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(QDialogButtonBox::Help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(okButton, &QPushButton::clicked, this, [this] { apply(QDialog::Accepted); });
    connect(previousButton, &QPushButton::clicked, this, [this] { apply(kPrevious); });
    connect(nextButton, &QPushButton::clicked, this, [this] { apply(kNext); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QCheckBox* c : {renameLayoutCheck, layoutNumberCheck, renameFileCheck, fileNumberCheck})
        connect(c, &QCheckBox::toggled, this, [this] { applyOptionRules(); });
    for (QLineEdit* e : {numberEdit, titleEdit}) connect(e, &QLineEdit::textChanged, this, [this] { applyOptionRules(); });
    resize(480, 360);
}

int CRenameSheetDlg::DoModal() {
    numberEdit->setText(q(number));
    titleEdit->setText(q(title));
    layoutEdit->setText(q(layoutName));
    TkString folder;
    vrutSplitPath(drawingPath, folder, fileName_);
    if (folder.size() > 1 && (folder.back() == L'/' || folder.back() == L'\\')) folder.pop_back();
    folderLabel->setText(q(folder));
    fileEdit->setText(q(fileName_));
    previousButton->setEnabled(hasPrevious);
    nextButton->setEnabled(hasNext);
    (hasNext ? nextButton : okButton)->setDefault(true);
    renameLayoutCheck->setChecked(renameLayout);
    layoutNumberCheck->setChecked(layoutWithNumber);
    renameFileCheck->setChecked(renameFile);
    fileNumberCheck->setChecked(fileWithNumber);
    drawingExists_ = vrutPathExists(drawingPath);
    if (drawingExists_) {
        DwgReader reader;
        reader.load(drawingPath, false);
        drawingReadable_ = reader.database != nullptr;
        inUse_ = isDrawingLocked(drawingPath);
    }
    applyOptionRules();
    return CVrUiDialog::DoModal();
}

void CRenameSheetDlg::applyOptionRules() {
    // What the drawing allows: a missing drawing keeps its layout and file; one in use its file,
    // and its layout too unless it is open here, where the host renames it in the open drawing
    // (the plain rename only: the number prefix waits until the drawing is closed).
    const bool layoutAllowed = drawingExists_ && drawingReadable_ && (!inUse_ || openHere);
    const bool prefixAllowed = layoutAllowed && !inUse_;
    const bool fileAllowed = drawingExists_ && !inUse_;
    renameLayoutCheck->setEnabled(layoutAllowed);
    layoutNumberCheck->setEnabled(prefixAllowed && renameLayoutCheck->isChecked());
    layoutNumberCheck->setToolTip(inUse_ && openHere ? tr("Not available while the drawing is open in this session: close it to prefix "
                                                          "its layout name with the sheet number.")
                                                     : QString());
    renameFileCheck->setEnabled(fileAllowed);
    fileNumberCheck->setEnabled(fileAllowed && renameFileCheck->isChecked());
    const TkString n = numberEdit->text().toStdWString(), t = titleEdit->text().toStdWString();
    if (renameLayoutCheck->isEnabled() && renameLayoutCheck->isChecked())
        layoutEdit->setText(q(layoutNumberCheck->isEnabled() && layoutNumberCheck->isChecked() ? proposedSheetFileName(n, t) : t));
    else
        layoutEdit->setText(q(layoutName));
    layoutEdit->setReadOnly(!layoutAllowed || renameLayoutCheck->isChecked());
    if (renameFileCheck->isEnabled() && renameFileCheck->isChecked())
        fileEdit->setText(q((fileNumberCheck->isChecked() ? proposedSheetFileName(n, t) : t) + L".dwg"));
    else if (fileEdit->isReadOnly() || !fileAllowed)
        fileEdit->setText(q(fileName_));
    fileEdit->setReadOnly(!fileAllowed || renameFileCheck->isChecked());
}

void CRenameSheetDlg::apply(int result) {
    constexpr int kind = kNameKindSheet;
    if (!CheckNameCharacters(numberEdit, kind) || !CheckNameCharacters(titleEdit, kind) || !CheckNameNotEmpty(titleEdit, kind)) return;
    if (!CheckNameCharacters(layoutEdit, kind) || !CheckNameNotEmpty(layoutEdit, kind)) return;
    if (!CheckNameCharacters(fileEdit, kind) || !CheckNameNotEmpty(fileEdit, kind)) return;
    if (IsDuplicateName(titleEdit, numberEdit->text().toStdWString(), titleEdit->text().toStdWString(), existingNames, kind)) return;
    if (IsNumberInUse(numberEdit, usedNumbers)) return;
    TkString path = drawingPath;
    replaceExisting = false;
    if (drawingExists_ && !inUse_) {
        TkString file = fileEdit->text().trimmed().toStdWString();
        if (file.size() < 4 || !vrutHasExtension(file, L".dwg")) file += L".dwg";
        TkString folder, old;
        vrutSplitPath(drawingPath, folder, old);
        path = folder + file;
        if (!vrutSamePath(path, drawingPath) && vrutPathExists(path)) {
            if (VrUiMessageBox(L"Drawing Already Exists", vrFormatMessage(L"Drawing %s already exists.  Do you want to replace it?", {path}),
                               MB_YESNO | MB_ICONWARNING) != IDYES) {
                selectAndFocus(fileEdit);
                return;
            }
            replaceExisting = true;
        }
    }
    number = numberEdit->text().toStdWString();
    title = titleEdit->text().toStdWString();
    layoutName = layoutEdit->text().toStdWString();
    drawingPath = path;
    renameLayout = renameLayoutCheck->isChecked();
    layoutWithNumber = layoutNumberCheck->isChecked();
    renameFile = renameFileCheck->isChecked();
    fileWithNumber = fileNumberCheck->isChecked();
    done(result);
}
