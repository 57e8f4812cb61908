// The properties dialogs through the palette, played with the UI responder: the sheet dialog's
// checks and rename options, the nested-subsets question with both answers, a subset renamed with
// its publish flag, the page setups round trip through the set's properties, a new subset and
// resaving every sheet with its report and log.
#include <QDate>
#include <QTest>
#include <filesystem>

#include "dialogs/ListDialogs.h"
#include "dialogs/RenameSheetDlg.h"
#include "dialogs/RenumberDlg.h"
#include "dialogs/ResaveReportDlg.h"
#include "dialogs/SheetListTableDlg.h"
#include "dialogs/SheetPropertiesDlg.h"
#include "dialogs/SheetSelectionDlg.h"
#include "dialogs/SheetsetPropertiesDlg.h"
#include "dialogs/SubsetPropertiesDlg.h"
#include "drawings/DwgReader.h"
#include "drawings/FileLocks.h"
#include "drawings/SheetSetStamp.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/PlotService.h"
#include "host/Progress.h"
#include "model/ItemLookup.h"
#include "model/SheetListTable.h"
#include "palette/PaletteIds.h"
#include "tests/palette/PaletteFixture.h"
#include "toolkit/common/TkUtf8.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

template <class Dlg>
void playNext(std::function<int(Dlg&)> play) {
    CVrUiDialog::testHook = [play](CVrUiDialog* d) {
        auto* dlg = dynamic_cast<Dlg*>(d);
        return dlg ? play(*dlg) : int(QDialog::Rejected);
    };
}

}  // namespace

class PropertiesTest : public PaletteTest {
protected:
    void TearDown() override {
        CVrUiDialog::testHook = nullptr;
        PaletteTest::TearDown();
    }
    CSheetSet* set() const { return wnd->manager()->getSheetSet(0); }
};

TEST_F(PropertiesTest, SheetDialogChecksNamesAndRenamesLayoutAndDrawing) {
    openWindow();
    item("A")->setExpanded(true);
    click(item("a2"));
    playNext<CSheetPropertiesDlg>([&](CSheetPropertiesDlg& d) {
        CPropertyTableModel& m = d.grid->model();
        EXPECT_EQ(m.value("title"), "a2");
        EXPECT_EQ(m.value("publish"), "Yes");
        EXPECT_EQ(m.value("set"), "Palette Test");
        EXPECT_TRUE(d.renameLayoutCheck->isEnabled());
        EXPECT_FALSE(d.layoutNumberCheck->isEnabled());  // only while its main box is checked
        m.setValue("title", QString(65, 'x'));
        responder.queueMessageBox(IDOK);
        d.OnOK();
        m.setValue("title", "Plan");
        m.setValue("number", "A,1");
        responder.queueTaskDialog(IDOK);
        d.OnOK();
        m.setValue("number", "");
        m.setValue("title", "A1");  // a1's label, case aside
        responder.queueTaskDialog(IDCLOSE);
        d.OnOK();
        EXPECT_EQ(d.result(), 0);
        m.setValue("number", "A-2");
        m.setValue("title", "Plan");
        EXPECT_TRUE(m.row("title")->modified());  // shown in bold
        d.renameLayoutCheck->setChecked(true);
        d.layoutNumberCheck->setChecked(true);
        d.OnOK();
        return d.result();
    });
    wnd->OnCommand(pal::kCmdSheetProperties);
    const auto& shown = responder.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, L"The name cannot be longer than 64 characters.");
    EXPECT_EQ(shown[1].caption, L"Sheet - Unsupported Characters");
    EXPECT_EQ(shown[2].caption, L"Sheet - Name Already Exists");
    TkString error;
    auto* sheet = dynamic_cast<CSheet*>(findItem(set(), L"A-2", error));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->getTitle(), L"Plan");
    EXPECT_EQ(sheet->getLayoutName(), L"A-2 Plan");  // renamed in its drawing too
    DwgReader reader;
    reader.load(W(drawingA), false);
    EXPECT_TRUE(reader.findLayout(L"A-2 Plan"));
    EXPECT_FALSE(reader.findLayout(L"Sheet B"));
    EXPECT_TRUE(wnd->settings().title1 && wnd->settings().prefix1);  // the options are kept
    EXPECT_EQ(fileLabels(L"A"), L"a1 Plan a3 a4 [Nested]");

    // A drawing someone holds cannot be renamed: the options are off.
    FileHold held;
    ASSERT_TRUE(held.hold(W(drawingA)));
    click(item("a1"));
    bool checked = false;
    playNext<CSheetPropertiesDlg>([&](CSheetPropertiesDlg& d) {
        checked = true;
        EXPECT_FALSE(d.renameLayoutCheck->isEnabled());
        EXPECT_FALSE(d.renameFileCheck->isEnabled());
        return int(QDialog::Rejected);
    });
    wnd->OnCommand(pal::kCmdSheetProperties);
    EXPECT_TRUE(checked);
}

TEST_F(PropertiesTest, InheritedSettingsAskAboutNestedSubsetsAndTheAnswerDecides) {
    openWindow();
    click(item("Palette Test"));
    // A description alone asks nothing.
    playNext<CSheetsetPropertiesDlg>([&](CSheetsetPropertiesDlg& d) {
        d.grid->model().setValue("description", "Harbour");
        d.OnOK();
        return d.result();
    });
    wnd->OnCommand(pal::kCmdSheetSetProperties);
    EXPECT_TRUE(responder.shown().empty());
    EXPECT_EQ(set()->getDesc(), L"Harbour");

    for (int answer : {1126, 1125}) {
        const std::string folder = dir.file(answer == 1125 ? "nested" : "alone");
        playNext<CSheetsetPropertiesDlg>([&](CSheetsetPropertiesDlg& d) {
            d.grid->model().setValue("location", QString::fromStdString(folder));
            d.grid->model().row("location")->value = QString::fromStdString(folder);  // as the folder chooser sets it
            d.OnOK();
            return d.result();
        });
        responder.clear();
        responder.queueTaskDialog(answer);
        wnd->OnCommand(pal::kCmdSheetSetProperties);
        ASSERT_EQ(responder.shown().size(), 1u);
        EXPECT_EQ(responder.shown()[0].caption, L"Sheet Set Manager - Apply Changes to Nested Subsets");
        EXPECT_NE(responder.shown()[0].text.find(L"Sheet storage location"), std::wstring::npos);
        EXPECT_EQ(set()->getNewSheetLocation(), W(folder));
        const TkString nested = findSubsetByPath(set(), L"A/Nested")->getNewSheetLocation();
        EXPECT_EQ(nested == W(folder), answer == 1125) << nested;
    }
}

TEST_F(PropertiesTest, ASubsetRenamedWithItsPublishFlagShowsTheNewName) {
    openWindow();
    click(item("B"));
    playNext<CSubsetPropertiesDlg>([&](CSubsetPropertiesDlg& d) {
        EXPECT_EQ(d.grid->model().row("hierarchy"), nullptr);  // only for new subsets
        d.grid->model().setValue("name", "Bridges");
        d.grid->model().setValue("publish", "Do Not Publish Sheets");
        d.OnOK();
        return d.result();
    });
    wnd->OnCommand(pal::kCmdSubsetProperties);
    EXPECT_TRUE(responder.shown().empty());  // B has no nested subsets: nothing to ask
    ASSERT_NE(item("Bridges"), nullptr);
    EXPECT_FALSE(findSubsetByPath(set(), L"Bridges")->getIncludeForPublish());
}

namespace {
struct PageSetupPlot : CNqPlotSvr {
    std::vector<int> answers;
    int calls = 0;
    int publish(int, const VrPublishJob&) override { return 0; }
    int publishWithPageSetupOverride(const VrPublishJob&) override { return 0; }
    void plotStampSettings() override {}
    int managePageSetups(const VrPublishJob&) override { return answers.at(static_cast<size_t>(calls++)); }
    int sheetSetPublishOptions(const VrPublishJob&) override { return 0; }
    int publishDialogBox(const VrPublishJob&) override { return 0; }
    bool getPublishInReverseOrder() const override { return false; }
    void setPublishInReverseOrder(bool) override {}
    bool getIncludePlotStamp() const override { return false; }
    void setIncludePlotStamp(bool) override {}
    int getDefaultPublishFormat() const override { return 0; }
    int publishToFile(const VrPublishJob&, const TkString&) override { return 0; }
};
}  // namespace

TEST_F(PropertiesTest, PageSetupsGoThroughTheSetsPropertiesAndBack) {
    PageSetupPlot plot;
    plot.answers = {5000, 5100};
    CNqSystem::instance().registerService(L"CNqPlotSvr", &plot);
    openWindow();
    click(item("Palette Test"));
    int propertiesShown = 0;
    playNext<CSheetsetPropertiesDlg>([&](CSheetsetPropertiesDlg&) { return ++propertiesShown, int(QDialog::Rejected); });
    wnd->OnCommand(pal::kCmdManagePageSetups);
    CNqSystem::instance().removeService(L"CNqPlotSvr");
    EXPECT_EQ(plot.calls, 2);
    EXPECT_EQ(propertiesShown, 1);
}

TEST_F(PropertiesTest, NewSubsetTakesItsParentsSettingsUnderAProposedName) {
    openWindow();
    click(item("A"));
    playNext<CSubsetPropertiesDlg>([&](CSubsetPropertiesDlg& d) {
        EXPECT_EQ(d.grid->model().value("name"), "New Subset (1)");
        EXPECT_NE(d.grid->model().row("hierarchy"), nullptr);  // a new subset may make its folder
        d.OnOK();
        return d.result();
    });
    wnd->OnCommand(pal::kCmdNewSubset);
    EXPECT_EQ(fileLabels(L"A"), L"a1 a2 a3 a4 [Nested] [New Subset (1)]");
    EXPECT_EQ(selectedLabels(), QStringList{"New Subset (1)"});
}

TEST_F(PropertiesTest, ResaveReportsMissingAndUnreadableDrawingsInTheLog) {
    openWindow();
    writeFileText(drawingB, "not a drawing at all");
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        auto* report = dynamic_cast<CResaveReportDlg*>(d);
        EXPECT_NE(report, nullptr);
        if (!report) return int(QDialog::Rejected);
        EXPECT_EQ(report->windowTitle(), "Resave All Sheets - Palette Test");
        EXPECT_EQ(report->list->topLevelItemCount(), 6);  // a3 missing; a4, n1, b1-b3 unreadable
        EXPECT_EQ(report->list->topLevelItem(0)->text(1), "Drawing file not found");
        EXPECT_EQ(report->list->topLevelItem(1)->text(1), "Drawing needs recovery");
        return int(QDialog::Accepted);
    };
    wnd->OnCommand(pal::kCmdResaveAll);
    wnd->OnCommand(pal::kCmdResaveAll);  // the same day: appended to the same log
    const std::string log = dir.file("Palette Test_Resave All Sheets Report_" + QDate::currentDate().toString("yyyy-MM-dd").toStdString() + ".log");
    const std::string bytes = readFileText(log);
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(bytes.find("\xFF\xFE", 2), std::string::npos);  // one byte order mark
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data() + 2), static_cast<qsizetype>((bytes.size() - 2) / 2));
    EXPECT_EQ(text.count("Sheet:  "), 12);
    EXPECT_TRUE(text.startsWith("Sheet:  a3\r\nLocation:  ")) << text.left(80).toStdString();
    // a.dwg was resaved: stamped for the set.
    DwgReader reader;
    reader.load(W(drawingA), false);
    ASSERT_TRUE(reader.database);
    EXPECT_FALSE(reader.readStampSheetSetPath().empty());
}

TEST_F(PropertiesTest, ResaveTellsOfEachHeldDrawingAndNamesItsHolder) {
    openWindow();
    // A colleague has b.dwg open: held, with the note of who holds it beside it.
    FileHold colleague;
    ASSERT_TRUE(colleague.hold(W(drawingB)));
    const std::string note = drawingB.substr(0, drawingB.size() - 4) + ".dwl";
    writeFileText(note, "mirela\nws-07\n2026-12-07T08:00:00\n");
    for (int i = 0; i < 5; ++i) responder.queueMessageBox(IDOK);  // one per sheet drawn in b.dwg (a4, n1, b1-b3)
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        auto* report = dynamic_cast<CResaveReportDlg*>(d);
        EXPECT_NE(report, nullptr);
        if (!report) return int(QDialog::Rejected);
        int held = 0;
        for (int r = 0; r < report->list->topLevelItemCount(); ++r)
            if (report->list->topLevelItem(r)->text(1) == "Sheet is being edited by mirela") ++held;
        EXPECT_EQ(held, 5);
        return int(QDialog::Accepted);
    };
    const std::string before = readFileText(drawingB);
    wnd->OnCommand(pal::kCmdResaveAll);
    int told = 0;
    for (const auto& shown : responder.shown()) told += shown.text == L"Drawing file is write protected.";
    EXPECT_EQ(told, 5);
    EXPECT_EQ(readFileText(drawingB), before);  // a held drawing is never written
}

TEST_F(PropertiesTest, ResaveCancelledAtOnceWritesNothingAndSaysNothing) {
    openWindow();
    const std::string before = readFileText(drawingA);
    vrProgressTestHook = [](VrProgress& p) { p.cancel(); };  // the user closes the progress at once
    wnd->OnCommand(pal::kCmdResaveAll);
    vrProgressTestHook = nullptr;
    EXPECT_TRUE(responder.shown().empty());  // no "has been resaved", no report
    EXPECT_EQ(readFileText(drawingA), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("Palette Test_Resave All Sheets Report_" + QDate::currentDate().toString("yyyy-MM-dd").toStdString() + ".log")));
}

TEST_F(PropertiesTest, RenameWalksTheSheetsWithNextAndRenamesTheirLayouts) {
    openWindow();
    item("A")->setExpanded(true);
    click(item("a1"));
    int shown = 0;
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        auto* dlg = dynamic_cast<CRenameSheetDlg*>(d);
        if (!dlg) return int(QDialog::Rejected);
        ++shown;
        if (shown == 1) {
            EXPECT_FALSE(dlg->previousButton->isEnabled());  // the first sheet
            EXPECT_TRUE(dlg->nextButton->isEnabled());
            EXPECT_FALSE(dlg->layoutNumberCheck->isEnabled());
            dlg->numberEdit->setText("A-1");
            dlg->titleEdit->setText("Plan");
            dlg->renameLayoutCheck->setChecked(true);
            dlg->layoutNumberCheck->setChecked(true);
            EXPECT_EQ(dlg->layoutEdit->text(), "A-1 Plan");
            EXPECT_TRUE(dlg->layoutEdit->isReadOnly());
            dlg->renameFileCheck->setChecked(true);
            dlg->fileNumberCheck->setChecked(true);
            EXPECT_EQ(dlg->fileEdit->text(), "A-1 Plan.dwg");
            dlg->renameFileCheck->setChecked(false);  // the file keeps its name: a2 shares it
            EXPECT_EQ(dlg->fileEdit->text(), "a.dwg");
            dlg->apply(CRenameSheetDlg::kNext);
            return dlg->result();
        }
        if (shown == 2) {
            EXPECT_EQ(dlg->titleEdit->text(), "a2");
            EXPECT_TRUE(dlg->previousButton->isEnabled());
            dlg->titleEdit->setText("plan");
            dlg->numberEdit->setText("A-1");  // a1's new label, case aside
            responder.queueTaskDialog(IDCLOSE);
            dlg->apply(QDialog::Accepted);
            EXPECT_EQ(dlg->result(), 0);
            return int(QDialog::Rejected);  // Cancel: a1's change stays
        }
        return int(QDialog::Rejected);
    };
    wnd->OnCommand(pal::kCmdRenameRenumber);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(fileLabels(L"A"), L"Plan a2 a3 a4 [Nested]");
    DwgReader reader;
    reader.load(W(drawingA), false);
    EXPECT_TRUE(reader.findLayout(L"A-1 Plan"));
    EXPECT_TRUE(reader.findLayout(L"Sheet B"));  // a2's layout untouched
}

TEST_F(PropertiesTest, SelectionsAreMadeAppliedRenamedAndDeleted) {
    openWindow();
    wnd->EditCurrentSet([](CSheetSetImpl& s) {
        s.getSheetSelSets()->add(L"New Sheet Selection (3)", {findSubsetByPath(&s, L"B")});
        s.getSheetSelSets()->add(L"New Sheet Selection (1)", {});
        return true;
    });
    item("A")->setExpanded(true);
    click(item("a2"));
    click(item("a4"), Qt::ControlModifier);
    playNext<CNewSelectionDlg>([&](CNewSelectionDlg& d) {
        EXPECT_EQ(d.nameEdit->text(), "New Sheet Selection (2)");
        EXPECT_EQ(d.countLabel->text(), "Sheets selected: 2");
        d.nameEdit->setText("Issue 2");
        d.OnOK();
        return d.result();
    });
    wnd->OnCommand(pal::kCmdSaveSelection);
    CSheetSelSetsImpl* sels = set()->getSheetSelSets();
    ASSERT_EQ(sels->getCount(), 3);
    // Applying it selects its sheets in the tree.
    click(item("b1"));
    wnd->OnCommand(pal::kCmdSelectionFirst + 2);
    EXPECT_EQ(selectedLabels(), (QStringList{"a2", "a4"}));

    // The dialog lists by name; deleting the first and renaming the last works on the right ones.
    playNext<CSheetSelectionDlg>([&](CSheetSelectionDlg& d) {
        EXPECT_EQ(d.list->item(0)->text(), "Issue 2");
        EXPECT_EQ(d.list->item(2)->text(), "New Sheet Selection (3)");
        d.list->setCurrentRow(0);
        responder.queueMessageBox(IDYES);
        d.OnDelete();
        d.finishRename(d.list->item(0), " New Sheet Selection (1) ");  // its own name: nothing changes
        d.finishRename(d.list->item(1), "Bridges");                   // the third of the collection
        return int(QDialog::Accepted);
    });
    responder.clear();
    wnd->OnCommand(pal::kCmdManageSelections);
    ASSERT_EQ(set()->getSheetSelSets()->getCount(), 2);
    EXPECT_EQ(set()->getSheetSelSets()->getName(0), L"Bridges");
    EXPECT_EQ(set()->getSheetSelSets()->getName(1), L"New Sheet Selection (1)");
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, L"Are you sure you want to delete Issue 2?");
}

TEST_F(PropertiesTest, RenumberPreviewsEveryChangeAndRefusesCollisions) {
    openWindow();
    wnd->EditCurrentSet([](CSheetSetImpl& s) {
        static_cast<CSheet*>(findSubsetByPath(&s, L"A")->getAt(0))->setNumber(L"X-2");
        return true;
    });
    click(item("B"));
    playNext<CRenumberDlg>([&](CRenumberDlg& d) {
        d.patternEdit->setText("X-#");
        EXPECT_EQ(d.preview->topLevelItemCount(), 3);
        EXPECT_EQ(d.preview->topLevelItem(1)->text(1), "X-2");
        EXPECT_FALSE(d.okButton->isEnabled());  // X-2 is a1's
        EXPECT_TRUE(d.problem->text().startsWith("X-2: also the number of"));
        d.patternEdit->setText("B-1##");
        d.startBox->setValue(5);
        EXPECT_EQ(d.preview->topLevelItem(2)->text(1), "B-107");
        EXPECT_TRUE(d.okButton->isEnabled());
        d.okButton->click();
        return d.result();
    });
    wnd->OnCommand(pal::kCmdRenumberSubset);
    TkString error;
    EXPECT_NE(findItem(set(), L"B-105", error), nullptr);
    EXPECT_NE(findItem(set(), L"B-107", error), nullptr);
}

TEST_F(PropertiesTest, ASheetOpenHereHasItsLayoutRenamedInTheOpenDrawing) {
    ASSERT_TRUE(vrDocManagerPtr()->openDocument(W(drawingA), false));
    openWindow();
    item("A")->setExpanded(true);
    click(item("a1"));
    playNext<CRenameSheetDlg>([&](CRenameSheetDlg& d) {
        EXPECT_TRUE(d.renameLayoutCheck->isEnabled());  // open here: the layout may be renamed
        EXPECT_FALSE(d.renameFileCheck->isEnabled());   // the file may not
        d.titleEdit->setText("Ground");
        d.numberEdit->setText("A-1");
        d.renameLayoutCheck->setChecked(true);
        // ... but not with the number in front, and the box says why.
        EXPECT_FALSE(d.layoutNumberCheck->isEnabled());
        EXPECT_TRUE(d.layoutNumberCheck->toolTip().contains("open")) << d.layoutNumberCheck->toolTip().toStdString();
        d.layoutNumberCheck->setChecked(true);  // as remembered from an earlier rename
        EXPECT_EQ(d.layoutEdit->text(), "Ground");
        d.apply(QDialog::Accepted);
        return d.result();
    });
    wnd->OnCommand(pal::kCmdRenameRenumber);
    VrApDocument* doc = vrDocManagerPtr()->findDocument(W(drawingA));
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->database()->findLayout("Ground"));
    EXPECT_FALSE(doc->database()->findLayout("A-1 Ground"));
    DwgReader onDisk;
    onDisk.load(W(drawingA), false);
    EXPECT_TRUE(onDisk.findLayout(L"Sheet A"));  // written when the drawing is saved
    EXPECT_EQ(fileLabels(L"A"), L"Ground a2 a3 a4 [Nested]");
}

// A sheet list table for a drawing open here goes into the open document, saved with it; the
// file on disk is not written behind the open document's back.
TEST_F(PropertiesTest, ASheetListTableForADrawingOpenHereGoesIntoTheOpenDocument) {
    {
        TkDbDatabase db;
        ASSERT_TRUE(db.readDxfFile(drawingA).ok());
        auto layout = db.findLayout("Sheet A");
        ASSERT_TRUE(layout);
        ASSERT_TRUE(writeStamp(&db, W(setPath), W(drawingA), L"Sheet A", W(layout->handleText())));
        ASSERT_TRUE(db.saveAs(drawingA, db.version()).ok());
    }
    ASSERT_TRUE(vrDocManagerPtr()->openDocument(W(drawingA), false));
    const std::string before = readFileText(drawingA);
    openWindow();
    item("A")->setExpanded(true);
    click(item("a1"));
    playNext<CSheetListTableDlg>([&](CSheetListTableDlg& d) {
        EXPECT_TRUE(d.okButton->isEnabled());  // number and title checked at first
        d.okButton->click();
        return d.result();
    });
    wnd->OnCommand(pal::kCmdSheetListTable);
    VrApDocument* doc = vrDocManagerPtr()->findDocument(W(drawingA));
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(hasSheetListTables(*doc->database()));
    EXPECT_EQ(readFileText(drawingA), before);
}
