// The sheet list window: context menus for a writable, locked and read-only set, the timers'
// effects, the open and recent menu, the panes and the layout monitor's events.
#include <QApplication>
#include <QMainWindow>
#include <QSettings>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include "drawings/FileLocks.h"
#include "drawings/SheetSetStamp.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/Editor.h"
#include "host/NqSystem.h"
#include "host/RecentFiles.h"
#include "host/UiBase.h"
#include "actions/SheetSetEdit.h"
#include "operations/Operations.h"
#include "model/SheetSetMgrImpl.h"
#include "tests/support/OtherProcess.h"
#include "palette/PaletteIds.h"
#include "palette/SheetSetBar.h"
#include "palette/SheetSetPanes.h"
#include "palette/SheetlistButton.h"
#include "tests/palette/PaletteFixture.h"
#include "toolkit/common/TkAtomicFile.h"
#include "toolkit/common/TkFileJournal.h"
#include "toolkit/common/TkUtf8.h"

using namespace pal;

namespace {
bool enabled(const MenuSpec& m, const QString& text) {
    const MenuItem* i = findMenuItem(m, text);
    return i && i->enabled;
}

QStringList texts(const MenuSpec& m) {
    QStringList out;
    for (const MenuItem& i : m) out << (i.kind == MenuItem::Separator ? "-" : i.text);
    return out;
}

void touchLater(const std::string& path, int seconds) {
    struct utimbuf t;
    t.actime = t.modtime = time(nullptr) + seconds;
    utime(path.c_str(), &t);
}
}  // namespace

TEST_F(PaletteTest, MenusGrayWhatCannotRunWithoutDrawingsOrWhenTheSetIsHeld) {
    openWindow();
    CComponent* set = wnd->currentSheetSet();
    // No drawing open: editing waits for one, closing does not.
    MenuSpec m = wnd->contextMenuFor(set);
    EXPECT_TRUE(enabled(m, "&Close Sheet Set"));
    EXPECT_FALSE(enabled(m, "New &Sheet..."));
    EXPECT_FALSE(enabled(m, "Properties..."));
    const MenuItem* publish = findMenuItem(m, "&Publish");
    ASSERT_TRUE(publish);
    EXPECT_EQ(publish->kind, MenuItem::Plain);
    EXPECT_FALSE(publish->enabled);

    ASSERT_TRUE(vrDocManagerPtr()->openDocument(tkFromUtf8(drawingA), false));
    m = wnd->contextMenuFor(set);
    EXPECT_TRUE(enabled(m, "New &Sheet..."));
    EXPECT_TRUE(enabled(m, "&Resave All Sheets"));
    EXPECT_EQ(findMenuItem(m, "&Publish")->kind, MenuItem::Submenu);

    // Subsets: one with children cannot be removed; an empty one shows a grayed "&Expand".
    click(item("A"));
    m = wnd->contextMenuFor(CSheetsetTree::componentOf(item("A")));
    EXPECT_EQ(texts(m).front(), "Collaps&e");
    EXPECT_FALSE(enabled(m, "&Remove Subset"));
    click(item("Empty"));
    m = wnd->contextMenuFor(CSheetsetTree::componentOf(item("Empty")));
    EXPECT_EQ(texts(m).front(), "&Expand");
    EXPECT_FALSE(enabled(m, "&Expand"));
    EXPECT_TRUE(enabled(m, "&Remove Subset"));

    // A sheet whose drawing is open in the host cannot also be opened read-only.
    click(item("a1"));
    m = wnd->contextMenuFor(CSheetsetTree::componentOf(item("a1")));
    EXPECT_TRUE(enabled(m, "&Open"));
    EXPECT_FALSE(enabled(m, "Open rea&d-only"));
    click(item("a4"));
    EXPECT_TRUE(enabled(wnd->contextMenuFor(CSheetsetTree::componentOf(item("a4"))), "Open rea&d-only"));
    click(item("a3"));
    m = wnd->contextMenuFor(CSheetsetTree::componentOf(item("a3")));
    EXPECT_FALSE(enabled(m, "&Open"));  // its drawing is missing
    EXPECT_FALSE(enabled(m, "&Transmit..."));

    // Two subsets without sheets: nothing to open or remove.
    click(item("Empty"));
    click(item("Nested"), Qt::ControlModifier);
    item("Nested")->setExpanded(true);
    ASSERT_EQ(selectedLabels().size(), 2);
    m = wnd->contextMenuFor(CSheetsetTree::componentOf(item("Empty")));
    EXPECT_FALSE(enabled(m, "&Open"));
    EXPECT_FALSE(enabled(m, "&Remove Sheets"));
    EXPECT_TRUE(enabled(m, "&Save Sheet Selection..."));

    // Another user holds the set: every editing item grays; opening an existing drawing stays.
    auto colleague = colleagueHoldsTheSet();
    click(item("a4"));
    m = wnd->contextMenuFor(CSheetsetTree::componentOf(item("a4")));
    EXPECT_TRUE(enabled(m, "&Open"));
    for (const char* t : {"New &Sheet...", "Re&name && Renumber...", "&Remove Sheet", "Proper&ties...", "&Transmit..."})
        EXPECT_FALSE(enabled(m, t)) << t;
    EXPECT_FALSE(enabled(wnd->selectionsMenu(), "&Create..."));
    colleague->release();
    EXPECT_TRUE(enabled(wnd->selectionsMenu(), "&Create..."));
    EXPECT_FALSE(enabled(wnd->selectionsMenu(), "&Manage..."));  // the set has no selections
}

TEST_F(PaletteTest, EmptySpaceMenuAndViewCommands) {
    wnd = std::make_unique<CSheetListWnd>(nullptr);
    EXPECT_TRUE(wnd->contextMenuFor(nullptr).empty());  // no sheet set: no menu
    wnd.reset();
    openWindow();
    QStringList m = texts(wnd->contextMenuFor(nullptr));
    EXPECT_EQ(m.mid(0, 5), QStringList({"&Expand All", "&Collapse All", "-", "Tooltip Style", "-"}));
    EXPECT_EQ(m.mid(5), QStringList({"Preview/Details Pane", "Close"}));
    // Chosen through the popup: Collapse All keeps the set open with its direct children.
    CSheetListWnd::menuTestHook = [](const MenuSpec&) { return kCmdCollapseAll; };
    wnd->onContextMenu(nullptr, QPoint());
    EXPECT_TRUE(tree()->topLevelItem(0)->isExpanded());
    EXPECT_FALSE(item("A")->isExpanded());
    wnd->OnCommand(kCmdExpandAll);
    EXPECT_TRUE(item("Nested")->isExpanded());
    wnd->OnCommand(kCmdToolTipStyleFirst + 2);
    EXPECT_EQ(wnd->getToolTipStyle(), 2);
    MenuSpec view = viewMenu(wnd->menuFacts());
    const MenuItem* preview = findMenuItem(view, "Preview");
    EXPECT_TRUE(preview->checked);
    wnd->OnCommand(12345);  // unknown ids do nothing
}

TEST_F(PaletteTest, ChangedFileIsReloadedAndTheTreeKeepsItsShape) {
    openWindow();
    item("Nested")->setExpanded(true);
    click(item("b1"));
    {
        CSheetSetMgrImpl other;  // another drafter's session removes b3 and renames b2
        ASSERT_TRUE(other.openSheetSet(tkFromUtf8(setPath).c_str()));
        auto* b = static_cast<CSubset*>(other.getSheetSet(0)->getAt(1));
        b->removeSheet(static_cast<CSheet*>(b->getAt(2)));
        static_cast<CSheet*>(b->getAt(1))->setTitle(L"b2 revised");
        ASSERT_TRUE(other.getSheetSet(0)->save());
    }
    touchLater(setPath, 5);
    wnd->OnLockPoll();
    EXPECT_EQ(labelsUnder("B"), "b1 b2 revised");
    EXPECT_TRUE(item("Nested")->isExpanded());  // a refresh does not collapse the tree
    EXPECT_TRUE(item("b1")->isSelected());
    EXPECT_EQ(wnd->sheetSetButton()->stateImage(), 0);
}

// Another drafter's process removes the end of this one's Shift range and the item under its
// mouse, and saves. The poll reads the set again once, and only once; what the tree remembered
// of the removed items is gone with them, so Shift+Down and the mouse release act on what is there.
TEST_F(PaletteTest, ColleagueRemovesTheRangeEndAndThePollRereadsOnlyRealChanges) {
    openWindow();
    for (int i = 0; i < 3; ++i) wnd->OnLockPoll();
    EXPECT_EQ(wnd->reloadCount(), 0);  // nothing changed on disk: nothing read
    click(item("b1"));
    click(item("b3"), Qt::ShiftModifier);
    ASSERT_EQ(tree()->rangeEnd(), item("b3"));
    press(item("b3"), Qt::ShiftModifier);
    ASSERT_EQ(tree()->pressedItem(), item("b3"));
    const QPoint releaseAt = centre(item("b3"));
    OtherProcess colleague([&]() -> std::shared_ptr<void> {
        CSheetSetMgrImpl mgr;
        if (!mgr.openSheetSet(tkFromUtf8(setPath).c_str())) return nullptr;
        ActionResult r = editSheetSet(mgr, 0, [](CSheetSetImpl& set) {
            auto* b = static_cast<CSubset*>(set.getAt(1));
            b->removeSheet(static_cast<CSheet*>(b->getAt(2)));
            return true;
        });
        return r.status == ActionResult::Done ? std::make_shared<int>(1) : nullptr;
    });
    ASSERT_TRUE(colleague.took());
    colleague.letGo();
    wnd->OnLockPoll();
    EXPECT_EQ(wnd->reloadCount(), 1);
    EXPECT_EQ(labelsUnder("B"), "b1 b2");
    EXPECT_EQ(tree()->rangeEnd(), nullptr);
    EXPECT_EQ(tree()->pressedItem(), nullptr);
    QTest::keyClick(tree(), Qt::Key_Down, Qt::ShiftModifier);
    release(releaseAt, Qt::ShiftModifier);
    EXPECT_FALSE(selectedLabels().isEmpty());
    for (int i = 0; i < 3; ++i) wnd->OnLockPoll();
    EXPECT_EQ(wnd->reloadCount(), 1);  // our own tree is current now
}

// A drop onto a tree that another process changed meanwhile: the move is applied to the set as it
// is on disk, so the colleague's new subset stays and the moved sheet lands where it was dropped.
TEST_F(PaletteTest, DropOntoASetChangedByAColleagueKeepsBothChanges) {
    openWindow();
    {
        CSheetSetMgrImpl other;
        ASSERT_TRUE(other.openSheetSet(tkFromUtf8(setPath).c_str()));
        ActionResult r = editSheetSet(other, 0, [](CSheetSetImpl& set) {
            set.addNewSubset(-1, L"Colleague");
            return true;
        });
        ASSERT_EQ(r.status, ActionResult::Done);
    }
    click(item("b1"));
    press(item("b1"));
    moveTo(centre(item("b1")) + QPoint(0, 30));
    ASSERT_TRUE(tree()->isDragging());
    QRect a1 = tree()->visualItemRect(item("a1"));
    QPoint low(a1.left() + 24, a1.bottom() - 1);
    moveTo(low);
    release(low);
    EXPECT_EQ(fileLabels(L"A").rfind(L"a1 b1 ", 0), 0u) << fileLabels(L"A");
    EXPECT_EQ(fileLabels(L"Colleague"), L"");  // still there, empty
    EXPECT_TRUE(item("Colleague"));            // and shown
    EXPECT_EQ(labelsUnder("A").left(6), "a1 b1 ");
    EXPECT_EQ(selectedLabels(), QStringList{"b1"});
    EXPECT_FALSE(std::filesystem::exists(setPath.substr(0, setPath.size() - 4) + ".dbl"));
}

// Publish flags from the menus (an operation of the command table) land in the file under the lock: a subset passes its value to the
// subsets below it, never to sheets, and a nested subset is not turned on under a parent that is off.
TEST_F(PaletteTest, PublishFlagsFromTheMenusAreSavedAndShown) {
    openWindow();
    item("A")->setExpanded(true);
    click(item("A"));
    click(item("b1"), Qt::ControlModifier);
    wnd->OnCommand(pal::kCmdSubsetPublishOff);
    auto flags = [&] {
        CSheetSetMgrImpl mgr;
        EXPECT_TRUE(mgr.openSheetSet(tkFromUtf8(setPath).c_str()));
        std::map<std::wstring, bool> out;
        std::vector<CSubset*> subsets;
        mgr.getSheetSet(0)->getSubsets(subsets, true);
        for (CSubset* s : subsets) out[s->getName()] = s->getIncludeForPublish();
        std::vector<CSheet*> sheets;
        mgr.getSheetSet(0)->getSheets(sheets, true);
        for (CSheet* s : sheets) out[s->getTitle()] = s->getIncludeForPublish();
        return out;
    };
    auto f = flags();
    EXPECT_FALSE(f[L"A"]);
    EXPECT_FALSE(f[L"Nested"]);  // passed down to the subset below
    EXPECT_TRUE(f[L"a1"]);       // sheets below keep theirs
    EXPECT_FALSE(f[L"b1"]);      // a selected sheet takes it
    EXPECT_TRUE(f[L"B"]);
    EXPECT_EQ(CSheetsetTree::imageOf(item("A")), pal::kImgSubsetNotPublished);
    click(item("Nested"));
    wnd->OnCommand(pal::kCmdSubsetPublishOn);
    EXPECT_FALSE(flags()[L"Nested"]);  // its parent is off
    EXPECT_FALSE(std::filesystem::exists(setPath.substr(0, setPath.size() - 4) + ".dbl"));
    // Without the operation registered (no module) the id does nothing.
    unregisterSheetListOperations();
    click(item("B"));
    wnd->OnCommand(pal::kCmdSubsetPublishOff);
    EXPECT_TRUE(flags()[L"B"]);
}

// "Open...": the file dialog comes back after a file that is no sheet set and after one that
// cannot be opened, until a set opens; "Close Sheet Set" shows the next open set, and closing the
// last leaves an empty tree and dead publish buttons.
TEST_F(PaletteTest, OpenFromTheFileDialogAndCloseTheCurrentSet) {
    openWindow();
    CNqSystem::instance().registerService(L"CNqSheetSetMgr", static_cast<CNqSheetSetMgr*>(wnd.get()));
    ScratchDir other;
    const std::string second = other.file("Second.DST");  // the extension in capitals is still one
    std::filesystem::copy_file(setPath, second);
    responder.queueFileDialog({tkFromUtf8(dir.file("plan.dst.bak"))});
    responder.queueMessageBox(IDOK);
    responder.queueFileDialog({tkFromUtf8(dir.file("gone.dst"))});
    responder.queueMessageBox(IDOK);
    responder.queueFileDialog({tkFromUtf8(second)});
    wnd->OnCommand(pal::kCmdOpen);
    const auto& shown = responder.shown();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[1].text, L"Sheet Set file is not valid.");
    EXPECT_EQ(shown[1].caption, L"Sheet Set Manager Error");
    EXPECT_EQ(shown[3].text, L"Cannot find the specified file.\nPlease verify that the file exists.");
    ASSERT_EQ(wnd->manager()->getCount(), 2);
    EXPECT_EQ(wnd->manager()->getCurrent(), 1);
    responder.clear();
    responder.queueFileDialogCancel();
    wnd->OnCommand(pal::kCmdOpen);  // Cancel ends it
    EXPECT_EQ(wnd->manager()->getCount(), 2);

    wnd->OnCommand(pal::kCmdCloseSheetSet);
    ASSERT_EQ(wnd->manager()->getCount(), 1);
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "Palette Test");
    wnd->OnCommand(pal::kCmdCloseSheetSet);
    EXPECT_EQ(wnd->manager()->getCount(), 0);
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
    EXPECT_FALSE(wnd->publishMenuButton()->isEnabled());
    EXPECT_FALSE(wnd->activePublishButton()->isEnabled());
    CNqSystem::instance().removeService(L"CNqSheetSetMgr");
}

// The preview of a sheet whose drawing is missing or cannot be read says so instead of staying blank.
TEST_F(PaletteTest, PreviewSaysWhyThereIsNone) {
    openWindow();
    CSheetSetPanes* panes = wnd->panes();
    wnd->OnCommand(kCmdDetailsPane);
    panes->detailsPane()->OnPaneButton(pal::kPanePreview);
    ASSERT_TRUE(panes->detailsPane()->previewMode());
    item("A")->setExpanded(true);
    click(item("a3"));  // its drawing is missing
    EXPECT_FALSE(panes->detailsPane()->previewView()->hasImage());
    EXPECT_EQ(panes->detailsPane()->previewView()->note(), "The drawing of this sheet is missing.");
    writeFileText(drawingB, "not a drawing at all");
    click(item("b1"));
    EXPECT_EQ(panes->detailsPane()->previewView()->note(), "The drawing of this sheet cannot be read.");
}

TEST_F(PaletteTest, StatusPollFollowsTheSystemVariables) {
    openWindow();
    CNqSystem& sys = CNqSystem::instance();
    ASSERT_EQ(sys.setVar(L"SSMSHEETSTATUS", L"1"), RTNORM);
    EXPECT_EQ(wnd->statusPollInterval(), -1);
    sys.setVar(L"SSMPOLLTIME", L"30");
    EXPECT_EQ(wnd->statusPollInterval(), -1);  // not polling: the time alone starts nothing
    sys.setVar(L"ssmsheetstatus", L"2");
    EXPECT_EQ(wnd->statusPollInterval(), 30000);
    sys.setVar(L"SSMPOLLTIME", L"45");
    EXPECT_EQ(wnd->statusPollInterval(), 45000);
    for (const wchar_t* never : {L"0", L"-5"}) {  // would poll without pause
        sys.setVar(L"SSMPOLLTIME", never);
        EXPECT_EQ(wnd->statusPollInterval(), 60000) << never;
    }

    // The block editor disables the window; clean-screen hides a shown palette and brings it back.
    sys.setHostVar(L"BLOCKEDITOR", VrResBuf::ofShort(1));
    EXPECT_FALSE(wnd->isEnabled());
    sys.setHostVar(L"BLOCKEDITOR", VrResBuf::ofShort(0));
    EXPECT_TRUE(wnd->isEnabled());
}

TEST_F(PaletteTest, CleanScreenLeavesAPaletteTheUserHidHidden) {
    auto bar = std::make_unique<CSheetSetBar>();
    ASSERT_TRUE(bar->Create(nullptr));
    CNqSystem& sys = CNqSystem::instance();
    sys.registerGetter(L"SSMSTATE", [&](VrResBuf& r, TkDbDatabase*) { r = VrResBuf::ofShort(bar->IsVisible() ? 1 : 0); });
    EXPECT_FALSE(bar->IsVisible());  // no saved state: floating and hidden
    sys.setHostVar(L"CLEANSCREENSTATE", VrResBuf::ofShort(1));
    sys.setHostVar(L"CLEANSCREENSTATE", VrResBuf::ofShort(0));
    EXPECT_FALSE(bar->IsVisible());
    bar->Show(true);
    sys.setHostVar(L"CLEANSCREENSTATE", VrResBuf::ofShort(1));
    EXPECT_FALSE(bar->IsVisible());
    sys.setHostVar(L"CLEANSCREENSTATE", VrResBuf::ofShort(0));
    EXPECT_TRUE(bar->IsVisible());
    sys.unregisterGetter(L"SSMSTATE");
    // The next run finds the palette as this one left it.
    bar.reset();
    CSheetSetBar next;
    ASSERT_TRUE(next.Create(nullptr));
    EXPECT_TRUE(next.IsVisible());
    EXPECT_TRUE(next.isFloating());
}

// Opening a set docks a palette that nobody placed yet; one the user floated stays floating, in
// this run and the next.
TEST_F(PaletteTest, OpeningASetKeepsAPaletteTheUserFloated) {
    QMainWindow frame;
    frame.show();
    auto bar = std::make_unique<CSheetSetBar>();
    ASSERT_TRUE(bar->Create(&frame));
    frame.addDockWidget(Qt::RightDockWidgetArea, bar.get());
    bar->setFloating(true);  // the first run's default place, not the user's
    bar->showDocked();
    EXPECT_FALSE(bar->isFloating());
    EXPECT_TRUE(bar->IsVisible());
    bar->setFloating(true);  // the user drags it out
    bar->showDocked();
    EXPECT_TRUE(bar->isFloating());
    bar.reset();
    CSheetSetBar next;
    ASSERT_TRUE(next.Create(&frame));
    frame.addDockWidget(Qt::RightDockWidgetArea, &next);
    next.setFloating(true);
    next.showDocked();
    EXPECT_TRUE(next.isFloating());
}

// The button strip above the panes at the palette's smallest width, docked, and at its default
// floating size: every button whole, each after the one before, none narrower than its icon and
// arrow need, the last one ending where the panes end rather than at the palette's edge.
TEST_F(PaletteTest, ButtonStripFitsThePaletteAtItsSmallestAndDefaultSize) {
    QMainWindow frame;
    frame.setCentralWidget(new QWidget);
    frame.resize(900, 600);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CSheetSetBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    frame.addDockWidget(Qt::RightDockWidgetArea, &bar);
    bar.showDocked();
    ASSERT_TRUE(bar.sheetList()->openSheetSet(tkFromUtf8(setPath)));
    CSheetListWnd* list = bar.sheetList();
    auto check = [&](const char* where) {
        SCOPED_TRACE(where);
        QApplication::processEvents();
        EXPECT_GE(list->width(), list->minimumSizeHint().width());
        const QRect panes = list->panes()->geometry();
        int left = 0;
        for (QWidget* b : std::initializer_list<QWidget*>{list->sheetSetButton(), list->activePublishButton(), list->publishMenuButton(),
                                                          list->selectionsButton()}) {
            const QRect g = b->geometry();
            EXPECT_GE(g.left(), left) << b->objectName().toStdString();
            EXPECT_LE(g.right(), panes.right()) << b->objectName().toStdString();
            EXPECT_GE(g.width(), b == list->sheetSetButton() ? 60 : b->sizeHint().width()) << b->objectName().toStdString();
            left = g.right() + 1;
        }
        EXPECT_EQ(list->selectionsButton()->geometry().right(), panes.right());
    };
    frame.resizeDocks({&bar}, {230}, Qt::Horizontal);
    QApplication::processEvents();
    EXPECT_LE(bar.width(), 240);  // as small as the palette goes
    check("docked at the smallest width");
    bar.setFloating(true);
    bar.setGeometry(100, 200, 280, 500);
    check("floating at the default size");
}

TEST_F(PaletteTest, RecentListIgnoresCaseDropsTheOldestAndCleansUpStoredValues) {
    CVdUiRegistryAccess key(paletteSettingsKey(L"SheetSet:OpenSheetSet"));
    for (int i = 0; i < 7; ++i) key.setString(L"FileNameMRU" + std::to_wstring(i), L"/old/" + std::to_wstring(i) + L".dst");
    key.setString(L"FileNameMRU2", L"");
    {
        CSheetlistButton button(nullptr);
        EXPECT_EQ(button.recent().size(), 2u);  // reading stops at the first empty value
    }
    // Now 2 in memory over 7 stored: 0 and 1 written, the rest deleted up to the first gap.
    EXPECT_EQ(key.getString(L"FileNameMRU1"), L"/old/1.dst");
    EXPECT_EQ(key.getString(L"FileNameMRU3"), L"/old/3.dst");  // behind the gap: left alone
    EXPECT_EQ(key.getString(L"FileNameMRU2"), L"");

    openWindow();
    CSheetlistButton* button = wnd->sheetSetButton();
    EXPECT_EQ(button->recent().front(), tkFromUtf8(setPath));
    EXPECT_EQ(button->text(), "Palette Test");
    CSheetSetMgrImpl mgr;
    for (int i = 0; i < 11; ++i) {
        std::string p = dir.file("set" + std::to_string(i) + ".dst");
        CSheetSet* s = mgr.createSheetSet();
        s->setFileName(tkFromUtf8(p).c_str());
        s->save();
        mgr.releaseSheetSet(s);
        ASSERT_TRUE(mgr.openSheetSet(tkFromUtf8(p).c_str()));
        button->AddRecent(&mgr);
    }
    EXPECT_EQ(button->recent().size(), 10u);
    EXPECT_EQ(button->recent().front(), tkFromUtf8(dir.file("set10.dst")));
    // The same file in other letters moves up instead of being added twice.
    std::wstring upper = tkFromUtf8(dir.file("SET3.DST"));
    std::filesystem::rename(dir.file("set3.dst"), dir.file("SET3.DST"));
    CSheetSetMgrImpl other;
    ASSERT_TRUE(other.openSheetSet(upper.c_str()));
    button->AddRecent(&other);
    EXPECT_EQ(button->recent().size(), 10u);
    EXPECT_EQ(button->recent().front(), upper);

    // A recent file that is gone: dropped, with the message.
    button->RebuildMenu(wnd->manager());
    std::filesystem::remove(dir.file("set9.dst"));
    int gone = -1;
    for (size_t i = 0; i < button->recent().size(); ++i)
        if (button->recent()[i] == tkFromUtf8(dir.file("set9.dst"))) gone = static_cast<int>(i);
    ASSERT_GE(gone, 0);
    responder.queueMessageBox(IDOK);
    responder.queueFileDialogCancel();  // then the file dialog is offered
    wnd->OnCommand(kCmdRecentFirst + gone);
    const auto& shown = responder.shown();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2].caption, L"Sheet Set Manager Error");
    EXPECT_EQ(shown[shown.size() - 2].text, L"Cannot find the specified file.\nPlease verify that the file exists.");
    EXPECT_EQ(shown.back().kind, VrUiResponder::Kind::FileDialog);
    EXPECT_EQ(shown.back().caption, L"OpenSheetSet");
    EXPECT_EQ(button->recent().size(), 9u);

    // A recent file that is there but is no sheet set: said under the host's own caption, not as
    // the manager's error; the entry stays and no file dialog follows.
    std::ofstream(dir.file("set8.dst"), std::ios::trunc) << "not a sheet set\n";
    int broken = -1;
    for (size_t i = 0; i < button->recent().size(); ++i)
        if (button->recent()[i] == tkFromUtf8(dir.file("set8.dst"))) broken = static_cast<int>(i);
    ASSERT_GE(broken, 0);
    const size_t before = shown.size();
    responder.queueMessageBox(IDOK);
    wnd->OnCommand(kCmdRecentFirst + broken);
    ASSERT_EQ(responder.shown().size(), before + 1);
    EXPECT_EQ(responder.shown().back().kind, VrUiResponder::Kind::MessageBox);
    EXPECT_EQ(responder.shown().back().caption, vrHostCaption());
    EXPECT_EQ(responder.shown().back().text, L"Sheet Set file is not valid.");
    EXPECT_EQ(button->recent().size(), 9u);
}

TEST_F(PaletteTest, ASetOpenedHereIsOnTheHostsRecentFilesWhileTheHostKeepsThem) {
    openWindow();  // no host window: nothing kept
    EXPECT_TRUE(vrRecentFiles().empty());
    vrKeepRecentFiles(true);
    ASSERT_TRUE(wnd->openSheetSet(tkFromUtf8(setPath)));
    vrKeepRecentFiles(false);
    ASSERT_FALSE(vrRecentFiles().empty());
    EXPECT_EQ(vrRecentFiles().front(), tkFromUtf8(setPath));
}

TEST_F(PaletteTest, SplitterCollapsesAtTheTopAndTheSettingsSurvive) {
    openWindow();
    CSheetSetPanes* panes = wnd->panes();
    // A first run shows the sheets alone; the details come with the view command.
    EXPECT_FALSE(panes->bottomShown());
    EXPECT_TRUE(panes->splitterRect().isEmpty());
    wnd->OnCommand(kCmdDetailsPane);
    ASSERT_TRUE(panes->bottomShown());
    QRect s = panes->splitterRect();
    ASSERT_FALSE(s.isEmpty());
    QTest::mousePress(panes, Qt::LeftButton, {}, s.center());
    QMouseEvent move(QEvent::MouseMove, QPointF(s.center().x(), 3), panes->mapToGlobal(QPointF(s.center().x(), 3)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panes, &move);
    QTest::mouseRelease(panes, Qt::LeftButton, {}, QPoint(s.center().x(), 3));
    EXPECT_EQ(panes->collapseState(), 1);
    EXPECT_DOUBLE_EQ(panes->splitRatio(), 0.5);
    EXPECT_EQ(panes->sheetsPane()->height(), 20);  // the caption alone
    panes->TogglePaneCollapse(panes->sheetsPane());
    EXPECT_EQ(panes->collapseState(), 0);
    EXPECT_NEAR(panes->sheetsPane()->height() - 20, panes->detailsPane()->height() - 20, 1);

    // Without the details pane there is nothing to collapse and no splitter; a double-click on the
    // lone caption leaves the tree where it is.
    panes->TogglePaneCollapse(panes->sheetsPane());
    ASSERT_EQ(panes->collapseState(), 1);
    wnd->OnCommand(kCmdDetailsPane);
    EXPECT_EQ(panes->collapseState(), 0);  // hiding the other pane opens this one again
    EXPECT_FALSE(panes->sheetsPane()->hasCollapseButton());
    EXPECT_TRUE(panes->splitterRect().isEmpty());
    QTest::mouseDClick(panes->sheetsPane(), Qt::LeftButton, {}, QPoint(40, 8));
    EXPECT_EQ(panes->collapseState(), 0);
    EXPECT_GT(tree()->height(), 100);
    wnd->OnCommand(kCmdDetailsPane);
    EXPECT_TRUE(panes->sheetsPane()->hasCollapseButton());

    // A click builds the details once, and never while the pane is hidden.
    int builds = panes->detailsPane()->buildCount();
    click(item("b1"));
    EXPECT_EQ(panes->detailsPane()->buildCount(), builds + 1);
    wnd->OnCommand(kCmdDetailsPane);
    builds = panes->detailsPane()->buildCount();
    click(item("b2"));
    click(item("b3"));
    EXPECT_EQ(panes->detailsPane()->buildCount(), builds);
    wnd->OnCommand(kCmdDetailsPane);
    EXPECT_TRUE(panes->detailsPane()->detailsText().contains("b3"));  // built on showing, for the caret

    // Several selected: the details say so.
    click(item("b1"));
    click(item("b2"), Qt::ControlModifier);
    EXPECT_EQ(panes->detailsPane()->detailsText(), "Multiple items selected");
    click(item("b2"));
    EXPECT_TRUE(panes->detailsPane()->detailsText().contains("b2"));

    // A palette too short for both panes still shows both captions.
    panes->resize(panes->width(), 40);
    EXPECT_EQ(panes->sheetsPane()->geometry().top(), 0);
    EXPECT_GE(panes->detailsPane()->geometry().top(), 20);

    // Settings written when the window goes, read when the next one comes.
    panes->TogglePaneCollapse(panes->detailsPane());
    wnd.reset();
    CSheetListSettings settings;
    settings.load();
    EXPECT_EQ(settings.collapse, -1);
    EXPECT_EQ(CVdUiRegistryAccess(paletteSettingsKey(L"SheetSet:SheetList")).getInt(L"Percent"), 5000);
}

TEST_F(PaletteTest, OpeningAStampedDrawingOpensItsSetOnlyWhenItIsStillASheet) {
    openWindow();
    CNqSystem::instance().registerService(L"CNqSheetSetMgr", static_cast<CNqSheetSetMgr*>(wnd.get()));
    wnd->manager()->closeSheetSet(0);
    wnd->RebuildTree(nullptr);
    auto stampAndOpen = [&](const std::string& drawing) {
        auto db = std::make_unique<TkDbDatabase>();
        ASSERT_TRUE(db->readDxfFile(drawing).ok());
        ASSERT_TRUE(writeStamp(db.get(), tkFromUtf8(setPath), tkFromUtf8(drawing), L"Sheet A", L""));
        ASSERT_TRUE(db->saveAs(drawing, kTkDbVerR2010).ok());
        ASSERT_TRUE(vrDocManagerPtr()->openDocument(tkFromUtf8(drawing), true));
    };
    // A drawing the set does not list: nothing opens.
    std::string stray = dir.file("stray.dwg");
    std::filesystem::copy_file(drawingA, stray);
    stampAndOpen(stray);
    EXPECT_EQ(wnd->manager()->getCount(), 0);
    // With auto-open off, nothing either; the buttons are still refreshed.
    CNqSystem::instance().setVar(L"SSMAUTOOPEN", L"0");
    stampAndOpen(drawingB);
    EXPECT_EQ(wnd->manager()->getCount(), 0);
    vrDocManagerPtr()->closeAll();
    CNqSystem::instance().setVar(L"SSMAUTOOPEN", L"1");
    stampAndOpen(drawingA);
    ASSERT_EQ(wnd->manager()->getCount(), 1);
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "Palette Test");
    EXPECT_TRUE(wnd->publishMenuButton()->isEnabled());
    vrDocManagerPtr()->closeAll();
    EXPECT_FALSE(wnd->publishMenuButton()->isEnabled());  // no drawing open: nothing to publish
}

TEST_F(PaletteTest, OpeningASetUndoesAnActionThatWasCutShortAndSaysSo) {
    // Another process wrote a drawing and the set within one action and died before its end:
    // its journal is left beside the set.
    const std::string drawingBefore = readFileText(drawingA), setBefore = readFileText(setPath);
    const pid_t child = ::fork();
    if (child == 0) {
        auto* cutShort = new TkFileJournal(setPath + ".journal");
        TkFileJournal::Scope active(*cutShort);
        const bool wrote = tkWriteFileAtomically(drawingA, "half an action").empty() &&
                           tkWriteFileAtomically(setPath, setBefore + "<!-- the action's save -->").empty();
        ::_exit(wrote ? 0 : 1);  // no destructor runs: as if killed
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(readFileText(drawingA), "half an action");

    responder.queueMessageBox(IDOK);
    openWindow();
    EXPECT_EQ(readFileText(drawingA), drawingBefore);
    EXPECT_EQ(readFileText(setPath), setBefore);
    EXPECT_FALSE(std::filesystem::exists(setPath + ".journal"));
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_NE(responder.shown().front().text.find(L"undone"), std::wstring::npos);
    EXPECT_NE(item("a1"), nullptr);  // the tree shows the set as it is again
}
