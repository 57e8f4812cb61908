#include "dialogs/ResaveReportDlg.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

CResaveReportDlg::CResaveReportDlg(const TkString& sheetSetName, const std::vector<ResaveEntry>& entries, const TkString& logPath,
                                   QWidget* parent)
    : CVrUiDialog(parent) {
    setDialogName("SheetSet:ResaveReport");
    setHelpTopic(L"resave");
    setWindowTitle("Resave All Sheets - " + QString::fromStdWString(sheetSetName));
    list = new QTreeWidget(this);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({tr("Sheet Name"), tr("Status"), tr("Location")});
    list->setColumnWidth(0, 80);
    list->setColumnWidth(1, 160);
    list->setColumnWidth(2, 160);
    for (const ResaveEntry& e : entries) {
        auto* item = new QTreeWidgetItem(list, QStringList{QString::fromStdWString(e.sheet), QString::fromStdWString(e.status),
                                                            QString::fromStdWString(e.location)});
        for (int c = 0; c < 3; ++c) item->setToolTip(c, item->text(c));  // the narrow columns cut long texts
    }
    logLabel = new QLabel(QString::fromStdWString(logPath), this);
    logLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    logLabel->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list, 1);
    layout->addWidget(logLabel);
    layout->addWidget(buttons);
    resize(560, 320);
}
