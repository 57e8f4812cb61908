// The command line of the host window: command names complete as they are typed and with Tab,
// letter case ignored, over the host's commands and those modules registered; answers to a
// prompt do not complete; HELP lists the commands with their local names.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "app/CommandCompleter.h"
#include "app/CommandLineWidget.h"
#include "app/CommandProcessor.h"
#include "host/CommandLine.h"
#include "host/CommandStack.h"

namespace {

// The sheet set module's commands as it registers them, one with a local name of its own.
class CommandLineTest : public testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : {L"SHEETSET", L"SHEETSETHIDE", L"OPENSHEETSET", L"-OPENSHEETSET"})
            tkedRegCmds()->addCommand(L"VORN", name, name, 0, [] {});
        tkedRegCmds()->addCommand(L"VORN", L"NEWSHEETSET", L"NEUERPLANSATZ", 0, [] {});
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        widget.input()->setFocus();
    }
    void TearDown() override {
        tkedRegCmds()->clear();
        vrSetCommandLine(nullptr);
    }
    // Types into an empty command line, then presses Tab.
    QString tab(const char* typed) {
        widget.input()->clear();
        QTest::keyClicks(widget.input(), typed);
        QTest::keyClick(widget.input(), Qt::Key_Tab);
        return widget.input()->text();
    }
    CommandLineWidget widget;
};

}  // namespace

TEST_F(CommandLineTest, TabCompletesANameAsFarAsItIsUnique) {
    EXPECT_EQ(tab("opens"), "OPENSHEETSET");
    EXPECT_TRUE(widget.input()->hasFocus());  // Tab stays on the command line
    EXPECT_EQ(tab("-opens"), "-OPENSHEETSET");
    EXPECT_EQ(tab("apploa"), "APPLOAD");  // a host command
    EXPECT_EQ(tab("neuer"), "NEUERPLANSATZ");  // a local name
    // Two commands start so: completed as far as they agree, and both offered.
    EXPECT_EQ(tab("sheets"), "SHEETSET");
    EXPECT_TRUE(widget.completer()->popup()->isVisible());
    EXPECT_EQ(widget.completer()->completionCount(), 2);
    QTest::keyClick(widget.completer()->popup(), Qt::Key_Escape);
    // Nothing starts so, or the name is followed by its answers: left as typed.
    EXPECT_EQ(tab("xyz"), "xyz");
    EXPECT_EQ(tab("open a"), "open a");
    EXPECT_TRUE(widget.input()->hasFocus());
}

TEST_F(CommandLineTest, TheListFollowsTypingAndTheModulesThatAreLoaded) {
    QTest::keyClicks(widget.input(), "sHeEtSeTh");  // letter case does not matter
    EXPECT_EQ(widget.completer()->completionCount(), 1);
    EXPECT_EQ(widget.completer()->currentCompletion(), "SHEETSETHIDE");
    EXPECT_TRUE(widget.completer()->popup()->isVisible());
    QTest::keyClick(widget.completer()->popup(), Qt::Key_Escape);

    // A module unloaded: its commands are not offered any more.
    tkedRegCmds()->removeCommand(L"VORN", L"SHEETSETHIDE");
    widget.input()->clear();
    QTest::keyClicks(widget.input(), "sheetseth");
    EXPECT_EQ(widget.completer()->completionCount(), 0);
    EXPECT_EQ(tab("sheets"), "SHEETSET");
}

TEST_F(CommandLineTest, AnAnswerToAPromptDoesNotComplete) {
    bool checked = false;
    QTimer::singleShot(0, &widget, [&] {
        EXPECT_EQ(widget.input()->completer(), nullptr);
        QTest::keyClicks(widget.input(), "opens");
        QTest::keyClick(widget.input(), Qt::Key_Tab);
        EXPECT_EQ(widget.input()->text(), "opens");
        checked = true;
        QTest::keyClick(widget.input(), Qt::Key_Return);
    });
    TkString answer;
    EXPECT_EQ(widget.prompt(L"\nEnter name of sheet set to open: ", true, answer), RTNORM);
    EXPECT_TRUE(checked);
    EXPECT_EQ(answer, L"opens");
    // The command prompt completes again, with the same completer.
    EXPECT_EQ(widget.input()->completer(), widget.completer());
    EXPECT_EQ(tab("opens"), "OPENSHEETSET");
}

TEST_F(CommandLineTest, HelpListsTheHostsAndTheModulesCommandsAndUndoSaysWhyNot) {
    vrSetCommandLine(&widget);
    for (const wchar_t* help : {L"HELP", L"?"}) {
        auto* history = widget.findChild<QPlainTextEdit*>();
        history->clear();
        EXPECT_TRUE(commandProcessor().run(help));
        const QString said = history->toPlainText();
        for (const char* expected : {"Commands of the host:", "OPEN, -OPEN", "SETVAR, -SETVAR", "APPLOAD, ARX", "HELP, ?",
                                     "UNDO, U", "Commands of VORN:", "  SHEETSET\n", "  OPENSHEETSET\n",
                                     "  -OPENSHEETSET\n", "NEWSHEETSET (NEUERPLANSATZ)"})
            EXPECT_TRUE(said.contains(expected)) << expected << " missing from: " << said.toStdString();
        // A host command comes with what it does.
        EXPECT_TRUE(said.contains(QRegularExpression("QSAVE, SAVE +Saves the current drawing")));
    }
    auto* history = widget.findChild<QPlainTextEdit*>();
    history->clear();
    // UNDO undoes nothing, and says so instead of failing silently.
    EXPECT_FALSE(commandProcessor().run(L"U"));
    EXPECT_TRUE(history->toPlainText().contains("Nothing to undo: Vorn keeps no undo history."));
    EXPECT_TRUE(history->toPlainText().contains("saved as they are made and cannot be undone here"));
    EXPECT_TRUE(history->toPlainText().contains("NAME.dst.bak"));
}
