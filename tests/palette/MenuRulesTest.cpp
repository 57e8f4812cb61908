// The publish popup, the view items and the sheet set button's menu: what is enabled, checked
// and present for a given selection and set.
#include <QAction>
#include <QMenu>
#include <QSettings>
#include <gtest/gtest.h>

#include "model/SheetSetMgrImpl.h"
#include "palette/MenuRules.h"
#include "palette/PaletteIds.h"
#include "palette/SheetlistButton.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

using namespace pal;

namespace {
struct PublishFixture : testing::Test {
    void SetUp() override {
        QSettings("Vorn", "Vorn").clear();
        set = mgr.createSheetSet();
        set->setFileName(tkFromUtf8(dir.file("Publish.dst")).c_str());
        shown = set->addNewSubset(-1, L"Shown");
        hidden = set->addNewSubset(-1, L"Hidden");
        on = shown->addNewSheet(-1, L"on");
        off = shown->addNewSheet(-1, L"off");
        off->setIncludeForPublish(false);
        inHidden = hidden->addNewSheet(-1, L"in hidden");
        hidden->setIncludeForPublish(false, true);
    }
    void TearDown() override { mgr.releaseSheetSet(set); }
    ScratchDir dir;
    CSheetSetMgrImpl mgr;
    CSheetSet* set = nullptr;
    CSubset *shown = nullptr, *hidden = nullptr;
    CSheet *on = nullptr, *off = nullptr, *inHidden = nullptr;
};
}  // namespace

TEST_F(PublishFixture, PublishableFollowsTheSheetAndItsParent) {
    EXPECT_TRUE(isPublishable({on}));
    EXPECT_FALSE(isPublishable({off}));
    EXPECT_FALSE(isPublishable({inHidden}));  // its own flag is set, its subset's is not
    EXPECT_TRUE(isPublishable({shown}));
    EXPECT_FALSE(isPublishable({hidden}));
    EXPECT_TRUE(isPublishable({set}));
    EXPECT_TRUE(isPublishable({off, on}));

    MenuFacts f;
    MenuSpec m = publishMenu({off}, off, {}, f);
    EXPECT_FALSE(findMenuItem(m, kCmdPublishPdf)->enabled);
    const MenuItem* overrides = findMenuItem(m, "Publish using P&age Setup Override");
    EXPECT_EQ(overrides->kind, MenuItem::Plain);  // no override page setups
    EXPECT_FALSE(overrides->enabled);
    const MenuItem* include = findMenuItem(m, "Include for Publish");
    ASSERT_TRUE(include);
    EXPECT_TRUE(include->enabled);
    EXPECT_FALSE(findMenuItem(m, kCmdSheetPublishOn)->checked);
    EXPECT_TRUE(findMenuItem(m, kCmdSheetPublishOff)->checked);

    m = publishMenu({shown}, shown, {L"A1 PDF", L"A3 PDF"}, f);
    EXPECT_TRUE(findMenuItem(m, kCmdPageSetupFirst + 1));
    EXPECT_EQ(findMenuItem(m, kCmdPageSetupFirst + 1)->text, "A3 PDF");
    EXPECT_TRUE(findMenuItem(m, kCmdSubsetPublishOn)->checked);

    // The sheet set as caret: no flag submenu and no separator of its own.
    m = publishMenu({set}, set, {}, f);
    EXPECT_FALSE(findMenuItem(m, "Include for Publish"));
    EXPECT_FALSE(findMenuItem(m, "Publish Sheets in Subset"));
    int separators = 0;
    for (const MenuItem& i : m) separators += i.kind == MenuItem::Separator;
    EXPECT_EQ(separators, 2);

    f.locked = true;
    m = publishMenu({on}, on, {}, f);
    EXPECT_FALSE(findMenuItem(m, "Include for Publish")->enabled);
    EXPECT_FALSE(findMenuItem(m, kCmdPublishOptions)->enabled);
    EXPECT_TRUE(findMenuItem(m, kCmdPublishDialog)->enabled);
    EXPECT_TRUE(findMenuItem(m, kCmdPublishPdf)->enabled);  // publishing reads, it does not edit
}

TEST_F(PublishFixture, ViewItemsCheckTheStyleGroupAndTheMenuBecomesActions) {
    MenuFacts f;
    f.toolTipStyle = 6;
    f.detailsShown = false;
    MenuSpec m = viewMenu(f);
    EXPECT_TRUE(findMenuItem(m, "Preview && Details")->checked);
    EXPECT_FALSE(findMenuItem(m, "Preview")->checked);
    EXPECT_FALSE(findMenuItem(m, 2713)->checked);  // the size items carry no check
    EXPECT_FALSE(findMenuItem(m, kCmdDetailsPane)->checked);

    std::unique_ptr<QMenu> menu(buildMenu(m, nullptr));
    QStringList top;
    for (QAction* a : menu->actions()) top << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(top, QStringList({"Tooltip Style", "-", "Preview/Details Pane", "Close"}));
    EXPECT_EQ(menu->actions().last()->data().toInt(), kCmdClosePalette);
}

TEST_F(PublishFixture, SheetSetButtonReadsOpenWithoutASetAndListsOpenSets) {
    CSheetlistButton button(nullptr);
    CSheetSetMgrImpl empty;
    button.RebuildMenu(&empty);
    EXPECT_EQ(button.text(), "Open...");
    QList<QAction*> items = button.dropDownMenu()->actions();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items.front()->text(), "Recent");
    EXPECT_FALSE(items.front()->menu());  // an empty recent list: a plain item
    EXPECT_EQ(items.back()->data().toInt(), kCmdOpen);

    ASSERT_TRUE(set->save());
    ASSERT_TRUE(empty.openSheetSet(set->getFileName().c_str()));
    button.AddRecent(&empty);
    button.RebuildMenu(&empty);
    items = button.dropDownMenu()->actions();
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_EQ(items[0]->data().toInt(), kCmdOpenSetFirst);
    EXPECT_TRUE(items[1]->isSeparator());
    ASSERT_TRUE(items[2]->menu());
    EXPECT_EQ(items[2]->menu()->actions().front()->text().toStdWString(), set->getFileName());
    EXPECT_EQ(items[2]->menu()->actions().front()->data().toInt(), kCmdRecentFirst);
    button.SetStateImage(2);
    EXPECT_FALSE(button.icon().isNull());
    button.SetStateImage(0);
    EXPECT_TRUE(button.icon().isNull());
}
