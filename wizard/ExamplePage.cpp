#include "wizard/ExamplePage.h"

#include <QGridLayout>
#include <QLabel>

#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "model/SheetSetMessages.h"

namespace {
QString text(int id, const wchar_t* def) { return QString::fromStdWString(ssMessage(id, def)); }
}  // namespace

CExamplePage::CExamplePage(CCreateShSheet* sheet) : CCreateShPage(sheet) {
    listOption = new QRadioButton(tr("&Select a sheet set to use as an example"), this);
    exampleList = new QListWidget(this);
    browseOption = new QRadioButton(tr("&Browse to another sheet set to use as an example"), this);
    pathEdit = new QLineEdit(this);
    browseButton = new QPushButton(tr("..."), this);
    browseButton->setFixedWidth(32);
    about = new QTextEdit(this);
    about->setReadOnly(true);
    about->setMaximumHeight(110);
    auto* grid = new QGridLayout(this);
    grid->addWidget(listOption, 0, 0, 1, 2);
    grid->addWidget(exampleList, 1, 0, 1, 2);
    grid->addWidget(browseOption, 2, 0, 1, 2);
    grid->addWidget(pathEdit, 3, 0);
    grid->addWidget(browseButton, 3, 1);
    grid->addWidget(about, 4, 0, 1, 2);
    grid->setRowStretch(1, 1);
    connect(listOption, &QRadioButton::toggled, this, [this] { enableOptions(); });
    connect(browseButton, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(exampleList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && listOption->isChecked()) show(exampleList->item(row)->data(Qt::UserRole).toString().toStdWString());
    });
}

void CExamplePage::enableOptions() {
    exampleList->setEnabled(listOption->isChecked());
    pathEdit->setEnabled(browseOption->isChecked());
    browseButton->setEnabled(browseOption->isChecked());
}

void CExamplePage::OnSetActive() {
    if (filled_) return;
    filled_ = true;
    CreateShSheetState& st = state();
    const bool blocked = exampleList->blockSignals(true);
    for (const TkString& path : st.openExamples(vrutSheetSetTemplatePath())) {
        // Shown by file name without the folder and the ".dst".
        TkString folder, name;
        vrutSplitPath(path, folder, name);
        auto* item = new QListWidgetItem(QString::fromStdWString(name.substr(0, name.size() - 4)), exampleList);
        item->setData(Qt::UserRole, QString::fromStdWString(path));
    }
    exampleList->blockSignals(blocked);
    if (st.settings.selectionThroughWizard == 1) {
        browseOption->setChecked(true);
        if (!st.settings.lastCopiedSheetSet.empty()) show(st.settings.lastCopiedSheetSet);
    } else {
        listOption->setChecked(true);
        int row = 0;
        for (int i = 0; i < exampleList->count(); ++i)
            if (vrutSameTextNoCase(exampleList->item(i)->data(Qt::UserRole).toString().toStdWString(), st.settings.lastCopiedSheetSet)) row = i;
        if (exampleList->count()) {
            exampleList->setCurrentRow(row);
            show(exampleList->item(row)->data(Qt::UserRole).toString().toStdWString());
        }
    }
    enableOptions();
}

void CExamplePage::show(const TkString& path) {
    pathEdit->setText(QString::fromStdWString(path));
    if (!state().showExample(path)) {
        about->clear();
        return;
    }
    CSheetSet* example = state().shownExample();
    about->setHtml("<b>" + text(27605, L"Title: ").toHtmlEscaped() + "</b>" + QString::fromStdWString(example->getName()).toHtmlEscaped() +
                   "<br><b>" + text(27606, L"Description: ").toHtmlEscaped() + "</b>" +
                   QString::fromStdWString(example->getDesc()).toHtmlEscaped().replace("\n", "<br>"));
}

void CExamplePage::OnBrowse() {
    CVrUiNavDialog dialog(ssMessage(27604, L"Browse for Sheet Set"), true);
    dialog.addFilter(ssMessage(27603, L"Sheet Set"), L"*.dst");
    if (!pathEdit->text().isEmpty()) {
        TkString folder, name;
        vrutSplitPath(pathEdit->text().toStdWString(), folder, name);
        dialog.setInitialFolder(folder);
    }
    if (dialog.DoModal() == IDOK && !dialog.fileNames().empty()) pathEdit->setText(QString::fromStdWString(dialog.fileNames().front()));
}

int CExamplePage::OnWizardNext() {
    CreateShSheetState& st = state();
    if (browseOption->isChecked()) {
        const TkString path = vrutAbsolutePath(pathEdit->text().trimmed().toStdWString());
        if (path.empty() || !st.showExample(path)) {
            VrUiMessageBox(ssMessage(27601, L"File Not Found"), ssMessage(27602, L"Cannot find the specified sheet set data (DST) file."),
                           MB_OK | MB_ICONWARNING);
            return 0;
        }
        show(path);
    } else if (!st.shownExample()) {
        VrUiMessageBox(ssMessage(27601, L"File Not Found"), ssMessage(27602, L"Cannot find the specified sheet set data (DST) file."),
                       MB_OK | MB_ICONWARNING);
        return 0;
    }
    st.settings.setNumber(WizardSettings::kSelectionThroughWizard, st.settings.selectionThroughWizard, browseOption->isChecked() ? 1 : 0);
    return CCreateShSheet::kDetailsPage;
}
