#include "dialogs/SelectBlockDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPixmap>

#include "dialogs/PickerSupport.h"
#include "host/Dialogs.h"
#include "host/Graphics.h"
#include "host/PathUtil.h"
#include "model/SheetSetMessages.h"

namespace {
QString q(const TkString& s) { return QString::fromStdWString(s); }
}  // namespace

CSelectBlockDlg::CSelectBlockDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:SelectBlock");
    setHelpTopic(L"select-block");
    setWindowTitle("Select Block");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Drawing file name:"), 0, 0, 1, 3);
    pathEdit = new QLineEdit;
    browseButton = new QPushButton("...");
    browseButton->setFixedWidth(32);
    pathEdit->setToolTip(q(ssMessage(25904, L"The drawing that holds the block.")));
    browseButton->setToolTip(pathEdit->toolTip());
    grid->addWidget(pathEdit, 1, 0, 1, 2);
    grid->addWidget(browseButton, 1, 2);
    wholeDrawing = new QRadioButton("Select the drawing file as a block");
    blocksOfDrawing = new QRadioButton("Choose blocks in the drawing file:");
    wholeDrawing->setToolTip(q(ssMessage(25905, L"The whole drawing is inserted as the block.")));
    blocksOfDrawing->setToolTip(q(ssMessage(25906, L"One of the drawing's block definitions is the block.")));
    grid->addWidget(wholeDrawing, 2, 0, 1, 3);
    grid->addWidget(blocksOfDrawing, 3, 0, 1, 3);
    blockList = new QListWidget;
    preview = new QLabel;
    preview->setFixedSize(124, 124);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(blockList, 4, 0, 1, 2);
    grid->addWidget(preview, 4, 2, Qt::AlignTop);
    grid->setRowStretch(4, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    grid->addWidget(buttons, 5, 0, 1, 3);
    connect(browseButton, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(blocksOfDrawing, &QRadioButton::toggled, this, [this](bool on) {
        blockList->setEnabled(on);
        UpdatePreview();
    });
    connect(blockList, &QListWidget::currentRowChanged, this, [this] { UpdatePreview(); });
    resize(460, 380);
}

int CSelectBlockDlg::DoModal() {
    blockList->setSelectionMode(singleSelection ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
    ListBlocks();
    return CVrUiDialog::DoModal();
}

void CSelectBlockDlg::ListBlocks() {
    pathEdit->setText(q(filePath));
    pathEdit->selectAll();
    wholeDrawing->setChecked(true);
    blocksOfDrawing->setChecked(false);
    blockList->clear();
    reader_.load(filePath, false);
    std::vector<TkString> names;
    std::vector<uint32_t> handles;
    reader_.listBlocks(names, handles);
    for (size_t i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(q(names[i]));
        item->setData(Qt::UserRole, handles[i]);
        blockList->addItem(item);
    }
    blocksOfDrawing->setEnabled(!names.empty());
    blockList->setEnabled(false);
    UpdatePreview();
}

void CSelectBlockDlg::UpdatePreview() {
    QImage img;
    if (wholeDrawing->isChecked()) {
        if (reader_.database) img = vruiGetThumbnail(*reader_.database, 120, 120);
    } else if (QListWidgetItem* item = blockList->currentItem()) {
        img = reader_.getBlockIcon(item->text().toStdWString());
    }
    preview->setPixmap(img.isNull() ? QPixmap() : QPixmap::fromImage(img));
}

void CSelectBlockDlg::OnBrowse() {
    TkString chosen = browseForDrawing(false);
    if (chosen.empty()) return;
    filePath = chosen;
    ListBlocks();
}

void CSelectBlockDlg::OnOK() {
    filePath = pathEdit->text().trimmed().toStdWString();
    if (!vrutPathExists(filePath)) {
        VrUiMessageBox(L"", ssMessage(25901, L"Cannot find the specified file.\r\nPlease verify that the file exists."),
                       MB_OK | MB_ICONWARNING);
        ListBlocks();
        return;
    }
    if (!blocksOfDrawing->isChecked()) {
        blockNames.push_back(L"");  // the whole drawing
        blockHandles.push_back(L"");
        accept();
        return;
    }
    std::vector<QListWidgetItem*> chosen;
    if (singleSelection) {
        if (QListWidgetItem* item = blockList->currentItem(); item && item->isSelected()) chosen.push_back(item);
    } else {
        for (int i = 0; i < blockList->count(); ++i)
            if (blockList->item(i)->isSelected()) chosen.push_back(blockList->item(i));
    }
    if (chosen.empty()) {
        VrUiMessageBox(L"", ssMessage(25902, L"No block selected."), MB_OK | MB_ICONWARNING);
        return;
    }
    for (QListWidgetItem* item : chosen) {
        blockNames.push_back(item->text().toStdWString());
        blockHandles.push_back(handleText(item->data(Qt::UserRole).toUInt()));
    }
    accept();
}
