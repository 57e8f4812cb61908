#include "dialogs/ImportLayoutsDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "host/Resources.h"
#include "model/SheetSetMessages.h"

bool CImportLayoutsDlg::prefixWithFileName = false;

namespace {

QString q(const TkString& s) { return QString::fromStdWString(s); }

TkString fileNameOf(const TkString& path) {
    TkString folder, name;
    vrutSplitPath(path, folder, name);
    return name;
}

const char* kColumns[3] = {"Drawing Name", "Layout Name", "Status"};
constexpr int kWidths[3] = {120, 120, 350};

}  // namespace

CImportLayoutsDlg::CImportLayoutsDlg(IsSheetLayout isSheet, std::vector<TkString> openSets, QWidget* parent)
    : CVrUiDialog(parent), isSheet_(std::move(isSheet)), openSets_(std::move(openSets)) {
    setDialogName("SheetSet:ImportLayouts");
    setHelpTopic(L"import-layouts");
    setWindowTitle(tr("Import Layouts as Sheets"));
    auto* intro = new QLabel(tr("Browse for drawings. The initialized layouts of the drawings are listed; checked layouts become sheets."), this);
    intro->setWordWrap(true);
    browseButton = new QPushButton(tr("&Browse for Drawings..."), this);
    browseButton->setToolTip(q(ssMessage(27811, L"Displays the standard Select Drawing file dialog box.")));
    list = new QTreeWidget(this);
    list->setRootIsDecorated(false);
    list->setColumnCount(3);
    list->setHeaderLabels({tr(kColumns[0]), tr(kColumns[1]), tr(kColumns[2])});
    list->setAllColumnsShowFocus(true);
    list->setAlternatingRowColors(true);
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(false);  // shown once the user sorts
    list->setToolTip(q(ssMessage(27812, L"Lists all layouts available in the specified drawing files. Click a check box to select a layout.")));
    for (int c = 0; c < 3; ++c) list->setColumnWidth(c, dialogData(kColumns[c], kWidths[c]).toInt());
    prefixCheck = new QCheckBox(tr("&Prefix sheet titles with file name"), this);
    prefixCheck->setToolTip(q(ssMessage(27813, L"Automatically adds the drawing file name to the beginning of the sheet title when selected.")));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(browseButton, 0, Qt::AlignLeft);
    layout->addWidget(list, 1);
    layout->addWidget(prefixCheck);
    layout->addWidget(buttons);
    connect(browseButton, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { onItemChanged(item); });
    connect(list->header(), &QHeaderView::sectionClicked, this, [this](int c) { sortBy(c); });
    auto* all = new QShortcut(QKeySequence::SelectAll, list);
    connect(all, &QShortcut::activated, list, &QTreeWidget::selectAll);
    resize(640, 420);
}

int CImportLayoutsDlg::DoModal() {
    list->setSelectionMode(singleChoice ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
    prefixCheck->setChecked(prefixWithFileName);
    if (hostPassed_) fillList();
    return CVrUiDialog::DoModal();
}

void CImportLayoutsDlg::fillFromDrawing(const TkString& drawing, const std::vector<TkString>& names) {
    hostPassed_ = true;
    hostNames_ = names;
    addDrawings({drawing});
}

void CImportLayoutsDlg::OnBrowse() {
    CVrUiNavDialog dialog(L"Select Drawings", true);
    dialog.addFilter(L"Drawing", L"*.dwg *.dxf");
    dialog.setMultiple(true);
    if (dialog.DoModal() != IDOK || dialog.fileNames().empty()) return;
    addDrawings(dialog.fileNames());
}

void CImportLayoutsDlg::addDrawings(const std::vector<TkString>& drawings) {
    rows_.clear();
    list->clear();
    LayoutRowsReport report;
    readLayoutRows(isSheet_, openSets_, drawings, rows_, report);
    for (LayoutRow& r : rows_) r.checked = std::find(hostNames_.begin(), hostNames_.end(), r.layout) != hostNames_.end();
    if (!report.unreadable.empty())
        VrUiMessageBox(L"Error during layout selection", L"Unable to read the drawing file", MB_OK);
    // A drawing the host passed that cannot be read has no initialized layout either.
    std::vector<TkString> without = report.noLayouts;
    if (hostPassed_) without.insert(without.end(), report.unreadable.begin(), report.unreadable.end());
    if (!without.empty()) {
        TkString files;
        for (const TkString& f : without) files += L"\t" + f + L"\n";
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"),
                       vrFormatMessage(L"The following selected files do not contain any initialized layouts:\n%s", {files}),
                       MB_OK | MB_ICONWARNING);
    }
    if (hostPassed_)
        for (const TkString& name : hostNames_)
            if (std::none_of(rows_.begin(), rows_.end(), [&](const LayoutRow& r) { return r.layout == name; })) {
                VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"),
                               L"The drawing requires saving before the selected layout(s) can be added to the sheet set.", MB_OK | MB_ICONWARNING);
                break;
            }
    // Single choice: the rows a sheet may take first, the stable order kept within each status.
    if (singleChoice) std::stable_sort(rows_.begin(), rows_.end(), [](const LayoutRow& a, const LayoutRow& b) { return a.status < b.status; });
    fillList();
}

void CImportLayoutsDlg::fillList() {
    checking_ = true;
    list->clear();
    for (size_t i = 0; i < rows_.size(); ++i) {
        const LayoutRow& r = rows_[i];
        auto* item = new QTreeWidgetItem(list, QStringList{q(fileNameOf(r.drawing)), q(r.layout), q(layoutStatusText(r.status))});
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setToolTip(0, q(r.drawing));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool checked = !singleChoice && r.status != LayoutRow::InUse && (!hostPassed_ || r.checked);
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        if (r.status == LayoutRow::InUse) item->setForeground(2, palette().brush(QPalette::Disabled, QPalette::Text));
    }
    checking_ = false;
}

void CImportLayoutsDlg::onItemChanged(QTreeWidgetItem* item) {
    if (checking_) return;
    checking_ = true;
    const Qt::CheckState state = item->checkState(0);
    if (singleChoice && state == Qt::Checked) {
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i) != item) list->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    } else if (!singleChoice && item->isSelected()) {
        for (QTreeWidgetItem* other : list->selectedItems()) other->setCheckState(0, state);
    }
    checking_ = false;
}

void CImportLayoutsDlg::sortBy(int column) {
    // The first click on any header sorts descending; every later click flips the direction.
    descending_ = sortColumn_ < 0 ? true : !descending_;
    sortColumn_ = column;
    std::vector<QTreeWidgetItem*> items;
    while (list->topLevelItemCount()) items.push_back(list->takeTopLevelItem(0));
    auto key = [&](QTreeWidgetItem* it) { return rows_[static_cast<size_t>(it->data(0, Qt::UserRole).toInt())]; };
    std::stable_sort(items.begin(), items.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        const LayoutRow ra = key(a), rb = key(b);
        bool less = column == 0 ? fileNameOf(ra.drawing) < fileNameOf(rb.drawing) : column == 1 ? ra.layout < rb.layout : ra.status < rb.status;
        bool greater = column == 0 ? fileNameOf(rb.drawing) < fileNameOf(ra.drawing) : column == 1 ? rb.layout < ra.layout : rb.status < ra.status;
        return descending_ ? greater : less;
    });
    for (QTreeWidgetItem* it : items) list->addTopLevelItem(it);
    list->header()->setSortIndicatorShown(true);
    list->header()->setSortIndicator(column, descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CImportLayoutsDlg::OnOK() {
    std::vector<LayoutRow> checked;
    bool any = false;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->checkState(0) != Qt::Checked) continue;
        any = true;
        const LayoutRow& r = rows_[static_cast<size_t>(item->data(0, Qt::UserRole).toInt())];
        if (r.status != LayoutRow::InUse) checked.push_back(r);
    }
    if (!any) {
        VrUiMessageBox(L"", L"No layout selected.", MB_OK);
        return;
    }
    chosen = checked;
    prefixWithFileName = prefixCheck->isChecked();
    for (int c = 0; c < 3; ++c) setDialogData(kColumns[c], list->columnWidth(c));
    done(QDialog::Accepted);
}
