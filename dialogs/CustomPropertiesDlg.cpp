#include "dialogs/CustomPropertiesDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/NameValidation.h"
#include "host/PathUtil.h"
#include "host/Resources.h"
#include "model/SheetSetMessages.h"

bool CAddCustomPropertyDlg::lastOwnerWasSheetSet = false;

namespace {
QString q(const TkString& s) { return QString::fromStdWString(s); }
QString text(int id, const wchar_t* def) { return q(ssMessage(id, def)); }
constexpr int kIndexRole = Qt::UserRole;
}  // namespace

CEditListCtrl::CEditListCtrl(int editableColumn, QWidget* parent) : QTreeWidget(parent), column_(editableColumn) {
    setRootIsDecorated(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (column == column_) editItem(item, column_);
    });
}

CCustomPropertiesDlg::CCustomPropertiesDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:CustomProperties");
    setHelpTopic(L"custom-properties");
    setWindowTitle(tr("Custom Properties"));
    list = new CEditListCtrl(1, this);
    list->setHeaderLabels({text(25201, L"Name"), text(25202, L"Default Value"), text(25203, L"Owner")});
    list->setColumnWidth(0, 120);
    list->setColumnWidth(1, 200);
    list->setColumnWidth(2, 80);
    list->header()->setSectionsClickable(true);
    list->setToolTip(text(25208, L"Lists the custom properties associated with the current sheet set."));
    addButton = new QPushButton(tr("&Add..."), this);
    addButton->setToolTip(text(25209, L"Displays the Add Custom Property dialog box."));
    deleteButton = new QPushButton(tr("&Delete"), this);
    deleteButton->setToolTip(text(25210, L"Deletes the selected custom property from the sheet set."));
    auto* side = new QVBoxLayout;
    side->addWidget(addButton);
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
    connect(addButton, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { deleteButton->setEnabled(item != nullptr); });
    connect(list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        // The value typed in place is the element's new default value.
        if (filling_ || column != 1) return;
        properties[static_cast<size_t>(item->data(0, kIndexRole).toInt())].value = item->text(1).toStdWString();
    });
    connect(list->header(), &QHeaderView::sectionClicked, this, [this](int c) { sortBy(c); });
    resize(560, 320);
}

void CCustomPropertiesDlg::addRow(size_t index) {
    filling_ = true;
    const CustomProperty& p = properties[index];
    auto* item = new QTreeWidgetItem(list, QStringList{q(p.name), q(p.value), p.ownedBySheetSet ? text(25204, L"Sheet Set") : text(25205, L"Sheet")});
    item->setData(0, kIndexRole, static_cast<int>(index));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    filling_ = false;
}

int CCustomPropertiesDlg::DoModal() {
    list->clear();
    for (size_t i = 0; i < properties.size(); ++i) addRow(i);
    if (list->topLevelItemCount()) list->setCurrentItem(list->topLevelItem(0));
    deleteButton->setEnabled(list->topLevelItemCount() > 0);
    return CVrUiDialog::DoModal();
}

void CCustomPropertiesDlg::OnAdd() {
    std::vector<TkString> names;
    for (const CustomProperty& p : properties) names.push_back(p.name);
    int n = 1;
    auto proposal = [&](int k) { return vrFormatMessage(ssMessage(25206, L"New Name (%d)"), {std::to_wstring(k)}); };
    while (n < 9999 && std::find(names.begin(), names.end(), proposal(n)) != names.end()) ++n;
    CAddCustomPropertyDlg add(this);
    add.existingNames = names;
    add.name = proposal(n);
    add.value = ssMessage(25207, L"value");
    if (add.DoModal() != QDialog::Accepted) return;
    properties.push_back({add.name, add.value, add.ownedBySheetSet});
    addRow(properties.size() - 1);
    deleteButton->setEnabled(true);
}

void CCustomPropertiesDlg::OnDelete() {
    QTreeWidgetItem* item = list->currentItem();
    if (!item) {
        deleteButton->setEnabled(false);
        return;
    }
    const int index = item->data(0, kIndexRole).toInt();
    delete item;
    properties.erase(properties.begin() + index);
    // The rows behind it point one element lower now.
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (QTreeWidgetItem* r = list->topLevelItem(i); r->data(0, kIndexRole).toInt() > index) r->setData(0, kIndexRole, r->data(0, kIndexRole).toInt() - 1);
    if (list->topLevelItemCount()) list->setCurrentItem(list->topLevelItem(0));
    deleteButton->setEnabled(list->topLevelItemCount() > 0);
}

void CCustomPropertiesDlg::sortBy(int column) {
    if (column < 0 || column > 2) return;
    ascending_[column] = !ascending_[column];
    const bool up = ascending_[column];
    std::vector<QTreeWidgetItem*> rows;
    while (list->topLevelItemCount()) rows.push_back(list->takeTopLevelItem(0));
    std::stable_sort(rows.begin(), rows.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        const CustomProperty& pa = properties[static_cast<size_t>(a->data(0, kIndexRole).toInt())];
        const CustomProperty& pb = properties[static_cast<size_t>(b->data(0, kIndexRole).toInt())];
        if (column == 2) return up ? (pa.ownedBySheetSet && !pb.ownedBySheetSet) : (!pa.ownedBySheetSet && pb.ownedBySheetSet);
        const int c = vrutCompareString(column == 0 ? pa.name : pa.value, column == 0 ? pb.name : pb.value, true);
        return up ? c == 1 : c == 3;
    });
    for (QTreeWidgetItem* r : rows) list->addTopLevelItem(r);
}

CAddCustomPropertyDlg::CAddCustomPropertyDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:AddCustomProperty");
    setHelpTopic(L"custom-properties");
    setWindowTitle(tr("Add Custom Property"));
    nameEdit = new QLineEdit(this);
    nameEdit->setToolTip(text(27805, L"Specifies the name of the new custom property."));
    valueEdit = new QLineEdit(this);
    valueEdit->setToolTip(text(27806, L"Specifies the value of the custom property."));
    setOwner = new QRadioButton(text(25204, L"Sheet Set"), this);
    sheetOwner = new QRadioButton(text(25205, L"Sheet"), this);
    for (QRadioButton* b : {setOwner, sheetOwner})
        b->setToolTip(text(27807, L"Specifies whether the custom property belongs to the sheet set or to a sheet."));
    auto* owners = new QHBoxLayout;
    owners->addWidget(setOwner);
    owners->addWidget(sheetOwner);
    owners->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(tr("&Name:"), nameEdit);
    form->addRow(tr("Default &value:"), valueEdit);
    form->addRow(tr("Owner:"), owners);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CAddCustomPropertyDlg::DoModal() {
    nameEdit->setText(q(name));
    valueEdit->setText(q(value));
    (lastOwnerWasSheetSet ? setOwner : sheetOwner)->setChecked(true);
    return CVrUiDialog::DoModal();
}

void CAddCustomPropertyDlg::OnOK() {
    if (!CheckNameNotEmpty(nameEdit, kNameKindSubset)) return;
    const QString trimmed = nameEdit->text().trimmed();
    for (const TkString& e : existingNames)
        if (vrutSameTextNoCase(e, trimmed.toStdWString())) {
            ShowNameExistsMessage(trimmed.toStdWString(), kNameKindSubset);
            nameEdit->setFocus();
            nameEdit->selectAll();
            return;
        }
    name = nameEdit->text().toStdWString();  // kept as typed
    value = valueEdit->text().toStdWString();
    ownedBySheetSet = setOwner->isChecked();
    lastOwnerWasSheetSet = ownedBySheetSet;
    done(QDialog::Accepted);
}
