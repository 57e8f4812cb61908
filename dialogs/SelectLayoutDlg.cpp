#include "dialogs/SelectLayoutDlg.h"

#include <QGridLayout>
#include <QLabel>

#include "dialogs/PickerSupport.h"
#include "drawings/DwgReader.h"
#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "model/SheetSetMessages.h"

namespace {
QString q(const TkString& s) { return QString::fromStdWString(s); }
TkString trimmed(const QString& s) { return s.trimmed().toStdWString(); }
}  // namespace

CSelectLayoutDlg::CSelectLayoutDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:SelectLayout");
    setHelpTopic(L"select-layout");
    setWindowTitle("Select Layout as Sheet Template");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Drawing template file name:"), 0, 0, 1, 2);
    pathEdit = new QLineEdit;
    browseButton = new QPushButton("...");
    browseButton->setFixedWidth(32);
    pathEdit->setToolTip(q(ssMessage(26004, L"The drawing or template whose layout new sheets copy.")));
    browseButton->setToolTip(pathEdit->toolTip());
    grid->addWidget(pathEdit, 1, 0);
    grid->addWidget(browseButton, 1, 1);
    grid->addWidget(new QLabel("Select a layout to create new sheets:"), 2, 0, 1, 2);
    layoutList = new QListWidget;
    layoutList->setToolTip(q(ssMessage(26005, L"The initialized layouts of the file.")));
    grid->addWidget(layoutList, 3, 0, 1, 2);
    grid->setRowStretch(3, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    grid->addWidget(buttons, 4, 0, 1, 2);
    connect(browseButton, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(layoutList, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });
    resize(420, 360);
}

int CSelectLayoutDlg::DoModal() {
    ListLayouts(false);
    return CVrUiDialog::DoModal();
}

void CSelectLayoutDlg::ListLayouts(bool fromOk) {
    pathEdit->setText(q(filePath));
    layoutList->clear();
    handles_.clear();
    if (filePath.empty()) {
        layoutName.clear();
        return;
    }
    DwgReader reader;
    reader.load(filePath, false);
    std::vector<TkString> names;
    std::vector<uint32_t> handles;
    reader.listPaperLayouts(true, names, handles);
    if (names.empty()) {
        if (fromOk)
            VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"),
                           ssMessage(26002, L"The selected file does not contain any initialized layouts. Please select a different file."),
                           MB_OK | MB_ICONWARNING);
        fileHasLayouts = false;
        layoutName.clear();
        return;
    }
    fileHasLayouts = true;
    size_t chosen = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        layoutList->addItem(q(names[i]));
        handles_.push_back(handleText(handles[i]));
        if (names[i] == layoutName) chosen = i;
    }
    layoutHandle = handles_[chosen];
    layoutList->setCurrentRow(static_cast<int>(chosen));
}

void CSelectLayoutDlg::OnBrowse() {
    TkString chosen = browseForDrawing(true);
    if (chosen.empty()) return;
    filePath = chosen;
    layoutName.clear();
    ListLayouts(false);
}

void CSelectLayoutDlg::OnOK() {
    filePath = trimmed(pathEdit->text());
    if (filePath.empty() || !vrutPathExists(filePath)) {
        VrUiMessageBox(L"", ssMessage(26003, L"File not found."), MB_OK | MB_ICONWARNING);
        layoutList->clear();
        return;
    }
    if (!fileHasLayouts) {
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"),
                       ssMessage(26002, L"The selected file does not contain any initialized layouts. Please select a different file."),
                       MB_OK | MB_ICONWARNING);
        return;
    }
    selectedIndex = layoutList->currentRow();
    layoutName = selectedIndex >= 0 ? layoutList->item(selectedIndex)->text().toStdWString() : TkString();
    ListLayouts(true);
    if (layoutName.empty()) {
        VrUiMessageBox(L"", ssMessage(26001, L"No layout selected."), MB_OK | MB_ICONWARNING);
        return;
    }
    accept();
}
