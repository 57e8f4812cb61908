// The custom property and list dialogs played through the UI responder: proposed names, duplicates
// in any letter case, in-place values, deleting down to nothing, sorting, block lists without
// doubles, model folders and new selection names; the property grid's browse rows and group rows
// that fold, and the sheet's layout shown with its drawing's whole path.
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <filesystem>

#include "dialogs/CustomPropertiesDlg.h"
#include "dialogs/ListDialogs.h"
#include "dialogs/SelectBlockDlg.h"
#include "dialogs/SelectLayoutDlg.h"
#include "dialogs/SheetPropertiesDlg.h"
#include "dialogs/SheetsetPropertiesDlg.h"
#include "dialogs/SubsetPropertiesDlg.h"
#include "host/Dialogs.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

// Plays the next dialogs: each function takes the dialog it expects, in order.
struct Script {
    std::vector<std::function<int(CVrUiDialog*)>> steps;
    size_t next = 0;
    Script() {
        CVrUiDialog::testHook = [this](CVrUiDialog* d) { return next < steps.size() ? steps[next++](d) : int(QDialog::Rejected); };
    }
    ~Script() { CVrUiDialog::testHook = nullptr; }
};

}  // namespace

TEST_F(HostTest, CustomPropertiesProposeNamesRefuseDuplicatesAndEditInPlace) {
    CCustomPropertiesDlg dlg;
    dlg.properties = {{L"New Name (1)", L"a", true}, {L"New Name (2)", L"b", false}};
    CAddCustomPropertyDlg::lastOwnerWasSheetSet = true;
    Script s;
    s.steps.push_back([&](CVrUiDialog*) {
        // Add twice: the first proposal is taken in another case and refused, then a new name.
        dlg.OnAdd();
        dlg.OnAdd();
        EXPECT_EQ(dlg.properties.size(), 3u);
        // A value typed in place.
        QTreeWidgetItem* first = dlg.list->topLevelItem(0);
        first->setText(1, "City of Ely");
        EXPECT_EQ(dlg.properties[0].value, L"City of Ely");
        // Sorting by name flips on each click.
        dlg.sortBy(0);
        const QString top = dlg.list->topLevelItem(0)->text(0);
        dlg.sortBy(0);
        EXPECT_NE(dlg.list->topLevelItem(0)->text(0), top);
        // Deleting all of them leaves the delete button off.
        dlg.list->setCurrentItem(nullptr);
        dlg.OnDelete();  // nothing selected: nothing deleted, the button goes off
        EXPECT_EQ(dlg.properties.size(), 3u);
        EXPECT_FALSE(dlg.deleteButton->isEnabled());
        for (int n = 3; n > 0; --n) {
            dlg.list->setCurrentItem(dlg.list->topLevelItem(0));
            dlg.OnDelete();
        }
        EXPECT_TRUE(dlg.properties.empty());
        EXPECT_FALSE(dlg.deleteButton->isEnabled());
        return int(QDialog::Accepted);
    });
    s.steps.push_back([&](CVrUiDialog* d) {
        auto* add = dynamic_cast<CAddCustomPropertyDlg*>(d);
        EXPECT_NE(add, nullptr);
        EXPECT_EQ(add->nameEdit->text(), "New Name (3)");
        EXPECT_EQ(add->valueEdit->text(), "value");
        EXPECT_TRUE(add->setOwner->isChecked());  // the last owner chosen
        add->nameEdit->setText("  new name (1) ");
        responder.queueTaskDialog(IDCLOSE);
        add->OnOK();
        EXPECT_EQ(add->result(), 0);
        add->nameEdit->setText("Client");
        add->sheetOwner->setChecked(true);
        add->OnOK();
        return add->result();
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Accepted);
    EXPECT_FALSE(CAddCustomPropertyDlg::lastOwnerWasSheetSet);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].caption, L"Subset - Name Already Exists");
}

TEST_F(HostTest, BlockListAddsEachBlockOnceAndModelFoldersNoTwice) {
    ScratchDir dir;
    auto db = makeThreeSheetDrawing();
    db->addBlock("DOOR");
    ASSERT_TRUE(db->saveAs(dir.file("blocks.dwg"), kTkDbVerR2010).ok());
    CBlockListDlg blocks;
    Script s;
    auto pickDoor = [&](CVrUiDialog* d) {
        auto* pick = dynamic_cast<CSelectBlockDlg*>(d);
        EXPECT_NE(pick, nullptr);
        if (!pick) return int(QDialog::Rejected);
        pick->filePath = tkFromUtf8(dir.file("blocks.dwg"));
        pick->blockNames = {L"DOOR"};
        pick->blockHandles = {L"1A"};
        return int(QDialog::Accepted);
    };
    s.steps.push_back([&](CVrUiDialog*) {
        blocks.OnAdd();
        blocks.OnAdd();  // the same block of the same drawing again
        return int(QDialog::Accepted);
    });
    s.steps.push_back(pickDoor);
    s.steps.push_back(pickDoor);
    responder.queueMessageBox(IDOK);
    EXPECT_EQ(blocks.DoModal(), QDialog::Accepted);
    EXPECT_EQ(blocks.names, std::vector<TkString>{L"DOOR"});
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, L"The specified callout block is already in the list.");

    CModelViewDlg folders;
    folders.folders = {L"/srv/a"};
    responder.clear();
    responder.queueFileDialog({L"/srv/b"});
    responder.queueFileDialog({L"/srv/a"});
    responder.queueMessageBox(IDOK);
    Script s2;
    s2.steps.push_back([&](CVrUiDialog*) {
        folders.OnAdd();
        folders.OnAdd();
        folders.list->setCurrentRow(0);
        folders.OnDelete();
        folders.OnOK();
        return folders.result();
    });
    EXPECT_EQ(folders.DoModal(), QDialog::Accepted);
    EXPECT_EQ(folders.folders, std::vector<TkString>{L"/srv/b"});
    EXPECT_EQ(responder.shown().back().text, L"This location already exists.");
}

TEST_F(HostTest, NewSelectionNamesAreCheckedUntrimmedForLength) {
    CNewSelectionDlg dlg;
    dlg.name = L"Issue 1";
    dlg.selectedSheets = 3;
    dlg.existingNames = {L"Issue 1"};
    Script s;
    s.steps.push_back([&](CVrUiDialog*) {
        EXPECT_EQ(dlg.countLabel->text(), "Sheets selected: 3");
        dlg.nameEdit->setText(QString(62, 'x') + "   ");  // 65 with its blanks
        responder.queueMessageBox(IDOK);
        dlg.OnOK();
        dlg.nameEdit->setText(" issue 1 ");
        responder.queueTaskDialog(IDCLOSE);
        dlg.OnOK();
        dlg.nameEdit->setText(" Issue 2 ");
        dlg.OnOK();
        return dlg.result();
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Accepted);
    EXPECT_EQ(dlg.name, L"Issue 2");
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[0].text, L"The name cannot be longer than 64 characters.");
}

TEST_F(HostTest, PropertyGridBrowseRowsAndANewSubsetsFolder) {
    ScratchDir dir;
    auto tmpl = makeThreeSheetDrawing();
    ASSERT_TRUE(tmpl->saveAs(dir.file("sheet.dwt"), kTkDbVerR2010).ok());
    // A browse row takes its value from its chooser only, and shows as changed.
    CSheetsetPropertiesDlg set;
    set.name = L"Tower";
    Script s;
    s.steps.push_back([&](CVrUiDialog*) {
        PropertyRow* row = set.grid->model().row("template");
        EXPECT_FALSE(set.grid->model().flags(set.grid->model().index(0, 1)) & Qt::ItemIsEditable);  // a group
        EXPECT_TRUE(set.grid->browse("template"));
        EXPECT_EQ(row->value, QString::fromStdString("Sheet B(" + dir.file("sheet.dwt") + ")"));
        EXPECT_TRUE(row->modified());
        set.grid->model().setValue("prompt", "Maybe");  // not one of its choices
        EXPECT_EQ(set.grid->model().value("prompt"), "No");
        set.OnOK();
        return set.result();
    });
    s.steps.push_back([&](CVrUiDialog* d) {
        auto* pick = dynamic_cast<CSelectLayoutDlg*>(d);
        if (!pick) return int(QDialog::Rejected);
        pick->filePath = tkFromUtf8(dir.file("sheet.dwt"));
        pick->ListLayouts(false);
        pick->layoutList->setCurrentRow(1);
        pick->OnOK();
        return pick->result();
    });
    ASSERT_EQ(set.DoModal(), QDialog::Accepted);
    EXPECT_EQ(set.templateLayout, L"Sheet B");
    EXPECT_EQ(set.templateFile, tkFromUtf8(dir.file("sheet.dwt")));
    EXPECT_FALSE(set.templateHandle.empty());

    // A new subset whose folder is to be made: OK makes it.
    CSubsetPropertiesDlg sub;
    sub.isNew = true;
    sub.name = L"Plans";
    sub.location = tkFromUtf8(dir.file("Plans folder"));
    Script s2;
    s2.steps.push_back([&](CVrUiDialog*) {
        sub.grid->model().setValue("hierarchy", "Yes");
        sub.OnOK();
        return sub.result();
    });
    ASSERT_EQ(sub.DoModal(), QDialog::Accepted);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Plans folder")));
}

// The sheet's layout reads "Index (/projects/.../G-001 Drawing Index.dwg)": the layout, a space,
// and the drawing's whole path, never cut: the dialog opens wide enough to show it beside the
// browse button, and the expected and found rows hold it whole as their tips.
TEST_F(HostTest, SheetPropertiesShowTheLayoutWithItsDrawingsWholePath) {
    CSheetPropertiesDlg dlg;
    dlg.title = L"Drawing Index";
    dlg.number = L"G-001";
    dlg.layoutName = L"Index";
    dlg.drawingPath = L"/projects/harbour-offices/sheets/G-001 Drawing Index.dwg";
    const QString whole = "Index (/projects/harbour-offices/sheets/G-001 Drawing Index.dwg)";
    Script s;
    s.steps.push_back([&](CVrUiDialog*) {
        dlg.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        CPropertyTableModel& m = dlg.grid->model();
        EXPECT_EQ(m.value("layout"), whole);
        EXPECT_EQ(m.value("found"), whole);
        int layoutRow = -1, foundRow = -1;
        for (int r = 0; r < m.rowCount(); ++r) {
            if (m.rows()[static_cast<size_t>(r)].key == "layout") layoutRow = r;
            if (m.rows()[static_cast<size_t>(r)].key == "found") foundRow = r;
        }
        EXPECT_GE(layoutRow, 0);
        EXPECT_GE(foundRow, 0);
        if (layoutRow < 0 || foundRow < 0) return int(QDialog::Rejected);
        EXPECT_EQ(m.data(m.index(foundRow, 1), Qt::ToolTipRole).toString(), whole);
        QWidget* cell = dlg.grid->view()->indexWidget(m.index(layoutRow, 1));
        auto* label = cell ? cell->findChild<QLabel*>() : nullptr;
        EXPECT_TRUE(label);
        if (!label) return int(QDialog::Rejected);
        EXPECT_EQ(label->text(), whole);
        EXPECT_EQ(label->toolTip(), whole);
        const int textWidth = label->fontMetrics().horizontalAdvance(whole);
        EXPECT_GE(label->contentsRect().width(), textWidth);  // beside the button, whole
        EXPECT_GE(dlg.grid->view()->columnWidth(1), textWidth + 8);  // the found row's cell, not elided
        return int(QDialog::Rejected);
    });
    dlg.DoModal();
}

// The grid's group rows fold as a tree's rows do: a press on the arrow, a double-click on the
// name, Left and Right on the current group (Left on a row goes to its group first). A browse
// row's button folds away with its row, the current row never hides, and rows filled anew start
// open.
TEST_F(HostTest, PropertyGridGroupsFoldAsTreeRowsDo) {
    CSheetsetPropertiesDlg dlg;
    dlg.name = L"Tower";
    Script s;
    s.steps.push_back([&](CVrUiDialog*) {
        dlg.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        CPropertyGrid* grid = dlg.grid;
        QTableView* view = grid->view();
        CPropertyTableModel& m = grid->model();
        auto rowOf = [&](const char* key) {
            for (int r = 0; r < m.rowCount(); ++r)
                if (m.rows()[static_cast<size_t>(r)].key == key) return r;
            ADD_FAILURE() << key;
            return 0;
        };
        auto mouse = [&](QEvent::Type type, QPoint at) {
            QMouseEvent e(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &e);
        };
        auto click = [&](QPoint at) {
            mouse(QEvent::MouseButtonPress, at);
            mouse(QEvent::MouseButtonRelease, at);
        };
        auto doubleClick = [&](QPoint at) {
            click(at);
            mouse(QEvent::MouseButtonDblClick, at);
            mouse(QEvent::MouseButtonRelease, at);
        };
        auto key = [&](Qt::Key k) {
            QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
            QApplication::sendEvent(view, &e);
        };
        const int project = rowOf("project"), number = rowOf("projectNumber"), creation = rowOf("creation"), location = rowOf("location");

        click(grid->groupArrowRect(project).center());
        EXPECT_FALSE(grid->isGroupExpanded(project));
        EXPECT_TRUE(view->isRowHidden(number));
        EXPECT_FALSE(view->isRowHidden(project));
        EXPECT_FALSE(view->isRowHidden(location));  // another group's row
        doubleClick(grid->groupArrowRect(project).center());  // on the arrow: one fold, not two
        EXPECT_TRUE(grid->isGroupExpanded(project));
        EXPECT_FALSE(view->isRowHidden(number));

        doubleClick(view->visualRect(m.index(creation, 0)).center());
        EXPECT_FALSE(grid->isGroupExpanded(creation));
        EXPECT_TRUE(view->isRowHidden(location));
        QWidget* button = view->indexWidget(m.index(location, 1));
        EXPECT_TRUE(button);
        if (!button) return int(QDialog::Rejected);
        QApplication::processEvents();
        EXPECT_FALSE(button->isVisible());
        EXPECT_EQ(view->currentIndex().row(), creation);
        key(Qt::Key_Right);
        EXPECT_TRUE(grid->isGroupExpanded(creation));
        QApplication::processEvents();
        EXPECT_TRUE(button->isVisible());
        key(Qt::Key_Left);
        EXPECT_FALSE(grid->isGroupExpanded(creation));
        key(Qt::Key_Right);

        view->setCurrentIndex(m.index(number, 0));
        key(Qt::Key_Left);
        EXPECT_EQ(view->currentIndex().row(), project);
        key(Qt::Key_Left);
        EXPECT_FALSE(grid->isGroupExpanded(project));
        key(Qt::Key_Right);
        view->setCurrentIndex(m.index(number, 1));
        click(grid->groupArrowRect(project).center());
        EXPECT_EQ(view->currentIndex().row(), project);  // the hidden row's group takes the caret

        m.setRows(std::vector<PropertyRow>(m.rows()));
        EXPECT_TRUE(grid->isGroupExpanded(project));
        EXPECT_FALSE(view->isRowHidden(number));
        return int(QDialog::Rejected);
    });
    dlg.DoModal();
}
