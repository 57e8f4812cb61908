// The host window's menus: a palette closed with its X comes back from the View menu and its key,
// the command line hides and shows, and Recent Files keeps the latest nine files, drops a file
// that is gone with a message, and records nothing while no window keeps the list.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTest>

#include "app/CommandLineWidget.h"
#include "app/MainWindow.h"
#include "app/RecentFilesMenu.h"
#include "app/ViewMenu.h"
#include "host/NqSystem.h"
#include "host/RecentFiles.h"
#include "host/UiBase.h"
#include "host/UiResponder.h"
#include "tests/support/TestFiles.h"

namespace {

QMenu* menuNamed(MainWindow& w, const QString& title) {
    for (QAction* a : w.menuBar()->actions())
        if (a->menu() && a->text().remove('&') == title) return a->menu();
    return nullptr;
}

}  // namespace

TEST(MainWindowMenus, ViewMenuBringsBackAClosedPaletteAndHidesTheCommandLine) {
    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* palette = new CVdUiPaletteSet("Sheet Set Manager", &window);
    palette->setToggleShortcut(QKeySequence(Qt::CTRL | Qt::Key_4));
    CNqSystem::instance().addPalette(palette, true);
    palette->Show(true);

    ViewMenu* view = window.viewMenu();
    ASSERT_EQ(menuNamed(window, "View"), view);
    QAction* entry = view->paletteAction(palette);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "Sheet Set Manager");
    EXPECT_EQ(entry->shortcut(), QKeySequence("Ctrl+4"));
    EXPECT_TRUE(entry->isChecked());

    // Closed with its X: unchecked, and the palette knows it is hidden (SSMSTATE reads that).
    palette->close();
    EXPECT_FALSE(palette->IsVisible());
    EXPECT_FALSE(entry->isChecked());
    entry->trigger();
    EXPECT_TRUE(palette->isVisible());
    EXPECT_TRUE(palette->IsVisible());
    EXPECT_TRUE(entry->isChecked());
    entry->trigger();
    EXPECT_TRUE(palette->isHidden());
    EXPECT_FALSE(palette->IsVisible());
    EXPECT_FALSE(entry->isChecked());

    // Ctrl+4 with the menu closed, from the window.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_4, Qt::ControlModifier);
    EXPECT_TRUE(palette->IsVisible());
    EXPECT_TRUE(entry->isChecked());
    QTest::keyClick(&window, Qt::Key_4, Qt::ControlModifier);
    EXPECT_FALSE(palette->IsVisible());

    // The command line.
    QAction* commandLine = view->commandLineAction();
    EXPECT_TRUE(commandLine->isChecked());
    commandLine->trigger();
    EXPECT_FALSE(window.commandLine()->isVisible());
    commandLine->trigger();
    EXPECT_TRUE(window.commandLine()->isVisible());

    // The module unloads its palette: the entry goes with it.
    CNqSystem::instance().addPalette(palette, false);
    EXPECT_EQ(view->paletteAction(palette), nullptr);
    EXPECT_FALSE(view->actions().contains(entry));
    delete palette;
}

TEST(MainWindowMenus, RecentFilesKeepsTheLatestNineAndDropsAFileThatIsGone) {
    ScratchDir dir;
    auto file = [&](int i) {  // the path of a drawing that is there
        const std::string path = dir.file("drawing" + std::to_string(i) + ".dwg");
        writeFileText(path, "0\nEOF\n");
        return QString::fromStdString(path).toStdWString();
    };
    // Without the window nothing is kept: a script's files are not the user's recent work.
    vrAddRecentFile(file(0));
    EXPECT_TRUE(vrRecentFiles().empty());

    MainWindow window;
    for (int i = 0; i < 11; ++i) vrAddRecentFile(file(i));
    std::vector<TkString> recent = vrRecentFiles();
    ASSERT_EQ(recent.size(), 9u);
    EXPECT_EQ(recent.front(), file(10));
    EXPECT_EQ(recent.back(), file(2));
    // Opened again: moved to the top, not listed twice.
    vrAddRecentFile(file(5));
    recent = vrRecentFiles();
    EXPECT_EQ(recent.size(), 9u);
    EXPECT_EQ(recent.front(), file(5));
    EXPECT_EQ(std::count(recent.begin(), recent.end(), file(5)), 1);

    // The menu shows them, latest first, numbered.
    QMenu* fileMenu = menuNamed(window, "File");
    ASSERT_NE(fileMenu, nullptr);
    RecentFilesMenu* menu = nullptr;
    for (QAction* a : fileMenu->actions())
        if (auto* m = dynamic_cast<RecentFilesMenu*>(a->menu())) menu = m;
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 9);
    EXPECT_TRUE(menu->actions().front()->text().startsWith("&1 "));
    EXPECT_TRUE(menu->actions().front()->text().endsWith("drawing5.dwg"));

    // A file that is gone: said, and off the list.
    const TkString gone = file(7);
    QFile::remove(QString::fromStdWString(gone));
    VrUiResponder responder;
    responder.queueMessageBox(IDOK);
    VrUiResponder::install(&responder);
    RecentFilesMenu::openRecent(gone);
    VrUiResponder::install(nullptr);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_NE(responder.shown()[0].text.find(gone), TkString::npos);
    EXPECT_NE(responder.shown()[0].text.find(L"removed from the recent files"), TkString::npos);
    recent = vrRecentFiles();
    EXPECT_EQ(recent.size(), 8u);
    EXPECT_EQ(std::count(recent.begin(), recent.end(), gone), 0);
    emit menu->aboutToShow();
    EXPECT_EQ(menu->actions().size(), 8);
}
