#include "dialogs/SheetSelectionDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "dialogs/NameValidation.h"
#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "host/Resources.h"
#include "model/NameRules.h"
#include "model/SheetSetMessages.h"

namespace {
QString text(int id, const wchar_t* def) { return QString::fromStdWString(ssMessage(id, def)); }
constexpr int kIndexRole = Qt::UserRole;

void askForASelection() { VrUiMessageBox(L"", ssMessage(26201, L"Select a sheet selection from the list."), MB_OK | MB_ICONWARNING); }
}  // namespace

CSheetSelectionDlg::CSheetSelectionDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:SheetSelection");
    setHelpTopic(L"sheet-selections");
    setWindowTitle(tr("Sheet Selections"));
    list = new QListWidget(this);
    list->setToolTip(text(27802, L"Specifies the sheet selection to rename or delete"));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    renameButton = new QPushButton(tr("&Rename"), this);
    renameButton->setToolTip(text(27804, L"Renames the selected sheet selection"));
    deleteButton = new QPushButton(tr("&Delete"), this);
    deleteButton->setToolTip(text(27803, L"Deletes the selected sheet selection. Only the sheet selection is deleted; the sheets themselves are not affected."));
    auto* side = new QVBoxLayout;
    side->addWidget(renameButton);
    side->addWidget(deleteButton);
    side->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(list, 1);
    body->addLayout(side);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(renameButton, &QPushButton::clicked, this, [this] { OnRename(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        list->setCurrentItem(item);
        OnRename();
    });
    connect(list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!filling_) finishRename(item, item->text());
    });
    resize(380, 300);
}

int CSheetSelectionDlg::DoModal() {
    filling_ = true;
    list->clear();
    states.assign(names.size(), Unchanged);
    for (size_t i = 0; i < names.size(); ++i) {
        // After the last item it sorts after: equal names keep the collection's order.
        int at = 0;
        for (int r = 0; r < list->count(); ++r)
            if (vrutCompareString(names[i], list->item(r)->text().toStdWString(), false) >= 2) at = r + 1;
        auto* item = new QListWidgetItem(QString::fromStdWString(names[i]));
        item->setData(kIndexRole, static_cast<int>(i));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        list->insertItem(at, item);
    }
    filling_ = false;
    if (list->count()) list->setCurrentRow(0);
    renameButton->setEnabled(list->count() > 0);
    deleteButton->setEnabled(list->count() > 0);
    return CVrUiDialog::DoModal();
}

void CSheetSelectionDlg::OnRename() {
    QListWidgetItem* item = list->currentItem();
    if (!item) return askForASelection();
    editing_ = item->text();
    list->editItem(item);
}

void CSheetSelectionDlg::finishRename(QListWidgetItem* item, const QString& typed) {
    const QString before = editing_.isEmpty() ? QString::fromStdWString(names[static_cast<size_t>(item->data(kIndexRole).toInt())]) : editing_;
    editing_.clear();
    const QString name = typed.trimmed();
    auto back = [&] {
        filling_ = true;
        item->setText(before);
        filling_ = false;
    };
    constexpr int kind = kNameKindSheet;
    if (name.isEmpty()) return ShowTooShortMessage(kind), back();
    if (name.size() > kMaxTitleLength) return ShowTooLongMessage(kMaxTitleLength, kind), back();
    if (hasUnsupportedCharacters(name.toStdWString())) return ShowUnsupportedCharsMessage(kind), back();
    if (name == before) return back();
    for (int r = 0; r < list->count(); ++r)
        if (list->item(r) != item && list->item(r)->text() == name) return ShowNameExistsMessage(name.toStdWString(), kind), back();
    filling_ = true;
    item->setText(name);
    filling_ = false;
    const size_t index = static_cast<size_t>(item->data(kIndexRole).toInt());
    names[index] = name.toStdWString();
    states[index] = Renamed;
}

void CSheetSelectionDlg::OnDelete() {
    QListWidgetItem* item = list->currentItem();
    if (!item) return askForASelection();
    if (VrUiMessageBox(ssMessage(26203, L"Confirm Delete"), vrFormatMessage(ssMessage(26202, L"Are you sure you want to delete %s?"), {item->text().toStdWString()}),
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    states[static_cast<size_t>(item->data(kIndexRole).toInt())] = Deleted;
    delete item;
    if (list->count()) list->setCurrentRow(0);
    renameButton->setEnabled(list->count() > 0);
    deleteButton->setEnabled(list->count() > 0);
}

void CSheetSelectionDlg::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete) return OnDelete();
    if (e->key() == Qt::Key_F2) return OnRename();
    CVrUiDialog::keyPressEvent(e);
}
