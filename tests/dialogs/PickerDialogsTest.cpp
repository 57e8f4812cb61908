// The layout and block pickers played through the UI responder: what they list, what they return,
// and the messages for files without layouts, missing files and empty choices.
#include "dialogs/SelectBlockDlg.h"
#include "dialogs/SelectLayoutDlg.h"
#include "host/Dialogs.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {
// Runs the dialog with `play` as the user; restores the hook afterwards.
template <class Dlg>
int playDialog(Dlg& dlg, std::function<void(Dlg&)> play) {
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        play(*static_cast<Dlg*>(d));
        return d->result();
    };
    int r = dlg.DoModal();
    CVrUiDialog::testHook = nullptr;
    return r;
}
}  // namespace

TEST_F(HostTest, LayoutPickerReturnsTheChosenInitializedLayout) {
    ScratchDir dir;
    auto db = makeThreeSheetDrawing();  // Sheet A and B initialized, Sheet C not
    ASSERT_TRUE(db->saveAs(dir.file("tmpl.dwt"), kTkDbVerR2010).ok());
    CSelectLayoutDlg dlg;
    dlg.filePath = tkFromUtf8(dir.file("tmpl.dwt"));
    dlg.layoutName = L"Sheet B";
    int r = playDialog<CSelectLayoutDlg>(dlg, [](CSelectLayoutDlg& d) {
        ASSERT_EQ(d.layoutList->count(), 2);  // only initialized layouts
        EXPECT_EQ(d.layoutList->currentRow(), 1);  // the current name is preselected
        d.layoutList->setCurrentRow(0);
        d.OnOK();
    });
    EXPECT_EQ(r, QDialog::Accepted);
    EXPECT_EQ(dlg.layoutName, L"Sheet A");
    wchar_t expected[16];
    std::swprintf(expected, 16, L"%X", static_cast<unsigned>(db->findLayout("Sheet A")->handle()));
    EXPECT_EQ(dlg.layoutHandle, expected);  // upper-case hexadecimal, no prefix
    EXPECT_TRUE(responder.shown().empty());
}

TEST_F(HostTest, LayoutPickerRefusesFilesWithoutLayoutsAndMissingFiles) {
    ScratchDir dir;
    auto db = TkDbDatabase::createNew();  // Layout1 and Layout2, neither initialized
    ASSERT_TRUE(db->saveAs(dir.file("bare.dwt"), kTkDbVerR2010).ok());
    CSelectLayoutDlg dlg;
    dlg.filePath = tkFromUtf8(dir.file("bare.dwt"));
    responder.queueMessageBox(IDOK);
    responder.queueMessageBox(IDOK);
    int r = playDialog<CSelectLayoutDlg>(dlg, [&](CSelectLayoutDlg& d) {
        EXPECT_EQ(d.layoutList->count(), 0);
        d.OnOK();  // no initialized layouts
        d.pathEdit->setText(QString::fromStdString(dir.file("gone.dwt")));
        d.OnOK();  // no such file
        d.reject();
    });
    EXPECT_EQ(r, QDialog::Rejected);
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[0].caption, L"Sheet Set Manager Error");
    EXPECT_EQ(responder.shown()[0].text,
              L"The selected file does not contain any initialized layouts. Please select a different file.");
    EXPECT_EQ(responder.shown()[1].text, L"File not found.");
}

TEST_F(HostTest, BlockPickerReturnsBlocksOrTheWholeDrawing) {
    ScratchDir dir;
    auto db = makeThreeSheetDrawing();
    uint64_t door = db->addBlock("DOOR");
    db->addBlock("WINDOW");
    ASSERT_TRUE(db->saveAs(dir.file("blocks.dwg"), kTkDbVerR2010).ok());
    auto bare = makeThreeSheetDrawing();
    ASSERT_TRUE(bare->saveAs(dir.file("bare.dwg"), kTkDbVerR2010).ok());

    CSelectBlockDlg pick;
    pick.filePath = tkFromUtf8(dir.file("blocks.dwg"));
    responder.queueMessageBox(IDOK);
    playDialog<CSelectBlockDlg>(pick, [](CSelectBlockDlg& d) {
        ASSERT_EQ(d.blockList->count(), 2);
        EXPECT_TRUE(d.blocksOfDrawing->isEnabled());
        EXPECT_FALSE(d.blockList->isEnabled());  // until the blocks option is chosen
        d.blocksOfDrawing->setChecked(true);
        d.OnOK();  // nothing selected yet
        d.blockList->item(0)->setSelected(true);
        d.blockList->item(1)->setSelected(true);
        d.OnOK();
    });
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, L"No block selected.");
    EXPECT_EQ(pick.blockNames, (std::vector<std::wstring>{L"DOOR", L"WINDOW"}));
    wchar_t expected[16];
    std::swprintf(expected, 16, L"%X", static_cast<unsigned>(door));
    EXPECT_EQ(pick.blockHandles.front(), expected);

    // A drawing without blocks: the option stays off, OK gives the whole drawing.
    CSelectBlockDlg whole;
    whole.filePath = tkFromUtf8(dir.file("bare.dwg"));
    int r = playDialog<CSelectBlockDlg>(whole, [](CSelectBlockDlg& d) {
        EXPECT_FALSE(d.blocksOfDrawing->isEnabled());
        EXPECT_FALSE(d.preview->pixmap().isNull());  // the drawing's thumbnail
        d.OnOK();
    });
    EXPECT_EQ(r, QDialog::Accepted);
    EXPECT_EQ(whole.blockNames, (std::vector<std::wstring>{L""}));
    EXPECT_EQ(whole.blockHandles, (std::vector<std::wstring>{L""}));
}
