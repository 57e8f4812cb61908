// A colleague on the same set while a dialog of the palette is open. The operation holds the set
// from before its dialog to its last write: a colleague's edit meanwhile is refused naming this
// user, or, when it waits, lands after OK beside ours; the palette's poll never reads the set
// again under the open dialog (which would free what the dialog was filled from). A colleague who
// holds the set before the dialog opens is named, and nothing is shown, written or left behind.
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <filesystem>
#include <fstream>

#include "dialogs/ImportLayoutsDlg.h"
#include "dialogs/ListDialogs.h"
#include "dialogs/NewSheetDlg.h"
#include "dialogs/SheetPropertiesDlg.h"
#include "dialogs/SheetsetPropertiesDlg.h"
#include "dialogs/SubsetPropertiesDlg.h"
#include "drawings/SheetSetLock.h"
#include "model/ItemLookup.h"
#include "palette/PaletteIds.h"
#include "tests/palette/PaletteFixture.h"
#include "toolkit/common/TkUtf8.h"

namespace fs = std::filesystem;

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

// A colleague's process that adds the subset "Colleague" to the set, waiting up to `waitMs` for
// the lock; it writes what it got ("done", or "locked by WHO") into `report` and ends.
pid_t colleagueEdits(const std::string& setPath, int waitMs, const std::string& report) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    CSheetSetMgrImpl mgr;
    std::string outcome = "cannot open";
    if (mgr.openSheetSet(W(setPath).c_str())) {
        const ActionResult r = editSheetSet(mgr, 0, [](CSheetSetImpl& s) { return s.addNewSubset(-1, L"Colleague") != nullptr; }, waitMs);
        outcome = r.status == ActionResult::Done ? "done" : r.status == ActionResult::Locked ? "locked by " + tkToUtf8(r.holder.user) : "failed";
    }
    std::ofstream(report) << outcome;
    ::_exit(0);
}

std::string finish(pid_t pid, const std::string& report) {
    ::waitpid(pid, nullptr, 0);
    std::ifstream in(report);
    std::string s;
    std::getline(in, s);
    return s;
}

std::set<std::string> filesIn(const fs::path& folder) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.insert(e.path().filename().string());
    return out;
}

// One dialog of the palette: how to get there, what to change in it, and how to see the change.
struct DialogCase {
    const char* name;
    int command;
    const char* click;
    std::function<int(CVrUiDialog*)> play;  // makes a change and presses OK
    std::function<bool(CSheetSet*)> landed;
};

}  // namespace

class ColleagueDialogsTest : public PaletteTest, public testing::WithParamInterface<std::tuple<int, int>> {
protected:
    void SetUp() override {
        PaletteTest::SetUp();
        CImportLayoutsDlg::prefixWithFileName = false;
        CNewSheetDlg::openInDrawingEditor = false;
        freeDrawing = dir.file("free.dwg");
        ASSERT_TRUE(makeThreeSheetDrawing()->saveAs(freeDrawing, kTkDbVerR2010).ok());
        // New sheets come from layout "Sheet A" of a template in the scratch folder.
        const std::string tmpl = dir.file("tmpl.dwt");
        auto db = makeThreeSheetDrawing();
        ASSERT_TRUE(db->saveAs(tmpl, kTkDbVerR2010).ok());
        wchar_t handle[16];
        std::swprintf(handle, 16, L"%X", static_cast<unsigned>(db->findLayout("Sheet A")->handle()));
        CSheetSetMgrImpl mgr;
        ASSERT_TRUE(mgr.openSheetSet(W(setPath).c_str()));
        ASSERT_EQ(editSheetSet(mgr, 0, [&](CSheetSetImpl& s) {
                      s.setNewSheetLocation(W(dir.path().string()).c_str(), false);
                      s.setTemplate(L"Sheet A", handle, W(tmpl).c_str(), true);
                      return true;
                  }).status,
                  ActionResult::Done);
    }
    void TearDown() override {
        CVrUiDialog::testHook = nullptr;
        PaletteTest::TearDown();
    }
    // The set as a fresh process reads it.
    std::unique_ptr<CSheetSetMgrImpl> onDisk() const {
        auto mgr = std::make_unique<CSheetSetMgrImpl>();
        EXPECT_TRUE(mgr->openSheetSet(W(setPath).c_str()));
        return mgr;
    }
    std::vector<DialogCase> cases() {
        auto accept = [](QDialog* d) { return d->result(); };
        auto byTypedName = [](CSheetSet* s, const wchar_t* typed) {
            TkString error;
            return findItem(s, typed, error) != nullptr;
        };
        return {
            {"sheet properties", pal::kCmdSheetProperties, "b2",
             [=](CVrUiDialog* d) {
                 auto* dlg = dynamic_cast<CSheetPropertiesDlg*>(d);
                 dlg->grid->model().setValue("title", "b2 revised");
                 dlg->OnOK();
                 return accept(dlg);
             },
             [=](CSheetSet* s) { return byTypedName(s, L"B/b2 revised"); }},
            {"subset properties", pal::kCmdSubsetProperties, "B",
             [=](CVrUiDialog* d) {
                 auto* dlg = dynamic_cast<CSubsetPropertiesDlg*>(d);
                 dlg->grid->model().setValue("name", "Bridges");
                 dlg->OnOK();
                 return accept(dlg);
             },
             [](CSheetSet* s) { return findSubsetByPath(s, L"Bridges") != nullptr; }},
            {"sheet set properties", pal::kCmdSheetSetProperties, "Palette Test",
             [=](CVrUiDialog* d) {
                 auto* dlg = dynamic_cast<CSheetsetPropertiesDlg*>(d);
                 dlg->grid->model().setValue("description", "Harbour");
                 dlg->OnOK();
                 return accept(dlg);
             },
             [](CSheetSet* s) { return s->getDesc() == L"Harbour"; }},
            {"new subset", pal::kCmdNewSubset, "Palette Test",
             [=](CVrUiDialog* d) {
                 auto* dlg = dynamic_cast<CSubsetPropertiesDlg*>(d);
                 dlg->grid->model().setValue("name", "Fresh");
                 dlg->OnOK();
                 return accept(dlg);
             },
             [](CSheetSet* s) { return findSubsetByPath(s, L"Fresh") != nullptr; }},
            {"new sheet", pal::kCmdNewSheet, "B",
             [=](CVrUiDialog* d) {
                 auto* dlg = dynamic_cast<CNewSheetDlg*>(d);
                 QTest::keyClicks(dlg->numberEdit, "B-4");
                 QTest::keyClicks(dlg->titleEdit, "b4");
                 dlg->OnOK();
                 return accept(dlg);
             },
             [=, this](CSheetSet* s) { return byTypedName(s, L"B-4") && fs::exists(dir.file("B-4 b4.dwg")); }},
            {"new sheet selection", pal::kCmdSaveSelection, "b1",
             [=](CVrUiDialog* d) {
                 auto* dlg = dynamic_cast<CNewSelectionDlg*>(d);
                 dlg->nameEdit->setText("Issue 2");
                 dlg->OnOK();
                 return accept(dlg);
             },
             [](CSheetSet* s) { return s->getSheetSelSets()->getCount() == 1; }},
            {"import layouts", pal::kCmdImportLayout, "B",
             [=, this](CVrUiDialog* d) {
                 auto* dlg = dynamic_cast<CImportLayoutsDlg*>(d);
                 dlg->addDrawings({W(freeDrawing)});
                 dlg->OnOK();
                 return accept(dlg);
             },
             [](CSheetSet* s) { return findSubsetByPath(s, L"B")->getCount() > 3; }},  // b1 to b3, then the imported
        };
    }
    std::string freeDrawing;
};

// 0: the colleague tries while the dialog is open, 1: the same waiting for the lock, 2: the
// colleague holds the set before the dialog would open.
TEST_P(ColleagueDialogsTest, OneDialog) {
    const auto [index, variant] = GetParam();
    const DialogCase c = cases()[static_cast<size_t>(index)];
    SCOPED_TRACE(c.name);
    openWindow();
    for (QTreeWidgetItem* i = tree()->GetFirstItem(); i; i = tree()->GetNextItem(i)) i->setExpanded(true);
    click(item(c.click));
    const std::string report = dir.file("colleague.txt");
    std::unique_ptr<FileHold> holding;
    std::string before;
    std::set<std::string> files;
    if (variant == 2) {
        holding = colleagueHoldsTheSet();
        before = readFileText(setPath);
        files = filesIn(dir.path());
        responder.queueMessageBox(IDOK);
    }
    pid_t waiting = 0;
    int shown = 0;
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        ++shown;
        // Held by this process from before the dialog: the note names this user.
        const SheetSetLockInfo holder = CSheetSetLock::holder(W(setPath));
        EXPECT_TRUE(holder.held);
        if (variant == 1) waiting = colleagueEdits(setPath, 30000, report);
        else EXPECT_EQ(finish(colleagueEdits(setPath, 0, report), report), "locked by " + tkToUtf8(holder.user));
        // The poll while the dialog is open reads nothing.
        const int reloads = wnd->reloadCount();
        wnd->OnLockPoll();
        EXPECT_EQ(wnd->reloadCount(), reloads);
        return c.play(d);
    };
    wnd->OnCommand(c.command);
    CVrUiDialog::testHook = nullptr;
    EXPECT_TRUE(responder.failures().empty());
    if (variant == 2) {
        EXPECT_EQ(shown, 0);
        ASSERT_EQ(responder.shown().size(), 1u);
        EXPECT_NE(responder.shown()[0].text.find(L"locked by mchen on cad-07"), TkString::npos) << tkToUtf8(responder.shown()[0].text);
        EXPECT_EQ(readFileText(setPath), before);
        EXPECT_EQ(filesIn(dir.path()), files);  // no drawing made for a sheet that never came
        return;
    }
    EXPECT_EQ(shown, 1);
    if (variant == 1) {
        EXPECT_EQ(finish(waiting, report), "done");
    }
    auto now = onDisk();
    EXPECT_TRUE(c.landed(now->getSheetSet(0)));
    EXPECT_EQ(findSubsetByPath(now->getSheetSet(0), L"Colleague") != nullptr, variant == 1);
    EXPECT_FALSE(CSheetSetLock::holder(W(setPath)).present);  // let go, note removed
    // The palette shows the colleague's subset once its poll sees the save.
    wnd->OnLockPoll();
    EXPECT_EQ(item("Colleague") != nullptr, variant == 1);
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, ColleagueDialogsTest, testing::Combine(testing::Range(0, 7), testing::Range(0, 3)));
