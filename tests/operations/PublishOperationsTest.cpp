// Publishing and Transmit from the palette with recording services: what each menu item hands over,
// the outputs the plot service cannot make offered grayed, the publish settings dialog's check box
// rules and tips, Transmit that has no drawing to send, and transmittal setups under the set's lock.
#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <map>

#include "dialogs/PublishSheetsDlg.h"
#include "drawings/SheetSetLock.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/PlotService.h"
#include "host/TransmitService.h"
#include "model/ItemLookup.h"
#include "palette/PaletteIds.h"
#include "tests/palette/PaletteFixture.h"
#include "toolkit/common/TkUtf8.h"

namespace {

struct RecordingPlot : CNqPlotSvr {
    std::vector<std::pair<int, VrPublishJob>> published;
    int optionsResult = 5100;
    int publish(int kind, const VrPublishJob& job) override { return published.emplace_back(kind, job), 0; }
    int publishWithPageSetupOverride(const VrPublishJob& job) override { return published.emplace_back(-1, job), 0; }
    void plotStampSettings() override {}
    int managePageSetups(const VrPublishJob&) override { return 0; }
    int sheetSetPublishOptions(const VrPublishJob&) override {
        optionsHeld.push_back(CSheetSetLock::holder(setFile).held);
        return optionsResult;
    }
    std::vector<bool> optionsHeld;  // whether the set was held each time the options were asked for
    TkString setFile;
    int publishDialogBox(const VrPublishJob& job) override { return published.emplace_back(-2, job), 0; }
    bool getPublishInReverseOrder() const override { return reverse; }
    void setPublishInReverseOrder(bool on) override { reverse = on; }
    bool getIncludePlotStamp() const override { return false; }
    void setIncludePlotStamp(bool) override {}
    int getDefaultPublishFormat() const override { return 0; }
    bool canPublish(int kind) const override { return dwfWriter || (kind != 1 && kind != 2); }
    int publishToFile(const VrPublishJob&, const TkString&) override { return 0; }
    bool reverse = false;
    bool dwfWriter = true;
};

struct RecordingTransmit : IVrTransmitService {
    std::vector<VrTransmittalJob> jobs;
    bool managerSeen = false;
    int transmit(const VrTransmittalJob& job) override {
        managerSeen = CNqSystem::instance().findService(L"CSheetSetMgr") != nullptr;
        return jobs.push_back(job), 0;
    }
    // The setups asked for, and whether the set was held at the time.
    std::vector<TkString> setups;
    std::vector<bool> heldMeanwhile;
    TkString setFile;
    int transmittalSetups(const TkString& path) override {
        setups.push_back(path);
        heldMeanwhile.push_back(CSheetSetLock::holder(setFile).held);
        return 1;
    }
};

}  // namespace

class PublishOperationsTest : public PaletteTest {
protected:
    void SetUp() override {
        PaletteTest::SetUp();
        CNqSystem::instance().registerService(L"CNqPlotSvr", &plot);
        CNqSystem::instance().registerService(L"IVrTransmitService", &transmitService);
    }
    void TearDown() override {
        CNqSystem::instance().removeService(L"CNqPlotSvr");
        CNqSystem::instance().removeService(L"IVrTransmitService");
        PaletteTest::TearDown();
    }
    RecordingPlot plot;
    RecordingTransmit transmitService;
};

TEST_F(PublishOperationsTest, MenuItemsHandTheGatheredSheetsToThePlotService) {
    openWindow();
    item("A")->setExpanded(true);
    click(item("a2"));
    click(item("B"), Qt::ControlModifier);
    wnd->OnCommand(pal::kCmdPublishPdf);
    wnd->OnCommand(pal::kCmdPublishDwf);
    wnd->OnCommand(pal::kCmdPublishDialog);
    ASSERT_EQ(plot.published.size(), 3u);
    EXPECT_EQ(plot.published[0].first, 0);
    EXPECT_EQ(plot.published[1].first, 1);
    EXPECT_EQ(plot.published[2].first, -2);
    const VrPublishJob& job = plot.published[0].second;
    ASSERT_EQ(job.sheets.size(), 4u);  // a2, then b1 b2 b3, in selection order
    EXPECT_EQ(job.sheets[0].title, L"a2");
    EXPECT_EQ(job.sheets[0].layout, L"Sheet B");
    EXPECT_EQ(job.sheets[3].title, L"b3");
    EXPECT_EQ(job.sheetSetName, L"Palette Test");

    // B's sheets left out of publishing: nothing gathered, the service is not asked.
    plot.published.clear();
    wnd->EditCurrentSet([](CSheetSetImpl& s) {
        findSubsetByPath(&s, L"B")->setIncludeForPublish(false, false);
        return true;
    });
    click(item("b1"));
    wnd->OnCommand(pal::kCmdPublishPdf);
    EXPECT_TRUE(plot.published.empty());
    // Reverse order is the service's to keep.
    wnd->OnCommand(pal::kCmdReverseOrder);
    EXPECT_TRUE(plot.reverse);
}

// A plot service without a DWF writer: the DWF entries stay in the publish menus, grayed, and
// say why when the mouse rests on them; PDF and the plotter are offered as before.
TEST_F(PublishOperationsTest, FormatsThePlotServiceCannotMakeAreGrayedAndSayWhy) {
    plot.dwfWriter = false;
    ASSERT_TRUE(vrDocManagerPtr()->openDocument(tkFromUtf8(drawingB), false));  // publishing wants a drawing open
    openWindow();
    item("A")->setExpanded(true);
    click(item("a1"));
    // The context menu's publish submenu.
    const MenuSpec menu = wnd->contextMenuFor(wnd->tree()->caretComponent());
    for (int id : {pal::kCmdPublishDwf, pal::kCmdPublishDwfx2}) {
        const MenuItem* entry = findMenuItem(menu, id);
        ASSERT_TRUE(entry) << id;
        EXPECT_FALSE(entry->enabled);
        EXPECT_TRUE(entry->toolTip.contains(id == pal::kCmdPublishDwf ? "no DWF writer" : "no DWFx writer")) << entry->toolTip.toStdString();
    }
    EXPECT_TRUE(findMenuItem(menu, pal::kCmdPublishPdf)->enabled);
    EXPECT_TRUE(findMenuItem(menu, pal::kCmdPublishPlotter)->enabled);
    EXPECT_TRUE(findMenuItem(menu, pal::kCmdPublishPdf)->toolTip.isEmpty());

    // The publish menu button's menu as it drops down: a QMenu shows tooltips only when told to.
    QMenu* dropDown = wnd->publishMenuButton()->menu();
    ASSERT_TRUE(dropDown);
    emit dropDown->aboutToShow();
    EXPECT_TRUE(dropDown->toolTipsVisible());
    std::map<int, QAction*> actions;
    for (QAction* a : dropDown->actions())
        if (a->data().isValid()) actions[a->data().toInt()] = a;
    ASSERT_TRUE(actions.count(pal::kCmdPublishDwf) && actions.count(pal::kCmdPublishPdf));
    EXPECT_FALSE(actions[pal::kCmdPublishDwf]->isEnabled());
    EXPECT_TRUE(actions[pal::kCmdPublishDwf]->toolTip().contains("no DWF writer"));
    EXPECT_TRUE(actions[pal::kCmdPublishPdf]->isEnabled());
    for (QAction* a : dropDown->actions()) {
        if (a->menu()) {
            EXPECT_TRUE(a->menu()->toolTipsVisible()) << a->text().toStdString();
        }
    }

    // With a writer they are offered like PDF.
    plot.dwfWriter = true;
    EXPECT_TRUE(findMenuItem(wnd->contextMenuFor(wnd->tree()->caretComponent()), pal::kCmdPublishDwf)->enabled);
}

TEST_F(PublishOperationsTest, PublishSettingsDialogFollowsItsCheckBoxRules) {
    openWindow();
    int shown = 0;
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        auto* dlg = dynamic_cast<CPublishSheetsDlg*>(d);
        if (!dlg) return int(QDialog::Rejected);
        ++shown;
        QTreeWidgetItem* root = dlg->tree->topLevelItem(0);
        EXPECT_EQ(root->checkState(0), Qt::Checked);
        QTreeWidgetItem* a = root->child(0);
        QTreeWidgetItem* b = root->child(1);
        // Clearing the root clears every sheet and checks every subset.
        root->setCheckState(0, Qt::Unchecked);
        EXPECT_EQ(a->child(0)->checkState(0), Qt::Unchecked);
        EXPECT_EQ(a->checkState(0), Qt::Checked);
        // A sheet checked checks the root; a subset's box is its own.
        b->child(1)->setCheckState(0, Qt::Checked);
        EXPECT_EQ(root->checkState(0), Qt::Checked);
        b->setCheckState(0, Qt::Unchecked);
        EXPECT_EQ(b->child(1)->checkState(0), Qt::Checked);
        b->child(1)->setCheckState(0, Qt::Unchecked);
        EXPECT_EQ(root->checkState(0), Qt::Unchecked);  // no sheet left checked
        b->child(1)->setCheckState(0, Qt::Checked);
        dlg->OnOK();
        return dlg->result();
    };
    click(item("Palette Test"));
    wnd->OnCommand(pal::kCmdPublishSettings);
    CVrUiDialog::testHook = nullptr;
    EXPECT_EQ(shown, 1);
    CSheetSet* set = wnd->manager()->getSheetSet(0);
    EXPECT_FALSE(findSubsetByPath(set, L"B")->getIncludeForPublish());
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    int included = 0;
    for (CSheet* s : sheets) included += s->getIncludeForPublish() ? 1 : 0;
    EXPECT_EQ(included, 1);  // b2 alone
    EXPECT_EQ(fileLabels(L"B"), L"b1 b2 b3");  // saved: a fresh read sees the set
}

// The publish settings dialog's tree tips its items as the palette's tree does, in the palette's
// tooltip style: the same bitmap for the same sheet, a subset's name and details without a
// preview, and the tip goes when the mouse leaves.
TEST_F(PublishOperationsTest, PublishSettingsTreeTipsItsItemsAsThePalettesTreeDoes) {
    ASSERT_TRUE(vrDocManagerPtr()->openDocument(tkFromUtf8(drawingB), false));  // previews are drawn with a drawing open
    openWindow();
    item("A")->setExpanded(true);
    wnd->OnCommand(pal::kCmdToolTipStyleFirst + 6);  // medium preview and details
    auto hover = [](QTreeWidget* tree, QTreeWidgetItem* i) {
        const QPoint at = tree->visualItemRect(i).center();
        QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &help);
    };
    hover(tree(), item("a1"));
    const QImage inPalette = tree()->toolTip()->bitmap();
    hover(tree(), item("A"));
    const QImage subsetInPalette = tree()->toolTip()->bitmap();
    ASSERT_FALSE(inPalette.isNull());
    int shown = 0;
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        auto* dlg = dynamic_cast<CPublishSheetsDlg*>(d);
        if (!dlg) return int(QDialog::Rejected);
        ++shown;
        dlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg));
        QTreeWidgetItem* a = dlg->tree->topLevelItem(0)->child(0);
        QTreeWidgetItem* a1 = a->child(0);
        EXPECT_EQ(a1->text(0), "a1");
        hover(dlg->tree, a1);
        EXPECT_TRUE(dlg->toolTip() && dlg->toolTip()->isVisible());
        if (!dlg->toolTip()) return int(QDialog::Rejected);
        EXPECT_EQ(dlg->toolTip()->tippedItem(), a1);
        EXPECT_EQ(dlg->toolTip()->bitmap(), inPalette);  // the sheet's name, preview and details
        hover(dlg->tree, a);
        EXPECT_EQ(dlg->toolTip()->bitmap(), subsetInPalette);
        EXPECT_LT(dlg->toolTip()->bitmap().height(), inPalette.height());  // no preview box for a subset
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(dlg->tree->viewport(), &leave);
        EXPECT_FALSE(dlg->toolTip()->isVisible());
        return int(QDialog::Rejected);
    };
    wnd->OnCommand(pal::kCmdPublishSettings);
    CVrUiDialog::testHook = nullptr;
    EXPECT_EQ(shown, 1);
}

// The transmittal setups belong to the set: the service edits them while the palette holds the
// set, and a colleague's hold refuses them with the colleague named, the service never asked.
TEST_F(PublishOperationsTest, TransmittalSetupsAreEditedUnderTheSetsLock) {
    transmitService.setFile = tkFromUtf8(setPath);
    openWindow();
    click(item("Palette Test"));
    wnd->OnCommand(pal::kCmdTransmittalSetups);
    ASSERT_EQ(transmitService.setups.size(), 1u);
    EXPECT_EQ(transmitService.setups[0], tkFromUtf8(dir.file("Palette Test")));  // the set's folder and name
    EXPECT_TRUE(transmitService.heldMeanwhile[0]);
    EXPECT_FALSE(CSheetSetLock::holder(tkFromUtf8(setPath)).present);  // let go afterwards
    EXPECT_TRUE(responder.shown().empty());

    auto holding = colleagueHoldsTheSet();
    responder.queueMessageBox(IDOK);
    wnd->OnCommand(pal::kCmdTransmittalSetups);
    EXPECT_EQ(transmitService.setups.size(), 1u);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_NE(responder.shown()[0].text.find(L"locked by mchen on cad-07"), TkString::npos) << tkToUtf8(responder.shown()[0].text);
}

// The set's publish options likewise: asked for under the palette's hold, refused under a colleague's.
TEST_F(PublishOperationsTest, PublishOptionsAreSetUnderTheSetsLock) {
    plot.setFile = tkFromUtf8(setPath);
    openWindow();
    click(item("Palette Test"));
    wnd->OnCommand(pal::kCmdPublishOptions);
    EXPECT_EQ(plot.optionsHeld, std::vector<bool>{true});
    EXPECT_FALSE(CSheetSetLock::holder(tkFromUtf8(setPath)).present);
    auto holding = colleagueHoldsTheSet();
    responder.queueMessageBox(IDOK);
    wnd->OnCommand(pal::kCmdPublishOptions);
    EXPECT_EQ(plot.optionsHeld.size(), 1u);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_NE(responder.shown()[0].text.find(L"locked by mchen on cad-07"), TkString::npos);
}

TEST_F(PublishOperationsTest, TransmitSendsDrawingsAndLabelsButNeverNothing) {
    openWindow();
    item("A")->setExpanded(true);
    click(item("A"));
    wnd->OnCommand(pal::kCmdTransmit);
    ASSERT_EQ(transmitService.jobs.size(), 1u);
    EXPECT_TRUE(transmitService.managerSeen);
    EXPECT_EQ(CNqSystem::instance().findService(L"CSheetSetMgr"), nullptr);  // only while it works
    EXPECT_EQ(transmitService.jobs[0].drawings.size(), 5u);  // a1 a2 a3 a4 n1, duplicates kept
    EXPECT_EQ(transmitService.jobs[0].labels.front(), L"a1");
    // Sheets without drawings: the service is not called.
    wnd->EditCurrentSet([](CSheetSetImpl& s) {
        std::vector<CSheet*> sheets;
        findSubsetByPath(&s, L"B")->getSheets(sheets, false);
        for (CSheet* sh : sheets) sh->setLayout(L"x", L"", L"");
        return true;
    });
    item("B")->setExpanded(true);
    click(item("b1"));
    wnd->OnCommand(pal::kCmdTransmit);
    EXPECT_EQ(transmitService.jobs.size(), 1u);
}
