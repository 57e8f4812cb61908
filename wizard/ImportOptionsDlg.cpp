#include "wizard/ImportOptionsDlg.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

CImportOptionsDlg::CImportOptionsDlg(const ImportOptions& options, QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:ImportOptions");
    setHelpTopic(L"wizard-import-options");
    setWindowTitle(tr("Import Options"));
    prefixWithFileName = new QCheckBox(tr("&Prefix sheet titles with file name"), this);
    subsetsByFolder = new QCheckBox(tr("&Create subsets based on folder structure"), this);
    ignoreTopFolder = new QCheckBox(tr("&Ignore top level folder"), this);
    prefixWithFileName->setChecked(options.prefixSheetWithFileName);
    subsetsByFolder->setChecked(options.subsetsBasedOnFolders);
    ignoreTopFolder->setChecked(options.ignoreTopLevelFolder);
    ignoreTopFolder->setEnabled(options.subsetsBasedOnFolders);
    connect(subsetsByFolder, &QCheckBox::toggled, ignoreTopFolder, &QCheckBox::setEnabled);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prefixWithFileName);
    layout->addWidget(subsetsByFolder);
    auto* indented = new QVBoxLayout;
    indented->setContentsMargins(20, 0, 0, 0);
    indented->addWidget(ignoreTopFolder);
    layout->addLayout(indented);
    layout->addSpacing(8);
    layout->addWidget(buttons);
}

ImportOptions CImportOptionsDlg::options() const {
    return ImportOptions{prefixWithFileName->isChecked(), subsetsByFolder->isChecked(), ignoreTopFolder->isChecked()};
}
