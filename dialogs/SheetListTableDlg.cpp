#include "dialogs/SheetListTableDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

CSheetListTableDlg::CSheetListTableDlg(const std::vector<TkString>& choices, const std::vector<TkString>& checked, QWidget* parent)
    : CVrUiDialog(parent) {
    setDialogName("SheetSet:SheetListTable");
    setHelpTopic(L"sheet-list-table");
    setWindowTitle(tr("Insert Sheet List Table"));
    auto* intro = new QLabel(tr("A table of the set's sheets, grouped by subset, goes into this sheet's layout. "
                                "Every later change to the set keeps it up to date.\n\nShow these &columns:"),
                             this);
    intro->setWordWrap(true);
    list = new QListWidget(this);
    intro->setBuddy(list);
    for (const TkString& c : choices) {
        auto* item = new QListWidgetItem(QString::fromStdWString(c), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(std::find(checked.begin(), checked.end(), c) != checked.end() ? Qt::Checked : Qt::Unchecked);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    // A table of no column shows nothing: OK waits for one.
    auto refresh = [this] {
        bool any = false;
        for (int i = 0; i < list->count(); ++i) any = any || list->item(i)->checkState() == Qt::Checked;
        okButton->setEnabled(any);
    };
    connect(list, &QListWidget::itemChanged, this, refresh);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        columns.clear();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked) columns.push_back(list->item(i)->text().toStdWString());
        done(QDialog::Accepted);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(380, 360);
    refresh();
}
