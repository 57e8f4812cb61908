// The new sheet set wizard played through the UI responder: both methods page by page, the data
// file that Next writes and Back and Cancel delete, the proposed names, every check of the details
// page, the remembered settings with their mask, and the set that Finish opens in the palette.
#include <QSettings>
#include <filesystem>

#include "drawings/DwgReader.h"
#include "drawings/SheetSetStamp.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/Progress.h"
#include "host/UiBase.h"
#include "model/SheetSetMgrImpl.h"
#include <QTreeWidget>
#include "tests/support/HostFixture.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"
#include "wizard/BeginPage.h"
#include "wizard/ChooseLayoutsPage.h"
#include "wizard/ConfirmPage.h"
#include "wizard/DetailsPage.h"
#include "wizard/ExamplePage.h"
#include "wizard/ImportOptionsDlg.h"
#include "dialogs/SheetsetPropertiesDlg.h"

namespace fs = std::filesystem;

namespace {

TkString w(const std::string& s) { return tkFromUtf8(s); }
QString q(const std::string& s) { return QString::fromStdString(s); }

// An example sheet set with two nested subsets, a custom property and a sheet that must not travel;
// with `sheetFolder`, new sheets of the example go there.
std::string makeExample(const ScratchDir& dir, const std::string& name, const std::wstring& description, const std::string& sheetFolder = {}) {
    CSheetSetMgrImpl mgr;
    auto* set = static_cast<CSheetSetImpl*>(mgr.createSheetSet());
    set->setFileName(w(dir.file(name + ".dst")).c_str());
    if (!sheetFolder.empty()) set->setNewSheetLocation(w(sheetFolder).c_str(), true);
    set->setName(tkFromUtf8(name).c_str());
    set->setDesc(description.c_str());
    set->setProjectName(L"Harbour Works");
    CSubset* arch = set->addNewSubset(-1, L"Architecture");
    arch->addNewSubset(-1, L"Plans");
    arch->addNewSheet(-1, L"Ground Floor")->setNumber(L"A-101");
    set->getCustomProperties()->setAll({{L"Client", L"City of Ely", true}});
    EXPECT_TRUE(set->save());
    mgr.releaseSheetSet(set);
    return dir.file(name + ".dst");
}

// Plays the wizard and any dialog it opens: `wizard` for the wizard itself, `others` for the rest.
int playWizard(CCreateShSheet& wiz, std::function<void(CCreateShSheet&)> play, std::function<int(CVrUiDialog*)> others = {}) {
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        if (d == &wiz) {
            play(wiz);
            return d->result();
        }
        return others ? others(d) : int(QDialog::Rejected);
    };
    int r = wiz.DoModal();
    CVrUiDialog::testHook = nullptr;
    return r;
}

class WizardTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        CNqSystem::instance().setProfileString(L"General", L"SheetSetTemplatePath", w(examples.path().string()));
        CVdUiRegistryAccess(WizardSettings::key()).setString(L"SheetSetCreatePath", w(target.path().string()));
    }
    TkString setting(const wchar_t* name) const { return CVdUiRegistryAccess(WizardSettings::key()).getString(name, L"<none>"); }

    ScratchDir examples, target, drawings;
};

}  // namespace

TEST_F(WizardTest, ProposedNamesSkipTakenNumbersAndPathChecksFollowTheRules) {
    writeFileText(target.file("New Sheet Set (1).dst"), "x");
    writeFileText(target.file("New Sheet Set (2).DST"), "x");  // letter case of the extension aside
    writeFileText(target.file("new sheet set (3).dst"), "x");  // names are compared exactly
    writeFileText(target.file("New Sheet Set.dst"), "x");
    EXPECT_EQ(CreateShSheetState::proposedName(w(target.path().string()), L"New Sheet Set"), L"New Sheet Set (3)");
    EXPECT_EQ(CreateShSheetState::proposedName(w(target.file("gone")), L"New Sheet Set"), L"New Sheet Set (1)");

    EXPECT_FALSE(CreateShSheetState::locationHasInvalidCharacters(L"/srv/projects/Tower: phase 2\\old"));
    for (wchar_t c : std::wstring(L"<>?\";*|,=`"))
        EXPECT_TRUE(CreateShSheetState::locationHasInvalidCharacters(std::wstring(L"/srv/a") + c + L"b")) << char(c);
    EXPECT_EQ(CreateShSheetState::dataFilePath(L"/srv/p", L"Tower"), L"/srv/p/Tower.dst");
    EXPECT_EQ(CreateShSheetState::dataFilePath(L"/srv/p/", L"Tower.DST"), L"/srv/p/Tower.DST");
}

TEST_F(WizardTest, AnExampleIsCopiedOnceWithoutItsSheetsAndAnotherReplacesIt) {
    std::string harbour = makeExample(examples, "Harbour", L"Quay walls");
    std::string plain = makeExample(examples, "Plain", L"Nothing else");
    CreateShSheetState st;
    ASSERT_EQ(st.openExamples(w(examples.path().string())).size(), 2u);
    ASSERT_TRUE(st.showExample(w(harbour)));
    EXPECT_EQ(st.newSet()->getDesc(), L"Quay walls");
    EXPECT_EQ(st.newSet()->getProjectName(), L"Harbour Works");
    std::vector<CSubset*> subsets;
    EXPECT_EQ(st.newSet()->getSubsets(subsets, true), 2);
    std::vector<CSheet*> sheets;
    EXPECT_EQ(st.newSet()->getSheets(sheets, true), 0);
    st.newSet()->setDesc(L"typed by the user");
    ASSERT_TRUE(st.showExample(w(harbour)));  // the same example: nothing is copied again
    EXPECT_EQ(st.newSet()->getDesc(), L"typed by the user");
    ASSERT_TRUE(st.showExample(w(plain)));
    EXPECT_EQ(st.newSet()->getDesc(), L"Nothing else");
    EXPECT_FALSE(st.showExample(w(examples.file("none.dst"))));
    EXPECT_EQ(st.settings.lastCopiedSheetSet, w(plain));
    EXPECT_EQ(st.settings.mask, WizardSettings::kLastCopiedSheetSet);
}

TEST_F(WizardTest, WithoutAnOpenDrawingTheWizardDoesNotStart) {
    ASSERT_TRUE(loadModule());
    responder.queueMessageBox(IDOK);
    bool started = false;
    CVrUiDialog::testHook = [&](CVrUiDialog*) {
        started = true;
        return int(QDialog::Rejected);
    };
    EXPECT_TRUE(runNewSheetSetWizard().empty());
    CVrUiDialog::testHook = nullptr;
    EXPECT_FALSE(started);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].caption, L"Sheet Set Manager Error");
    EXPECT_EQ(responder.shown()[0].text, L"Not available with no open documents.");
}

TEST_F(WizardTest, FromAnExampleBackAndRenameDeleteTheOldFileAndFinishOpensTheSet) {
    std::string harbour = makeExample(examples, "Harbour", L"Quay walls");
    makeExample(examples, "Plain", L"Nothing else");
    writeFileText(target.file("New Sheet Set (1).dst"), "x");
    writeFileText(target.file("New Sheet Set (2).dst"), "x");
    ASSERT_TRUE(loadModule());
    auto drawing = makeThreeSheetDrawing();
    ASSERT_TRUE(drawing->saveAs(drawings.file("open.dwg"), kTkDbVerR2010).ok());
    ASSERT_TRUE(vrDocManagerPtr()->openDocument(w(drawings.file("open.dwg")), false));
    // The recorded example is preselected in the list.
    CVdUiRegistryAccess(WizardSettings::key()).setString(L"LastCopiedSheetSet", w(harbour));

    std::string first = target.file("New Sheet Set (3).dst"), renamed = target.file("Tower.dst");
    CVrUiDialog::testHook = [&](CVrUiDialog* d) {
        auto& wiz = *static_cast<CCreateShSheet*>(d);
        EXPECT_TRUE(wiz.beginPage->exampleOption->isChecked());  // nothing remembered: from an example
        wiz.OnNext();
        EXPECT_EQ(wiz.currentPageId(), CCreateShSheet::kExamplePage);
        EXPECT_EQ(wiz.examplePage->exampleList->count(), 2);
        EXPECT_EQ(wiz.examplePage->exampleList->item(0)->text(), "Harbour");  // no folder, no ".dst"
        EXPECT_EQ(wiz.examplePage->exampleList->currentRow(), 0);
        EXPECT_TRUE(wiz.examplePage->about->toPlainText().contains("Title: Harbour"));
        EXPECT_TRUE(wiz.examplePage->about->toPlainText().contains("Description: Quay walls"));
        wiz.OnNext();
        EXPECT_EQ(wiz.currentPageId(), CCreateShSheet::kDetailsPage);
        EXPECT_EQ(wiz.detailsPage->nameEdit->text(), "New Sheet Set (3)");
        EXPECT_EQ(wiz.detailsPage->locationEdit->text(), q(target.path().string()));
        EXPECT_EQ(wiz.detailsPage->descriptionEdit->toPlainText(), "Quay walls");
        EXPECT_FALSE(wiz.detailsPage->folderHierarchy->isHidden());
        wiz.detailsPage->folderHierarchy->setChecked(true);
        wiz.OnNext();
        EXPECT_EQ(wiz.currentPageId(), CCreateShSheet::kConfirmPage);
        EXPECT_TRUE(fs::exists(first));  // written by Next and held
        QString summary = wiz.confirmPage->summary->toPlainText();
        EXPECT_TRUE(summary.contains("Sheet set name: New Sheet Set (3)")) << summary.toStdString();
        EXPECT_TRUE(summary.contains("Architecture")) << summary.toStdString();
        EXPECT_TRUE(summary.contains("Client")) << summary.toStdString();
        EXPECT_TRUE(summary.contains("Note: References to sheets in the source sheet set are not copied."));
        EXPECT_FALSE(summary.contains("Ground Floor"));
        wiz.OnBack();  // back lets go of the data file and deletes it
        EXPECT_EQ(wiz.currentPageId(), CCreateShSheet::kDetailsPage);
        EXPECT_FALSE(fs::exists(first));
        wiz.detailsPage->nameEdit->setText("Tower");
        wiz.OnNext();
        EXPECT_TRUE(fs::exists(renamed));
        EXPECT_FALSE(fs::exists(first));
        wiz.OnFinish();
        return d->result();
    };
    TkString created = runNewSheetSetWizard();
    CVrUiDialog::testHook = nullptr;
    EXPECT_TRUE(responder.shown().empty());
    EXPECT_EQ(created, w(renamed));
    EXPECT_FALSE(fs::exists(renamed + ".bak"));

    // The palette shows the new set (the module's own window, read as any widget): its name and the
    // example's subsets, no sheets.
    ASSERT_EQ(CNqSystem::instance().palettes().size(), 1u);
    auto trees = CNqSystem::instance().palettes().front()->findChildren<QTreeWidget*>();
    ASSERT_EQ(trees.size(), 1);
    ASSERT_EQ(trees[0]->topLevelItemCount(), 1);
    QTreeWidgetItem* root = trees[0]->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Tower");
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), "Architecture");
    ASSERT_EQ(root->child(0)->childCount(), 1);
    EXPECT_EQ(root->child(0)->child(0)->text(0), "Plans");
    // On disk: the details, the location passed to nested subsets.
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(w(renamed).c_str()));
    CSheetSet* set = mgr.getSheetSet(0);
    EXPECT_EQ(set->getDesc(), L"Quay walls");
    std::vector<CSubset*> subsets;
    ASSERT_EQ(set->getSubsets(subsets, true), 2);
    EXPECT_TRUE(fs::equivalent(tkToUtf8(subsets[1]->getNewSheetLocation()), target.path()));
    std::vector<CSheet*> sheets;
    EXPECT_EQ(set->getSheets(sheets, true), 0);

    // Only what this run changed is written: the example and the check box, not the method
    // (unchanged) nor the location (the same).
    EXPECT_EQ(setting(L"LastCopiedSheetSet"), w(harbour));
    EXPECT_EQ(setting(L"FolderHierarchyCreation"), L"1");
    EXPECT_EQ(setting(L"MethodThroughWizard"), L"<none>");
    EXPECT_EQ(setting(L"SelectionThroughWizard"), L"<none>");
    EXPECT_EQ(setting(L"SheetSetCreatePath"), w(target.path().string()));
}

TEST_F(WizardTest, DetailsPageChecksNameAndLocationInOrderAndStays) {
    CCreateShSheet wiz;
    int r = playWizard(wiz, [&](CCreateShSheet& wz) {
        wz.beginPage->drawingsOption->setChecked(true);
        wz.OnNext();
        ASSERT_EQ(wz.currentPageId(), CCreateShSheet::kDetailsPage);  // drawings: no example page
        EXPECT_TRUE(wz.detailsPage->folderHierarchy->isHidden());
        auto next = [&](const QString& name, const std::string& location) {
            wz.detailsPage->nameEdit->setText(name);
            wz.detailsPage->locationEdit->setText(q(location));
            wz.OnNext();
            return wz.currentPageId();
        };
        const int details = CCreateShSheet::kDetailsPage;
        responder.queueTaskDialog(IDOK);
        EXPECT_EQ(next("Tower/East", target.path().string()), details);
        responder.queueMessageBox(IDOK);
        EXPECT_EQ(next("", target.path().string()), details);
        responder.queueMessageBox(IDOK);
        EXPECT_EQ(next("Tower", "  "), details);
        responder.queueMessageBox(IDOK);
        EXPECT_EQ(next("Tower", target.file("a;b")), details);
        responder.queueMessageBox(IDNO);
        EXPECT_EQ(next("Tower", target.file("new")), details);
        EXPECT_FALSE(fs::exists(target.file("new")));
        responder.queueMessageBox(IDYES);
        responder.queueMessageBox(IDOK);
        EXPECT_EQ(next("Tower", target.file("no/such")), details);  // only one folder is made
        responder.queueMessageBox(IDOK);
        EXPECT_EQ(next(QString(300, 'x'), target.path().string()), details);
        writeFileText(target.file("Taken.dst"), "x");
        responder.queueTaskDialog(IDCLOSE);
        EXPECT_EQ(next("Taken", target.path().string()), details);
        EXPECT_EQ(readFileText(target.file("Taken.dst")), "x");
        responder.queueMessageBox(IDYES);
        EXPECT_EQ(next("Tower", target.file("new")), CCreateShSheet::kLayoutsPage);
        EXPECT_TRUE(fs::exists(target.file("new/Tower.dst")));
        // Back from the layouts keeps the file; the next Next under another name replaces it.
        wz.OnBack();
        EXPECT_TRUE(fs::exists(target.file("new/Tower.dst")));
        EXPECT_EQ(next("Tower B", target.file("new")), CCreateShSheet::kLayoutsPage);
        EXPECT_FALSE(fs::exists(target.file("new/Tower.dst")));
        EXPECT_TRUE(fs::exists(target.file("new/Tower B.dst")));
        // Cancel asks; No keeps the wizard, Yes deletes the data file.
        responder.queueMessageBox(IDNO);
        wz.OnCancel();
        EXPECT_EQ(wz.currentPageId(), CCreateShSheet::kLayoutsPage);
        EXPECT_TRUE(fs::exists(target.file("new/Tower B.dst")));
        responder.queueMessageBox(IDYES);
        wz.OnCancel();
    });
    EXPECT_EQ(r, QDialog::Rejected);
    EXPECT_FALSE(fs::exists(target.file("new/Tower B.dst")));
    const auto& shown = responder.shown();
    ASSERT_EQ(shown.size(), 12u);
    EXPECT_EQ(shown[0].caption, L"Sheet Set - Unsupported Characters");
    EXPECT_EQ(shown[1].caption, L"Sheet Set - Text Length");
    EXPECT_EQ(shown[2].text, L"Enter the root folder for your sheet set.");
    EXPECT_EQ(shown[3].caption, L"Invalid Characters");
    EXPECT_EQ(shown[3].text, L"Invalid characters in the file name: " + w(target.file("a;b")));
    EXPECT_EQ(shown[4].caption, L"Folder Does Not Exist");
    EXPECT_EQ(shown[4].text, L"The location entered is not an existing folder.  Do you want to create the folder?");
    EXPECT_EQ(shown[6].caption, L"Cannot Create Folder");
    EXPECT_EQ(shown[6].text, L"Unable to create folder: " + w(target.file("no/such")));
    EXPECT_EQ(shown[7].text, L"The name cannot be longer than 255 characters.");
    EXPECT_EQ(shown[8].kind, VrUiResponder::Kind::TaskDialog);
    EXPECT_EQ(shown[8].text.substr(0, 28), L"The name, Taken, is already ");
    EXPECT_EQ(shown[10].caption, L"Cancel");
    EXPECT_EQ(shown[10].text, L"Are you sure you want to quit the Create Sheet Set wizard?");
    // Cancel writes what was changed before it: the method and the new folder.
    EXPECT_EQ(setting(L"MethodThroughWizard"), L"1");
    EXPECT_EQ(setting(L"SheetSetCreatePath"), w(target.file("new")));
}

TEST_F(WizardTest, FromDrawingsMakesNumberedSheetsInFolderSubsetsAndLeavesTheDrawingsAlone) {
    // Projects/a.dwg (Sheet A, Sheet B set up), Projects/Sub/b.dxf (the same), and three drawings
    // that are left out: one of another set, one without a set-up layout, one unreadable.
    fs::path root = drawings.path() / "Projects";
    fs::create_directories(root / "Sub");
    for (const fs::path& p : {root / "a.dwg", root / "Sub" / "b.dxf", root / "Sub" / "stamped.dwg"})
        ASSERT_TRUE(makeThreeSheetDrawing()->saveAs(p.string(), kTkDbVerR2010).ok());
    ASSERT_TRUE(TkDbDatabase::createNew()->saveAs((root / "Sub" / "bare.dwg").string(), kTkDbVerR2010).ok());
    writeFileText((root / "Sub" / "broken.dwg").string(), "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnot a number\n");
    {
        DwgReader other;
        other.load(w((root / "Sub" / "stamped.dwg").string()), false);
        ASSERT_TRUE(other.writeStamp(w(drawings.file("Other.dst")), w((root / "Sub" / "stamped.dwg").string()), L"Sheet A", L"1"));
        ASSERT_TRUE(other.saveAs(TkString(), other.database->version()));
    }
    const std::string setPath = target.file("From Drawings.dst");
    CCreateShSheet wiz;
    int r = playWizard(
        wiz,
        [&](CCreateShSheet& wz) {
            wz.beginPage->drawingsOption->setChecked(true);
            wz.OnNext();
            wz.detailsPage->nameEdit->setText("From Drawings");
            wz.OnNext();
            ASSERT_EQ(wz.currentPageId(), CCreateShSheet::kLayoutsPage);
            CChooseLayoutsPage& page = *wz.layoutsPage;
            // Cancel while the drawings are read adds nothing.
            vrProgressTestHook = [](VrProgress& p) { p.cancel(); };
            EXPECT_FALSE(page.addFolder(w(root.string())));
            vrProgressTestHook = nullptr;
            EXPECT_EQ(page.tree->topLevelItemCount(), 0);
            responder.queueFileDialog({w(root.string())});
            page.OnBrowse();
            ASSERT_EQ(page.tree->topLevelItemCount(), 1);
            QTreeWidgetItem* top = page.tree->topLevelItem(0);
            ASSERT_EQ(top->childCount(), 2);  // the subfolder first, then the drawing
            EXPECT_EQ(top->child(0)->text(0), "Sub");
            EXPECT_EQ(top->child(1)->text(0), "a.dwg");
            QTreeWidgetItem* sub = top->child(0);
            ASSERT_EQ(sub->childCount(), 1);  // only b.dxf is listed
            QTreeWidgetItem* b = sub->child(0);
            ASSERT_EQ(b->childCount(), 2);
            EXPECT_TRUE(b->isExpanded());
            EXPECT_TRUE(page.leftOut->text().contains("1 in a sheet set already, 1 without a set-up layout, 1 that cannot be read"))
                << page.leftOut->text().toStdString();
            page.addFolder(tkFromUtf8(root.string()));  // the same folder again is only selected
            EXPECT_EQ(page.tree->topLevelItemCount(), 1);
            EXPECT_EQ(page.tree->currentItem(), top);
            page.OnImportOptions();
            b->child(1)->setCheckState(0, Qt::Unchecked);  // b's Sheet B stays out
            EXPECT_EQ(b->checkState(0), Qt::PartiallyChecked);
            wz.OnNext();
            ASSERT_EQ(wz.currentPageId(), CCreateShSheet::kConfirmPage);
            QString summary = wz.confirmPage->summary->toPlainText();
            EXPECT_TRUE(summary.contains("1 - b - Sheet A")) << summary.toStdString();
            EXPECT_TRUE(summary.contains("3 - a - Sheet B")) << summary.toStdString();
            wz.OnFinish();
        },
        [&](CVrUiDialog* d) {
            auto* options = dynamic_cast<CImportOptionsDlg*>(d);
            EXPECT_NE(options, nullptr);
            if (!options) return int(QDialog::Rejected);
            EXPECT_FALSE(options->ignoreTopFolder->isEnabled());  // only with subsets by folder
            options->subsetsByFolder->setChecked(true);
            EXPECT_TRUE(options->ignoreTopFolder->isEnabled());
            options->prefixWithFileName->setChecked(true);
            return int(QDialog::Accepted);
        });
    EXPECT_EQ(r, QDialog::Accepted);
    EXPECT_EQ(wiz.newSheetSetPath(), w(setPath));

    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(w(setPath).c_str()));
    CSheetSet* set = mgr.getSheetSet(0);
    ASSERT_EQ(set->getCount(), 1);  // the first top folder is a subset of its own
    auto* projects = dynamic_cast<CSubset*>(set->getAt(0));
    ASSERT_NE(projects, nullptr);
    EXPECT_EQ(projects->getName(), L"Projects");
    std::vector<CSheet*> sheets;
    ASSERT_EQ(set->getSheets(sheets, true), 3);
    std::vector<std::wstring> seen;
    for (CSheet* s : sheets) seen.push_back(s->getNumber() + L" " + s->getTitle() + L" @" + dynamic_cast<CSubset*>(s->getParent())->getName());
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"1 b - Sheet A @Sub", L"2 a - Sheet A @Projects", L"3 a - Sheet B @Projects"}));
    for (const fs::path& p : {root / "a.dwg", root / "Sub" / "b.dxf"}) {
        DwgReader reader;
        reader.load(w(p.string()), false);
        ASSERT_TRUE(reader.database) << p;
        EXPECT_EQ(readStampSheetSetPath(reader.database.get()), L"") << p;  // left alone until saved as sheets
    }
    EXPECT_EQ(setting(L"SubsetsBasedOnFolders"), L"1");
    EXPECT_EQ(setting(L"PrefixSheetWithFileName"), L"1");
    EXPECT_EQ(setting(L"IgnoreTopLevelFolder"), L"0");  // marked changed by OK though it did not change
    EXPECT_EQ(setting(L"BrowseForLayoutsPath"), w(root.string()));
}

TEST_F(WizardTest, ABrowsedExampleMustOpenAndIsRememberedWithTheBrowseOption) {
    makeExample(examples, "Harbour", L"Quay walls");
    ScratchDir elsewhere;
    std::string other = makeExample(elsewhere, "Bridge", L"Spans");
    CCreateShSheet wiz;
    playWizard(wiz, [&](CCreateShSheet& wz) {
        wz.OnNext();
        CExamplePage& page = *wz.examplePage;
        page.browseOption->setChecked(true);
        EXPECT_TRUE(page.pathEdit->isEnabled());
        EXPECT_FALSE(page.exampleList->isEnabled());
        page.pathEdit->setText(q(elsewhere.file("nothing.dst")));
        responder.queueMessageBox(IDOK);
        wz.OnNext();
        EXPECT_EQ(wz.currentPageId(), CCreateShSheet::kExamplePage);
        responder.queueFileDialog({w(other)});
        page.OnBrowse();
        wz.OnNext();
        EXPECT_EQ(wz.currentPageId(), CCreateShSheet::kDetailsPage);
        EXPECT_EQ(wz.state().newSet()->getDesc(), L"Spans");
        responder.queueMessageBox(IDYES);
        wz.OnCancel();
    });
    ASSERT_GE(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[0].caption, L"File Not Found");
    EXPECT_EQ(responder.shown()[0].text, L"Cannot find the specified sheet set data (DST) file.");
    EXPECT_EQ(responder.shown()[1].caption, L"Browse for Sheet Set");
    EXPECT_EQ(setting(L"SelectionThroughWizard"), L"1");
    EXPECT_EQ(setting(L"LastCopiedSheetSet"), w(other));

    // The next run starts with the browse option and the browsed example shown.
    CCreateShSheet again;
    playWizard(again, [&](CCreateShSheet& wz) {
        wz.OnNext();
        EXPECT_TRUE(wz.examplePage->browseOption->isChecked());
        EXPECT_EQ(wz.examplePage->pathEdit->text(), q(other));
        EXPECT_TRUE(wz.examplePage->about->toPlainText().contains("Bridge"));
        responder.queueMessageBox(IDYES);
        wz.OnCancel();
    });
}

TEST_F(WizardTest, PropertiesOfTheNewSetProposeATemplateAndComeBackToThePage) {
    // The example keeps its sheets beside it; the new set goes where the user says.
    makeExample(examples, "Harbour", L"Quay walls", examples.path().string());
    const std::string chosen = drawings.file("chosen");
    fs::create_directories(chosen);
    ASSERT_TRUE(loadModule());
    auto drawing = makeThreeSheetDrawing();
    ASSERT_TRUE(drawing->saveAs(drawings.file("open.dwg"), kTkDbVerR2010).ok());
    ASSERT_TRUE(vrDocManagerPtr()->openDocument(w(drawings.file("open.dwg")), false));
    // The office's page setups drawing: its first set-up layout is proposed as the template.
    CNqSystem::instance().setProfileString(L"General", L"AlternativePageSetUpsTemplate", w(drawings.file("open.dwg")));
    const std::string sheets = drawings.file("sheets");
    fs::create_directories(sheets);
    int shown = 0;
    auto properties = [&](CVrUiDialog* d) {
        auto* dlg = dynamic_cast<CSheetsetPropertiesDlg*>(d);
        EXPECT_NE(dlg, nullptr);
        if (!dlg) return int(QDialog::Rejected);
        ++shown;
        EXPECT_EQ(dlg->name, L"New Sheet Set (1)");           // as the page shows it
        EXPECT_EQ(dlg->projectName, L"Harbour Works");         // from the example
        EXPECT_EQ(dlg->templateLayout, L"Sheet A");            // proposed
        EXPECT_EQ(dlg->templateFile, w(drawings.file("open.dwg")));
        // Where the page says the set goes, as the confirm page will show it, not the example's.
        EXPECT_EQ(dlg->location, w(chosen));
        if (shown == 1) {
            EXPECT_EQ(dlg->dataFile, w(chosen + "/New Sheet Set (1).dst"));  // the file Next will write
            return int(QDialog::Rejected);                                   // Cancel changes nothing
        }
        dlg->name = L"Harbour Tower";
        dlg->description = L"Tower on the quay";
        dlg->projectNumber = L"P-7";
        dlg->location = w(sheets);
        return int(QDialog::Accepted);
    };
    CCreateShSheet wizard;
    playWizard(
        wizard,
        [&](CCreateShSheet& wiz) {
            wiz.OnNext();
            wiz.OnNext();
            ASSERT_EQ(wiz.currentPageId(), CCreateShSheet::kDetailsPage);
            wiz.detailsPage->locationEdit->setText(q(chosen));
            wiz.detailsPage->OnProperties();
            EXPECT_EQ(wiz.detailsPage->locationEdit->text(), q(chosen));
            EXPECT_EQ(wiz.detailsPage->nameEdit->text(), "New Sheet Set (1)");
            wiz.detailsPage->OnProperties();
            EXPECT_EQ(wiz.detailsPage->nameEdit->text(), "Harbour Tower");
            EXPECT_EQ(wiz.detailsPage->descriptionEdit->toPlainText(), "Tower on the quay");
            EXPECT_EQ(wiz.detailsPage->locationEdit->text(), q(sheets));
            wiz.OnNext();
            EXPECT_EQ(wiz.currentPageId(), CCreateShSheet::kConfirmPage);
            const QString summary = wiz.confirmPage->summary->toPlainText();
            EXPECT_TRUE(summary.contains("Sheet set storage location: " + q(sheets))) << summary.toStdString();
            wiz.OnFinish();
        },
        properties);
    EXPECT_EQ(shown, 2);
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(w(sheets + "/Harbour Tower.dst").c_str()));
    CSheetSet* set = mgr.getSheetSet(0);
    EXPECT_EQ(set->getProjectNumber(), L"P-7");
    EXPECT_EQ(set->getDesc(), L"Tower on the quay");
    EXPECT_EQ(set->getTemplateLayoutName(), L"Sheet A");
}
