// New sheets, imported layouts, removals and opened sheets through the palette, played with the UI
// responder: where sheets land, the drawings written and left alone, and every question asked.
#include <QApplication>
#include <QTest>

#include "dialogs/ImportLayoutsDlg.h"
#include "dialogs/NewSheetDlg.h"
#include "dialogs/SelectLayoutDlg.h"
#include "drawings/DwgReader.h"
#include "drawings/SheetSetStamp.h"
#include "host/Documents.h"
#include "model/ItemLookup.h"
#include "palette/PaletteIds.h"
#include "tests/palette/PaletteFixture.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbFields.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

// Plays whichever dialog the operation opens; unexpected ones are cancelled.
struct DialogPlayer {
    std::function<int(CNewSheetDlg&)> newSheet;
    std::function<int(CSelectLayoutDlg&)> pickLayout;
    std::function<int(CImportLayoutsDlg&)> importLayouts;
    std::vector<std::string> seen;
    DialogPlayer() {
        CVrUiDialog::testHook = [this](CVrUiDialog* d) {
            seen.push_back(d->dialogName().toStdString());
            if (auto* n = dynamic_cast<CNewSheetDlg*>(d); n && newSheet) return newSheet(*n);
            if (auto* p = dynamic_cast<CSelectLayoutDlg*>(d); p && pickLayout) return pickLayout(*p);
            if (auto* i = dynamic_cast<CImportLayoutsDlg*>(d); i && importLayouts) return importLayouts(*i);
            return int(QDialog::Rejected);
        };
    }
    ~DialogPlayer() { CVrUiDialog::testHook = nullptr; }
};

}  // namespace

class SheetOperationsTest : public PaletteTest {
protected:
    void SetUp() override {
        PaletteTest::SetUp();
        // The options the module keeps while it is loaded start off, as when it loads.
        CImportLayoutsDlg::prefixWithFileName = false;
        CNewSheetDlg::openInDrawingEditor = false;
    }
    // The set makes new sheets in the scratch folder (set on the set alone: subsets inherit it)
    // from layout "Sheet A" of a template.
    void useTemplate() {
        templatePath = dir.file("tmpl.dwt");
        auto db = makeThreeSheetDrawing();
        ASSERT_TRUE(db->saveAs(templatePath, kTkDbVerR2010).ok());
        wchar_t handle[16];
        std::swprintf(handle, 16, L"%X", static_cast<unsigned>(db->findLayout("Sheet A")->handle()));
        templateHandle = handle;
        ASSERT_EQ(wnd->EditCurrentSet([&](CSheetSetImpl& s) {
            s.setNewSheetLocation(W(dir.path().string()).c_str(), false);
            s.setTemplate(L"Sheet A", templateHandle.c_str(), W(templatePath).c_str(), true);
            return true;
        }).status, ActionResult::Done);
    }
    std::string templatePath;
    TkString templateHandle;
};

TEST_F(SheetOperationsTest, NewSheetGoesAfterTheSelectedSheetWithADrawingOfOneLayout) {
    openWindow();
    useTemplate();
    item("A")->setExpanded(true);
    click(item("a2"));
    DialogPlayer play;
    play.newSheet = [&](CNewSheetDlg& d) {
        EXPECT_EQ(d.templateLabel->text(), QString::fromStdString("(Sheet A)" + templatePath));
        QTest::keyClicks(d.numberEdit, "A-101");
        QTest::keyClicks(d.titleEdit, "Plan");
        EXPECT_EQ(d.fileNameEdit->text(), "A-101 Plan");  // number, a blank, title
        // A title that names a sheet of the subset already (case aside) is refused.
        d.numberEdit->clear();
        d.titleEdit->setText("A1");
        responder.queueTaskDialog(IDCLOSE);
        d.OnOK();
        EXPECT_EQ(d.result(), 0);
        d.numberEdit->setText("A-101");
        d.titleEdit->setText("Plan");
        QTest::keyClicks(d.fileNameEdit, " v2");  // typed: the proposal stops
        QTest::keyClicks(d.titleEdit, "s");
        EXPECT_EQ(d.fileNameEdit->text(), "A-101 Plan v2");
        d.OnOK();
        return d.result();
    };
    wnd->OnCommand(pal::kCmdNewSheet);
    EXPECT_EQ(labelsUnder("A"), "a1 a2 A-101 - Plans a3 a4 Nested");
    EXPECT_EQ(fileLabels(L"A"), L"a1 a2 Plans a3 a4 [Nested]");
    EXPECT_EQ(selectedLabels(), QStringList{"A-101 - Plans"});
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].caption, L"Sheet - Name Already Exists");

    // The drawing: one paper layout named as the file, current, stamped for the set.
    const std::string drawing = dir.file("A-101 Plan v2.dwg");
    DwgReader reader;
    reader.load(W(drawing), false);
    ASSERT_TRUE(reader.database);
    std::vector<TkString> names;
    std::vector<uint32_t> handles;
    reader.listPaperLayouts(false, names, handles);
    EXPECT_EQ(names, std::vector<TkString>{L"A-101 Plan v2"});
    EXPECT_EQ(reader.database->currentLayoutName(), "A-101 Plan v2");
    EXPECT_EQ(readStampSheetSetPath(reader.database.get()), W(setPath));
    TkString error;
    auto* sheet = dynamic_cast<CSheet*>(findItem(wnd->manager()->getSheetSet(0), L"A-101", error));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->getLayoutName(), L"A-101 Plan v2");
    EXPECT_EQ(sheet->getLayoutHandle(), templateHandle);

    // With a subset selected the sheet goes last in it; a drawing already there is replaced only
    // on Yes.
    click(item("B"));
    responder.clear();
    play.newSheet = [&](CNewSheetDlg& d) {
        // A number that a sheet of another subset carries, in other letters and blanks, is refused.
        d.numberEdit->setText(" a-101");
        d.titleEdit->setText("b4");
        responder.queueTaskDialog(IDCLOSE);
        d.OnOK();
        EXPECT_EQ(d.result(), 0);
        EXPECT_EQ(responder.shown().size() == 1 ? responder.shown()[0].caption : L"", L"Number Already Exists");
        responder.clear();
        d.numberEdit->clear();
        d.titleEdit->setText("b4");
        d.fileNameEdit->setText("A-101 Plan v2");
        responder.queueMessageBox(IDNO);
        d.OnOK();
        EXPECT_EQ(d.result(), 0);
        EXPECT_TRUE(d.fileNameEdit->hasSelectedText());
        d.fileNameEdit->setText("b4");
        d.OnOK();
        return d.result();
    };
    wnd->OnCommand(pal::kCmdNewSheet);
    EXPECT_EQ(fileLabels(L"B"), L"b1 b2 b3 b4");
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].caption, L"Drawing Already Exists");
    EXPECT_EQ(responder.shown()[0].text, L"Drawing " + W(drawing) + L" already exists.  Do you want to replace it?");
}

TEST_F(SheetOperationsTest, AnUnusableTemplateAsksToBrowseAndTheChosenOneGoesToNestedSubsets) {
    openWindow();
    useTemplate();
    item("A")->setExpanded(true);
    click(item("A"));
    std::filesystem::remove(templatePath);
    DialogPlayer play;
    responder.queueMessageBox(IDCANCEL);
    wnd->OnCommand(pal::kCmdNewSheet);
    EXPECT_TRUE(play.seen.empty());  // Cancel: no dialog at all
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text,
              L"The sheet creation template file was not found. Click OK to browse to a sheet creation template file.");

    const std::string other = dir.file("other.dwt");
    ASSERT_TRUE(makeThreeSheetDrawing()->saveAs(other, kTkDbVerR2010).ok());
    responder.queueMessageBox(IDOK);
    play.pickLayout = [&](CSelectLayoutDlg& d) {
        d.filePath = W(other);
        d.ListLayouts(false);
        d.layoutList->setCurrentRow(1);  // Sheet B
        d.OnOK();
        return d.result();
    };
    bool cancelFirst = true;
    play.newSheet = [&](CNewSheetDlg& d) {
        if (cancelFirst) return int(QDialog::Rejected);
        QTest::keyClicks(d.titleEdit, "From B");
        d.OnOK();
        return d.result();
    };
    wnd->OnCommand(pal::kCmdNewSheet);  // browsed, then the dialog cancelled: the template stays
    EXPECT_EQ(wnd->manager()->getSheetSet(0)->getAt(0)->getType(), 1);
    auto* a = static_cast<CSubset*>(wnd->manager()->getSheetSet(0)->getAt(0));
    EXPECT_EQ(a->getTemplateLayoutName(), L"Sheet A");
    cancelFirst = false;
    responder.queueMessageBox(IDOK);
    wnd->OnCommand(pal::kCmdNewSheet);
    TkString error;
    CSheetSet* set = wnd->manager()->getSheetSet(0);
    auto* nested = findSubsetByPath(set, L"A/Nested");
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->getTemplateLayoutName(), L"Sheet B");
    EXPECT_EQ(nested->getTemplateFileName(), W(other));
    EXPECT_EQ(findSubsetByPath(set, L"B")->getTemplateLayoutName(), L"Sheet A");  // only under the target
    EXPECT_EQ(fileLabels(L"A"), L"a1 a2 a3 a4 [Nested] From B");
}

TEST_F(SheetOperationsTest, ImportListsStatusesAndPutsLayoutsAfterTheSelectedSheet) {
    openWindow();
    const std::string freeDrawing = dir.file("Plans.dwg"), foreign = dir.file("foreign.dwg"), bare = dir.file("bare.dwg");
    ASSERT_TRUE(makeThreeSheetDrawing()->saveAs(freeDrawing, kTkDbVerR2010).ok());
    ASSERT_TRUE(makeThreeSheetDrawing()->saveAs(foreign, kTkDbVerR2010).ok());
    ASSERT_TRUE(TkDbDatabase::createNew()->saveAs(bare, kTkDbVerR2010).ok());
    {
        DwgReader r;
        r.load(W(foreign), false);
        ASSERT_TRUE(r.writeStamp(W(dir.file("gone/Other.dst")), W(foreign), L"Sheet A", L"1"));
        ASSERT_TRUE(r.saveAs(TkString(), r.database->version()));
    }
    item("A")->setExpanded(true);
    click(item("a1"));
    DialogPlayer play;
    play.importLayouts = [&](CImportLayoutsDlg& d) {
        responder.queueFileDialog({W(drawingA), W(freeDrawing), W(foreign), W(bare)});
        responder.queueMessageBox(IDOK);
        d.OnBrowse();
        EXPECT_EQ(d.list->topLevelItemCount(), 6);
        std::map<std::string, std::string> status;
        for (int i = 0; i < d.list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* it = d.list->topLevelItem(i);
            status[(it->text(0) + "|" + it->text(1)).toStdString()] = it->text(2).toStdString();
            EXPECT_EQ(it->checkState(0) == Qt::Checked, it->text(2) != "This layout is already part of a sheet set - not available for import.");
        }
        EXPECT_EQ(status["a.dwg|Sheet A"], "This layout is already part of a sheet set - not available for import.");
        EXPECT_EQ(status["Plans.dwg|Sheet B"], "Available for import");
        EXPECT_EQ(status["foreign.dwg|Sheet A"], "Warning: this layout may belong to another sheet set.");
        // Unchecking the foreign drawing's rows together: selected rows follow the one clicked.
        for (int i = 0; i < d.list->topLevelItemCount(); ++i)
            d.list->topLevelItem(i)->setSelected(d.list->topLevelItem(i)->text(0) == "foreign.dwg");
        for (int i = 0; i < d.list->topLevelItemCount(); ++i)
            if (d.list->topLevelItem(i)->text(0) == "foreign.dwg") {
                d.list->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
                break;
            }
        d.prefixCheck->setChecked(true);
        d.OnOK();
        return d.result();
    };
    wnd->OnCommand(pal::kCmdImportLayout);
    ASSERT_EQ(responder.shown().size(), 2u);  // the file dialog, then the drawing without layouts
    EXPECT_EQ(responder.shown()[1].text, L"The following selected files do not contain any initialized layouts:\n\t" + W(bare) + L"\n");
    // After a selected sheet each import goes right after it: the rows end up reversed. a.dwg's
    // "Sheet B" is free (a2 uses it? no: a2 uses Sheet B, so it is in use) - only Plans' two remain.
    EXPECT_EQ(fileLabels(L"A"), L"a1 Plans - Sheet B Plans - Sheet A a2 a3 a4 [Nested]");
    DwgReader r;
    r.load(W(freeDrawing), false);
    EXPECT_EQ(readStampSheetSetPath(r.database.get()), L"");  // importing writes nothing into the drawings
    r.load(W(foreign), false);
    EXPECT_EQ(readStampSheetSetPath(r.database.get()), W(dir.file("gone/Other.dst")));

    // Nothing checked: the dialog stays with its message.
    play.importLayouts = [&](CImportLayoutsDlg& d) {
        d.addDrawings({W(freeDrawing)});
        for (int i = 0; i < d.list->topLevelItemCount(); ++i) d.list->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
        responder.queueMessageBox(IDOK);
        d.OnOK();
        EXPECT_EQ(d.result(), 0);
        return int(QDialog::Rejected);
    };
    responder.clear();
    wnd->OnCommand(pal::kCmdImportLayout);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, L"No layout selected.");
}

TEST_F(SheetOperationsTest, RemoveAsksOnceWithTheCountAndLeavesTheDrawings) {
    openWindow();
    item("B")->setExpanded(true);
    const std::string before = readFileText(drawingB);
    click(item("b1"));
    click(item("b3"), Qt::ControlModifier);
    click(item("Empty"), Qt::ControlModifier);  // a subset among them is passed over
    responder.queueMessageBox(IDCANCEL);
    wnd->OnCommand(pal::kCmdRemoveSheets);
    EXPECT_EQ(fileLabels(L"B"), L"b1 b2 b3");
    responder.queueMessageBox(IDOK);
    wnd->OnCommand(pal::kCmdRemoveSheets);
    EXPECT_EQ(fileLabels(L"B"), L"b2");
    EXPECT_EQ(readFileText(drawingB), before);
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[0].caption, L"Remove Sheets");
    EXPECT_EQ(responder.shown()[0].text,
              L"Are you sure that you want to remove 2 Sheets from Palette Test Sheet Set?\n(The layout and the drawing file will not be deleted.)");
    EXPECT_EQ(selectedLabels(), QStringList{"Palette Test"});

    // A subset that is the only child of its parent: the parent is selected next.
    wnd->EditCurrentSet([](CSheetSetImpl& s) { return findSubsetByPath(&s, L"Empty")->addNewSubset(-1, L"Lone") != nullptr; });
    item("Empty")->setExpanded(true);
    click(item("Lone"));
    wnd->OnCommand(pal::kCmdRemoveSubset);
    EXPECT_EQ(item("Lone"), nullptr);
    EXPECT_EQ(selectedLabels(), QStringList{"Empty"});
}

TEST_F(SheetOperationsTest, OpeningSheetsMakesTheirLayoutCurrentAndAMissingDrawingAsks) {
    openWindow();
    item("A")->setExpanded(true);
    click(item("a2"));
    wnd->OnCommand(pal::kCmdOpenSheets);
    VrApDocument* doc = vrDocManagerPtr()->curDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->fileName(), W(drawingA));
    EXPECT_EQ(doc->database()->currentLayoutName(), "Sheet B");
    // Open already for editing: a1 only switches the layout; the sheet after it is not opened.
    click(item("a1"));
    click(item("a4"), Qt::ControlModifier);
    wnd->OnCommand(pal::kCmdOpenSheets);
    EXPECT_EQ(vrDocManagerPtr()->documentCount(), 1);
    EXPECT_EQ(doc->database()->currentLayoutName(), "Sheet A");
    // Read-only goes to the host for every sheet (which opens b.dwg read-only beside a.dwg).
    wnd->OnCommand(pal::kCmdOpenReadOnly);
    ASSERT_EQ(vrDocManagerPtr()->documentCount(), 2);
    EXPECT_TRUE(vrDocManagerPtr()->document(1)->isReadOnly());

    // a3's drawing is missing: associate another layout.
    const std::string fresh = dir.file("fresh.dwg");
    ASSERT_TRUE(makeThreeSheetDrawing()->saveAs(fresh, kTkDbVerR2010).ok());
    click(item("a3"));
    responder.queueTaskDialog(1126);
    DialogPlayer play;
    play.importLayouts = [&](CImportLayoutsDlg& d) {
        EXPECT_TRUE(d.singleChoice);
        d.addDrawings({W(fresh)});
        for (int i = 0; i < d.list->topLevelItemCount(); ++i) EXPECT_EQ(d.list->topLevelItem(i)->checkState(0), Qt::Unchecked);
        d.list->topLevelItem(0)->setCheckState(0, Qt::Checked);
        d.list->topLevelItem(1)->setCheckState(0, Qt::Checked);  // single choice: the first is unchecked
        EXPECT_EQ(d.list->topLevelItem(0)->checkState(0), Qt::Unchecked);
        d.OnOK();
        return d.result();
    };
    wnd->OnCommand(pal::kCmdOpenSheets);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].caption, L"Sheet Set Manager - Drawing File Not Found");
    TkString error;
    CSheetSet* set = wnd->manager()->getSheetSet(0);
    auto* a = findSubsetByPath(set, L"A");
    auto* a3 = dynamic_cast<CSheet*>(a->getAt(2));
    ASSERT_NE(a3, nullptr);
    EXPECT_EQ(a3->getFileName(), W(fresh));
    EXPECT_EQ(a3->getLayoutName(), L"Sheet B");
}

TEST_F(SheetOperationsTest, TemplateLayoutsThatCannotServeAndADrawingSomeoneHolds) {
    openWindow();
    useTemplate();
    click(item("B"));
    DialogPlayer play;
    // The template's layout is gone, then it is not initialized: each asks, Cancel ends.
    wnd->EditCurrentSet([&](CSheetSetImpl& s) {
        findSubsetByPath(&s, L"B")->setTemplate(L"No Such", L"1", W(templatePath).c_str(), false);
        return true;
    });
    responder.queueMessageBox(IDCANCEL);
    wnd->OnCommand(pal::kCmdNewSheet);
    wnd->EditCurrentSet([&](CSheetSetImpl& s) {
        findSubsetByPath(&s, L"B")->setTemplate(L"Sheet C", L"1", W(templatePath).c_str(), false);
        return true;
    });
    responder.queueMessageBox(IDCANCEL);
    wnd->OnCommand(pal::kCmdNewSheet);
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[0].text,
              L"To create a new sheet, you must first specify a template (DWT) file. Click OK to browse to a sheet creation template file.");
    EXPECT_EQ(responder.shown()[1].text,
              L"The specified layout in the sheet creation template is not initialized. Click OK to browse to a sheet creation template file..");
    EXPECT_TRUE(play.seen.empty());

    // A drawing someone has open is not replaced: the dialog says so and stays.
    click(item("A"));
    responder.clear();
    FileHold held;
    ASSERT_TRUE(held.hold(W(drawingA)));
    play.newSheet = [&](CNewSheetDlg& d) {
        d.titleEdit->setText("x");
        d.fileNameEdit->setText("a");  // a.dwg, held
        responder.queueMessageBox(IDYES);
        responder.queueMessageBox(IDOK);
        d.OnOK();
        return d.result();
    };
    wnd->OnCommand(pal::kCmdNewSheet);
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[1].text,
              W(drawingA) + L" exists and is open for editing in another session or by anther user and cannot be replaced.");
    EXPECT_EQ(fileLabels(L"A"), L"a1 a2 a3 a4 [Nested]");
}

TEST_F(SheetOperationsTest, TheHostsLayoutsComeCheckedAndAMissingDrawingCanGoAway) {
    openWindow();
    const std::string fresh = dir.file("fresh.dwg");
    ASSERT_TRUE(makeThreeSheetDrawing()->saveAs(fresh, kTkDbVerR2010).ok());
    click(item("Empty"));
    DialogPlayer play;
    play.importLayouts = [&](CImportLayoutsDlg& d) {
        EXPECT_EQ(d.list->topLevelItemCount(), 2);
        for (int i = 0; i < d.list->topLevelItemCount(); ++i)
            EXPECT_EQ(d.list->topLevelItem(i)->checkState(0) == Qt::Checked, d.list->topLevelItem(i)->text(1) == "Sheet B");
        // Sorting: the first click descends, the next flips.
        d.sortBy(1);
        EXPECT_EQ(d.list->topLevelItem(0)->text(1), "Sheet B");
        d.sortBy(1);
        EXPECT_EQ(d.list->topLevelItem(0)->text(1), "Sheet A");
        d.OnOK();
        return d.result();
    };
    responder.queueMessageBox(IDOK);  // "Unsaved" is no layout of the saved drawing
    wnd->RunCommand(pal::kCmdImportFromHost, {W(fresh), L"Sheet B", L"Unsaved"});
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, L"The drawing requires saving before the selected layout(s) can be added to the sheet set.");
    EXPECT_EQ(fileLabels(L"Empty"), L"Sheet B");

    // a3's drawing is missing: "remove the sheet" asks again before it removes.
    item("A")->setExpanded(true);
    click(item("a3"));
    responder.clear();
    responder.queueTaskDialog(1125);
    responder.queueMessageBox(IDOK);
    wnd->OnCommand(pal::kCmdOpenSheets);
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[1].caption, L"Remove Sheets");
    EXPECT_EQ(fileLabels(L"A"), L"a1 a2 a4 [Nested]");
}

TEST_F(SheetOperationsTest, TitleBlocksFollowNewSheetsAndHeldDrawingsAreReported) {
    openWindow();
    useTemplate();
    // The template's layout shows the sheet's number and "n of m" through fields.
    {
        auto tmpl = makeThreeSheetDrawing();
        const uint64_t br = tmpl->findLayout("Sheet A")->blockRecordHandle();
        for (const char* code : {"\\AcSm Sheet.Number", "\\AcSm SheetOf"}) {
            TkDbRecord* t = tmpl->addEntity(br, "TEXT", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"}, {1, "?"}, {100, "AcDbText"}});
            ASSERT_TRUE(tkDbAttachField(*tmpl, *t, code));
        }
        ASSERT_TRUE(tmpl->saveAs(templatePath, kTkDbVerR2010).ok());
    }
    FileHold held;  // a colleague has b.dwg open
    ASSERT_TRUE(held.hold(W(drawingB)));
    click(item("Empty"));
    DialogPlayer play;
    play.newSheet = [&](CNewSheetDlg& d) {
        QTest::keyClicks(d.numberEdit, "E-1");
        QTest::keyClicks(d.titleEdit, "Extra");
        d.OnOK();
        return d.result();
    };
    responder.queueMessageBox(IDOK);
    wnd->OnCommand(pal::kCmdNewSheet);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_NE(responder.shown()[0].text.find(W(drawingB) + L": in use by someone else"), std::wstring::npos) << responder.shown()[0].text;
    EXPECT_EQ(responder.shown()[0].text.find(L"missing.dwg"), std::wstring::npos);  // missing ones show in the tree
    DwgReader reader;
    reader.load(W(dir.file("E-1 Extra.dwg")), false);
    ASSERT_TRUE(reader.database);
    std::vector<std::string> texts;
    for (TkDbRecord* e : reader.database->blockContents(reader.database->findLayout("E-1 Extra")->blockRecordHandle()))
        if (e->type() == "TEXT") texts.push_back(std::string(e->str(1)));
    EXPECT_EQ(texts, (std::vector<std::string>{"E-1", "9 of 9"}));  // last of the nine, in tree order
}
