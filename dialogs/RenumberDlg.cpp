#include "dialogs/RenumberDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

CRenumberDlg::CRenumberDlg(Planner planner, QWidget* parent) : CVrUiDialog(parent), planner_(std::move(planner)) {
    setDialogName("SheetSet:RenumberSheets");
    setHelpTopic(L"renumber-sheets");
    setWindowTitle(tr("Renumber Sheets"));
    patternEdit = new QLineEdit("A-1##", this);
    patternEdit->setToolTip(tr("The number of each sheet: the #s take the counter, zero padded."));
    startBox = new QSpinBox(this);
    startBox->setRange(0, 999999);
    startBox->setValue(1);
    stepBox = new QSpinBox(this);
    stepBox->setRange(1, 1000);
    layoutsCheck = new QCheckBox(tr("Rename &layouts to match (number and title)"), this);
    filesCheck = new QCheckBox(tr("Rename drawing &files to match"), this);
    preview = new QTreeWidget(this);
    preview->setRootIsDecorated(false);
    preview->setHeaderLabels({tr("Old number"), tr("New number"), tr("Title")});
    preview->setColumnWidth(0, 110);
    preview->setColumnWidth(1, 110);
    problem = new QLabel(this);
    problem->setWordWrap(true);
    problem->setStyleSheet("color: #b00020;");
    auto* form = new QFormLayout;
    form->addRow(tr("&Pattern:"), patternEdit);
    form->addRow(tr("&Start at:"), startBox);
    form->addRow(tr("S&tep:"), stepBox);
    form->addRow(QString(), layoutsCheck);
    form->addRow(QString(), filesCheck);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(preview, 1);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        pattern = patternEdit->text().trimmed().toStdWString();
        start = startBox->value();
        step = stepBox->value();
        renameLayouts = layoutsCheck->isChecked();
        renameFiles = filesCheck->isChecked();
        done(QDialog::Accepted);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(patternEdit, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(startBox, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(stepBox, &QSpinBox::valueChanged, this, [this] { refresh(); });
    resize(520, 460);
    refresh();
}

void CRenumberDlg::refresh() {
    const RenumberPlan plan = planner_(patternEdit->text().trimmed().toStdWString(), startBox->value(), stepBox->value());
    preview->clear();
    for (const RenumberChange& c : plan.changes) {
        auto* item = new QTreeWidgetItem(preview, QStringList{QString::fromStdWString(c.oldNumber), QString::fromStdWString(c.newNumber),
                                                               QString::fromStdWString(c.sheet->getTitle())});
        for (const TkString& collision : plan.collisions)
            if (collision.rfind(c.newNumber + L":", 0) == 0) item->setForeground(1, QColor(176, 0, 32));
    }
    QString text = QString::fromStdWString(plan.error);
    for (const TkString& c : plan.collisions) text += (text.isEmpty() ? "" : "\n") + QString::fromStdWString(c);
    problem->setText(text);
    okButton->setEnabled(plan.ok() && !plan.changes.empty());
}
