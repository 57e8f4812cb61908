// One edit, two ways in: the palette's operation (its dialog answered here) on one copy of the
// example project and the drawkit verb on another must leave the same sheet set file and the same
// drawings, title blocks included; only the folder and the stamps' update times differ.
#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidgetItem>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "dialogs/ListDialogs.h"
#include "dialogs/NewSheetDlg.h"
#include "dialogs/RenameSheetDlg.h"
#include "dialogs/RenumberDlg.h"
#include "dialogs/SheetListTableDlg.h"
#include "dialogs/SheetPropertiesDlg.h"
#include "dialogs/SheetsetPropertiesDlg.h"
#include "dialogs/SubsetPropertiesDlg.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/Resources.h"
#include "host/UiResponder.h"
#include "operations/Operations.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListWnd.h"
#include "palette/SheetsetTree.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace fs = std::filesystem;

class ParityTest;

namespace {

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// A file's text with `root` written as ROOT and the stamps' update times left out.
std::string comparable(const fs::path& file, const std::string& root) {
    std::string text = readFileText(file.string());
    for (size_t at; (at = text.find(root)) != std::string::npos;) text.replace(at, root.size(), "ROOT");
    static const std::regex updateTime(R"(\n\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\.\d{3}\r?\n)");
    return std::regex_replace(text, updateTime, "\nTIME\n");
}

// The files of a project folder, by name relative to it (logs and lock notes aside).
std::map<std::string, fs::path> projectFiles(const fs::path& root) {
    std::map<std::string, fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && (ext == ".dst" || ext == ".dwg")) out[fs::relative(e.path(), root).string()] = e.path();
    }
    return out;
}

template <class Dlg>
void playNext(std::function<int(Dlg&)> play) {
    CVrUiDialog::testHook = [play](CVrUiDialog* d) {
        auto* dlg = dynamic_cast<Dlg*>(d);
        return dlg ? play(*dlg) : int(QDialog::Rejected);
    };
}

struct ParityCase {
    const char* name;
    std::function<void(ParityTest&)> palette;
    std::vector<std::string> drawkit;  // after "drawkit VERB SET.dst"... as the verb takes them
};

}  // namespace

class ParityTest : public testing::TestWithParam<int> {
public:
    void SetUp() override {
        CNqSystem::instance().reset();
        registerSheetListOperations();
        vrSetResourceFolder(VORN_SOURCE_DIR "/res");
        vrSetResourceLanguage("en");
        VrUiResponder::install(&responder);
        responder.answerDefaults = true;  // questions such as "remove?" take their default, OK
        for (const char* side : {"palette", "drawkit"}) {
            const std::string cmd = quoted(MAKE_EXAMPLES_BIN) + " " + quoted(dir.file(side)) + " >/dev/null";
            ASSERT_EQ(std::system(cmd.c_str()), 0);
        }
        wnd = std::make_unique<CSheetListWnd>(nullptr);
        wnd->resize(360, 700);
        wnd->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd.get()));
        ASSERT_TRUE(wnd->openSheetSet(tkFromUtf8(setOf("palette"))));
        wnd->OnLockPoll();
        for (QTreeWidgetItem* i = wnd->tree()->GetFirstItem(); i; i = wnd->tree()->GetNextItem(i)) i->setExpanded(true);
    }
    void TearDown() override {
        CVrUiDialog::testHook = nullptr;
        wnd.reset();
        unregisterSheetListOperations();
        vrDocManagerPtr()->closeAll();
        VrUiResponder::install(nullptr);
    }
    std::string setOf(const char* side) const { return dir.file(side) + "/Riverside Library.dst"; }
    QTreeWidgetItem* item(const QString& label) const {
        auto found = wnd->tree()->findItems(label, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    // Selects these items, the first as the caret, and runs the command.
    void run(int command, const QStringList& labels) {
        wnd->tree()->ClearSelectedItems();
        for (const QString& l : labels) {
            QTreeWidgetItem* i = item(l);
            ASSERT_NE(i, nullptr) << l.toStdString();
            wnd->tree()->SelectItem(i);
        }
        wnd->tree()->setCurrentItem(item(labels.front()), 0, QItemSelectionModel::NoUpdate);
        wnd->OnCommand(command);
    }
    int drawkit(const std::vector<std::string>& args) const {
        std::string cmd = quoted(DRAWKIT_BIN) + " " + quoted(args.front()) + " " + quoted(setOf("drawkit"));
        for (size_t i = 1; i < args.size(); ++i) cmd += " " + quoted(args[i]);
        return WEXITSTATUS(std::system((cmd + " >/dev/null").c_str()));
    }

    ScratchDir dir;
    VrUiResponder responder;
    std::unique_ptr<CSheetListWnd> wnd;
};

namespace {

const std::vector<ParityCase>& cases() {
    static const std::vector<ParityCase> all = {
        {"publish flags of a subset", [](ParityTest& t) { t.run(pal::kCmdSubsetPublishOff, {"Architecture"}); },
         {"prop", "Architecture", "Publish=no"}},
        {"move a sheet", [](ParityTest& t) {
             QTreeWidgetItem* target = t.item("A-201 - North Elevation");
             t.wnd->onDrop(target, true, {t.item("A-204 - West Elevation")});
         },
         {"move", "A-204", "--to", "Architecture/Elevations", "--after", "A-201"}},
        {"sheet title", [](ParityTest& t) {
             playNext<CSheetPropertiesDlg>([](CSheetPropertiesDlg& d) {
                 d.grid->model().setValue("title", "First Floor Layout");
                 d.OnOK();
                 return d.result();
             });
             t.run(pal::kCmdSheetProperties, {"A-102 - First Floor Plan"});
         },
         {"prop", "A-102", "Title=First Floor Layout"}},
        {"subset name", [](ParityTest& t) {
             playNext<CSubsetPropertiesDlg>([](CSubsetPropertiesDlg& d) {
                 d.grid->model().setValue("name", "Structural");
                 d.OnOK();
                 return d.result();
             });
             t.run(pal::kCmdSubsetProperties, {"Structure"});
         },
         {"prop", "Structure", "Name=Structural"}},
        {"project name of the set", [](ParityTest& t) {
             playNext<CSheetsetPropertiesDlg>([](CSheetsetPropertiesDlg& d) {
                 d.grid->model().setValue("projectName", "Harbour Library");
                 d.OnOK();
                 return d.result();
             });
             t.run(pal::kCmdSheetSetProperties, {"Riverside Library"});
         },
         {"prop", "Project name=Harbour Library"}},
        {"new subset", [](ParityTest& t) {
             playNext<CSubsetPropertiesDlg>([](CSubsetPropertiesDlg& d) {
                 d.grid->model().setValue("name", "Interiors");
                 d.OnOK();
                 return d.result();
             });
             t.run(pal::kCmdNewSubset, {"Architecture"});
         },
         {"new-subset", "Architecture/Interiors"}},
        {"remove a sheet", [](ParityTest& t) { t.run(pal::kCmdRemoveSheets, {"A-504 - Roof Edge"}); }, {"remove", "A-504"}},
        {"new sheet", [](ParityTest& t) {
             playNext<CNewSheetDlg>([](CNewSheetDlg& d) {
                 QTest::keyClicks(d.numberEdit, "A-507");
                 QTest::keyClicks(d.titleEdit, "Railing");
                 d.OnOK();
                 return d.result();
             });
             t.run(pal::kCmdNewSheet, {"Details"});
         },
         {"new-sheet", "--subset", "Architecture/Details", "--number", "A-507", "--title", "Railing"}},
        {"sheet selection", [](ParityTest& t) {
             playNext<CNewSelectionDlg>([](CNewSelectionDlg& d) {
                 d.nameEdit->setText("Issue 1");
                 d.OnOK();
                 return d.result();
             });
             t.run(pal::kCmdSaveSelection, {"A-101 - Ground Floor Plan", "A-102 - First Floor Plan"});
         },
         {"selection", "add", "Issue 1", "A-101", "A-102"}},
        {"rename a sheet", [](ParityTest& t) {
             playNext<CRenameSheetDlg>([](CRenameSheetDlg& d) {
                 d.numberEdit->setText("A-109");
                 d.titleEdit->setText("Third Floor");
                 d.apply(QDialog::Accepted);
                 return d.result();
             });
             t.run(pal::kCmdRenameRenumber, {"A-103 - Second Floor Plan"});
         },
         {"rename", "A-103", "--number", "A-109", "--title", "Third Floor"}},
        {"renumber a subset", [](ParityTest& t) {
             playNext<CRenumberDlg>([](CRenumberDlg& d) {
                 d.patternEdit->setText("A-2##");
                 d.startBox->setValue(11);
                 d.okButton->click();
                 return d.result();
             });
             t.run(pal::kCmdRenumberSubset, {"Elevations"});
         },
         {"renumber", "Architecture/Elevations", "--pattern", "A-2##", "--start", "11"}},
        {"sheet list table", [](ParityTest& t) {
             playNext<CSheetListTableDlg>([](CSheetListTableDlg& d) {
                 for (int i = 0; i < d.list->count(); ++i)
                     if (d.list->item(i)->text() == "Revision" || d.list->item(i)->text() == "Drawn by")
                         d.list->item(i)->setCheckState(Qt::Checked);
                 d.okButton->click();
                 return d.result();
             });
             t.run(pal::kCmdSheetListTable, {"G-003 - Site Location"});
         },
         {"sheet-list", "G-003", "--columns", "number,TITLE,revision,drawn by"}},
    };
    return all;
}

}  // namespace

TEST_P(ParityTest, PaletteAndDrawkitLeaveTheSameProject) {
    const ParityCase& c = cases()[static_cast<size_t>(GetParam())];
    SCOPED_TRACE(c.name);
    c.palette(*this);
    CVrUiDialog::testHook = nullptr;
    EXPECT_TRUE(responder.failures().empty());
    const int code = drawkit(c.drawkit);
    EXPECT_EQ(code, 0);
    const fs::path left = dir.file("palette"), right = dir.file("drawkit");
    const auto leftFiles = projectFiles(left), rightFiles = projectFiles(right);
    std::vector<std::string> leftNames, rightNames;
    for (const auto& [name, path] : leftFiles) leftNames.push_back(name);
    for (const auto& [name, path] : rightFiles) rightNames.push_back(name);
    ASSERT_EQ(leftNames, rightNames);
    for (const auto& [name, path] : leftFiles) {
        SCOPED_TRACE(name);
        const std::string a = comparable(path, left.string()), b = comparable(rightFiles.at(name), right.string());
        if (a == b) continue;
        // Where they part, for the reader of the failure.
        size_t at = 0;
        while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
        const size_t from = at > 300 ? at - 300 : 0;
        ADD_FAILURE() << "palette:\n" << a.substr(from, 600) << "\n--- drawkit:\n" << b.substr(from, 600);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryAction, ParityTest, testing::Range(0, static_cast<int>(cases().size())));
