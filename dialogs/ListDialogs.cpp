#include "dialogs/ListDialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "dialogs/NameValidation.h"
#include "dialogs/SelectBlockDlg.h"
#include "drawings/DwgReader.h"
#include "host/Dialogs.h"
#include "host/Graphics.h"
#include "host/PathUtil.h"
#include "host/Resources.h"
#include "model/NameRules.h"
#include "model/SheetSetMessages.h"

namespace {

QString q(const TkString& s) { return QString::fromStdWString(s); }
QString text(int id, const wchar_t* def) { return q(ssMessage(id, def)); }
constexpr int kIndexRole = Qt::UserRole;

// The list beside its Add and Delete buttons, above OK and Cancel.
void listLayout(CVrUiDialog* dlg, QListWidget* list, QPushButton* add, QPushButton* del, QWidget* below = nullptr) {
    auto* side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(del);
    side->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(list, 1);
    body->addLayout(side);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, dlg);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    buttons->setObjectName("buttons");
    auto* layout = new QVBoxLayout(dlg);
    layout->addLayout(body, 1);
    if (below) layout->addWidget(below);
    layout->addWidget(buttons);
}

QDialogButtonBox* buttonsOf(QDialog* dlg) { return dlg->findChild<QDialogButtonBox*>("buttons"); }

}  // namespace

CBlockListDlg::CBlockListDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:BlockList");
    setHelpTopic(L"callout-blocks");
    setWindowTitle(tr("Callout Blocks"));
    list = new QListWidget(this);
    list->setToolTip(text(27808, L"Lists the blocks available to the current sheet set."));
    addButton = new QPushButton(tr("&Add..."), this);
    addButton->setToolTip(text(27809, L"Displays the Select Block dialog box."));
    deleteButton = new QPushButton(tr("&Delete"), this);
    deleteButton->setToolTip(text(27810, L"Deletes the selected block from the list of callout blocks."));
    preview = new QLabel(this);
    preview->setFixedSize(120, 120);
    preview->setFrameShape(QFrame::StyledPanel);
    preview->setAlignment(Qt::AlignCenter);
    listLayout(this, list, addButton, deleteButton, preview);
    connect(buttonsOf(this), &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(addButton, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(list, &QListWidget::currentRowChanged, this, [this] { refreshPreview(); });
    resize(460, 360);
}

int CBlockListDlg::DoModal() {
    list->clear();
    for (size_t i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(q(names[i] + L"(" + files[i] + L")"), list);
        item->setData(kIndexRole, static_cast<int>(i));
    }
    if (list->count()) list->setCurrentRow(0);
    deleteButton->setEnabled(list->count() > 0);
    refreshPreview();
    return CVrUiDialog::DoModal();
}

void CBlockListDlg::OnAdd() {
    CSelectBlockDlg pick(this);
    if (!files.empty()) pick.filePath = files.back();
    if (pick.DoModal() != QDialog::Accepted) return;
    bool added = false;
    for (size_t i = 0; i < pick.blockNames.size(); ++i) {
        const QString row = q(pick.blockNames[i] + L"(" + pick.filePath + L")");
        if (!list->findItems(row, Qt::MatchExactly).isEmpty()) continue;  // that block of that drawing is listed
        names.push_back(pick.blockNames[i]);
        handles.push_back(i < pick.blockHandles.size() ? pick.blockHandles[i] : TkString());
        files.push_back(pick.filePath);
        auto* item = new QListWidgetItem(row, list);
        item->setData(kIndexRole, static_cast<int>(names.size() - 1));
        added = true;
    }
    if (!added) {
        VrUiMessageBox(L"", ssMessage(25903, L"The specified callout block is already in the list."), MB_OK | MB_ICONWARNING);
        return;
    }
    list->setCurrentRow(0);
    deleteButton->setEnabled(true);
    refreshPreview();
}

void CBlockListDlg::OnDelete() {
    const int row = list->currentRow();
    if (row < 0) return;
    const int index = list->item(row)->data(kIndexRole).toInt();
    delete list->takeItem(row);
    names.erase(names.begin() + index);
    handles.erase(handles.begin() + index);
    files.erase(files.begin() + index);
    for (int i = 0; i < list->count(); ++i)
        if (int k = list->item(i)->data(kIndexRole).toInt(); k > index) list->item(i)->setData(kIndexRole, k - 1);
    if (list->count()) list->setCurrentRow(std::min(row, list->count() - 1));
    deleteButton->setEnabled(list->count() > 0);
    refreshPreview();
}

void CBlockListDlg::refreshPreview() {
    preview->clear();
    QListWidgetItem* item = list->currentItem();
    if (!item) return;
    const size_t index = static_cast<size_t>(item->data(kIndexRole).toInt());
    DwgReader reader;
    reader.load(files[index], false);
    if (!reader.database) return;
    // A block shows its icon; an entry without a block name is the whole drawing.
    const QImage image = names[index].empty() ? vruiGetThumbnail(*reader.database, 120, 120) : reader.getBlockIcon(names[index]);
    if (!image.isNull()) preview->setPixmap(QPixmap::fromImage(image).scaled(preview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

CModelViewDlg::CModelViewDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:ModelView");
    setHelpTopic(L"model-views");
    setWindowTitle(tr("Model View Folders"));
    list = new QListWidget(this);
    list->setToolTip(text(25403, L"Add and remove folder locations to control which drawing files are available to the current sheet set."));
    addButton = new QPushButton(tr("&Add..."), this);
    deleteButton = new QPushButton(tr("&Delete"), this);
    listLayout(this, list, addButton, deleteButton);
    connect(buttonsOf(this), &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(addButton, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { OnDelete(); });
    resize(460, 300);
}

int CModelViewDlg::DoModal() {
    list->clear();
    for (const TkString& f : folders) list->addItem(q(f));
    if (list->count()) list->setCurrentRow(0);
    deleteButton->setEnabled(list->count() > 0);
    return CVrUiDialog::DoModal();
}

void CModelViewDlg::OnAdd() {
    const TkString folder = vrutBrowseForFolder(ssMessage(25401, L"Browser for Folder"), L"");
    if (folder.empty()) return;
    if (!list->findItems(q(folder), Qt::MatchExactly).isEmpty()) {
        VrUiMessageBox(L"", ssMessage(25402, L"This location already exists."), MB_OK);
        return;
    }
    list->addItem(q(folder));
    list->setCurrentRow(list->count() - 1);
    deleteButton->setEnabled(true);
}

void CModelViewDlg::OnDelete() {
    const int row = list->currentRow();
    if (row < 0) return;
    delete list->takeItem(row);
    if (list->count()) list->setCurrentRow(std::min(row, list->count() - 1));
    deleteButton->setEnabled(list->count() > 0);
}

void CModelViewDlg::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete) return OnDelete();
    CVrUiDialog::keyPressEvent(e);
}

void CModelViewDlg::OnOK() {
    folders.clear();
    for (int i = 0; i < list->count(); ++i) folders.push_back(list->item(i)->text().toStdWString());
    done(QDialog::Accepted);
}

CNewSelectionDlg::CNewSelectionDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:NewSheetSelection");
    setHelpTopic(L"sheet-selections");
    setWindowTitle(tr("New Sheet Selection"));
    nameEdit = new QLineEdit(this);
    nameEdit->setToolTip(text(25502, L"Specifies a name for the selection."));
    countLabel = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("&Name:"), this));
    layout->addWidget(nameEdit);
    layout->addWidget(countLabel);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CNewSelectionDlg::DoModal() {
    nameEdit->setText(q(name));
    countLabel->setText(q(vrFormatMessage(ssMessage(25501, L"Sheets selected: %d"), {std::to_wstring(selectedSheets)})));
    // Wider or narrower only.
    setMinimumHeight(sizeHint().height());
    setMaximumHeight(sizeHint().height());
    return CVrUiDialog::DoModal();
}

void CNewSelectionDlg::OnOK() {
    constexpr int kind = kNameKindSheet;
    if (!CheckNameCharacters(nameEdit, kind) || !CheckNameNotEmpty(nameEdit, kind)) return;
    if (nameEdit->text().size() > kMaxTitleLength) {
        ShowTooLongMessage(kMaxTitleLength, kind);
        nameEdit->setFocus();
        nameEdit->selectAll();
        return;
    }
    const TkString trimmed = nameEdit->text().trimmed().toStdWString();
    if (IsDuplicateName(nameEdit, trimmed, L"", existingNames, kind)) return;
    name = trimmed;
    done(QDialog::Accepted);
}
