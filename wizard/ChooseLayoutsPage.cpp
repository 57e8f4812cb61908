#include "wizard/ChooseLayoutsPage.h"

#include <QHBoxLayout>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <filesystem>

#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "host/Progress.h"
#include "toolkit/common/TkUtf8.h"
#include "wizard/ImportOptionsDlg.h"

CChooseLayoutsPage::CChooseLayoutsPage(CCreateShSheet* sheet) : CCreateShPage(sheet) {
    auto* intro = new QLabel(tr("Select folders containing drawings. Layouts in the drawings can be added to the sheet set."), this);
    intro->setWordWrap(true);
    browseButton = new QPushButton(tr("&Browse..."), this);
    optionsButton = new QPushButton(tr("&Import Options..."), this);
    tree = new CLayoutTree(this);
    leftOut = new QLabel(this);
    leftOut->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(browseButton);
    buttons->addStretch();
    buttons->addWidget(optionsButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(buttons);
    layout->addWidget(tree, 1);
    layout->addWidget(leftOut);
    connect(browseButton, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(optionsButton, &QPushButton::clicked, this, [this] { OnImportOptions(); });
}

ImportOptions CChooseLayoutsPage::importOptions() const {
    const WizardSettings& s = state().settings;
    return ImportOptions{s.prefixSheetWithFileName != 0, s.subsetsBasedOnFolders != 0, s.ignoreTopLevelFolder != 0};
}

void CChooseLayoutsPage::OnBrowse() {
    WizardSettings& s = state().settings;
    TkString start = s.browseForLayoutsPath;
    std::error_code ec;
    if (start.empty() || !std::filesystem::is_directory(tkToUtf8(start), ec))
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdWString();
    TkString folder = vrutBrowseForFolder(tr("Browse for Folder").toStdWString(), start);
    if (folder.empty()) return;
    s.setPath(WizardSettings::kBrowseForLayoutsPath, s.browseForLayoutsPath, folder);
    addFolder(folder);
}

bool CChooseLayoutsPage::addFolder(const TkString& folder) {
    if (QTreeWidgetItem* existing = tree->findTopFolder(folder)) {
        tree->setCurrentItem(existing);
        return true;
    }
    ScannedFolder scanned;
    FolderScanReport report;
    const bool done = vrRunWithProgress(L"Create Sheet Set", L"Reading the drawings in " + folder + L"...", [&](VrProgress& progress) {
        FolderScanControl control;
        control.progress = [&](int n, int total) { progress.set(n, total); };
        control.cancel = progress.cancelFlag();
        scanned = scanDrawingFolder(folder, report, control);
    });
    if (!done) return false;
    if (scanned.name.empty()) scanned.name = folder;
    tree->setCurrentItem(tree->addTopFolder(scanned));
    for (auto [to, from] : {std::pair{&report_.stamped, &report.stamped}, {&report_.noLayouts, &report.noLayouts},
                            {&report_.unreadable, &report.unreadable}})
        to->insert(to->end(), from->begin(), from->end());
    const size_t skipped = report_.stamped.size() + report_.noLayouts.size() + report_.unreadable.size();
    leftOut->setText(skipped ? tr("Left out: %1 in a sheet set already, %2 without a set-up layout, %3 that cannot be read.")
                                   .arg(report_.stamped.size())
                                   .arg(report_.noLayouts.size())
                                   .arg(report_.unreadable.size())
                             : QString());
    QString why;
    for (const auto* list : {&report_.stamped, &report_.noLayouts, &report_.unreadable})
        for (size_t i = 0; i < list->size() && i < 40; ++i) why += QString::fromStdWString((*list)[i]) + "\n";
    leftOut->setToolTip(why.trimmed());
    return true;
}

void CChooseLayoutsPage::OnImportOptions() {
    CImportOptionsDlg dlg(importOptions(), this);
    if (dlg.DoModal() != QDialog::Accepted) return;
    const ImportOptions o = dlg.options();
    WizardSettings& s = state().settings;
    s.prefixSheetWithFileName = o.prefixSheetWithFileName;
    s.subsetsBasedOnFolders = o.subsetsBasedOnFolders;
    s.ignoreTopLevelFolder = o.ignoreTopLevelFolder;
    s.mask |= WizardSettings::kPrefixSheetWithFileName | WizardSettings::kSubsetsBasedOnFolders | WizardSettings::kIgnoreTopLevelFolder;
}

int CChooseLayoutsPage::OnWizardNext() {
    state().buildFromDrawings(tree->checkedTree(), importOptions());
    return CCreateShSheet::kConfirmPage;
}
