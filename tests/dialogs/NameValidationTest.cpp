// The name rules every dialog applies, with their exact captions and texts.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "host/Dialogs.h"
#include "host/Resources.h"
#include "host/UiResponder.h"
#include "dialogs/NameValidation.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TestFiles.h"

TEST_F(HostTest, NamesAreCheckedWithTheSharedMessages) {
    QLineEdit edit;
    // Blanks only: too short; a blank inside is fine.
    edit.setText("   ");
    responder.queueMessageBox(IDOK);
    EXPECT_FALSE(CheckNameNotEmpty(&edit, kNameKindSheet));
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].caption, L"Sheet - Text Length");
    EXPECT_EQ(responder.shown()[0].text, L"The name must be at least one character long.");
    edit.setText("Ground floor");
    EXPECT_TRUE(CheckNameNotEmpty(&edit, kNameKindSheet));
    EXPECT_TRUE(CheckNameCharacters(&edit, kNameKindSheet));
    responder.clear();

    // A slash in a subset name: the task dialog titled with the subset word.
    edit.setText("Plans/Sections");
    responder.queueTaskDialog(IDOK);
    EXPECT_FALSE(CheckNameCharacters(&edit, kNameKindSubset));
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].caption, L"Subset - Unsupported Characters");
    EXPECT_EQ(responder.shown()[0].text,
              L"The name contains unsupported characters.\nThe following characters are not supported:\n"
              L"\\ < > / ? \" : ; * | , = `");
    EXPECT_EQ(edit.selectedText(), "Plans/Sections");
    responder.clear();

    // Too long, with the limit in the text.
    responder.queueMessageBox(IDOK);
    ShowTooLongMessage(kMaxTitleLength, kNameKindSheetSet);
    EXPECT_EQ(responder.shown()[0].caption, L"Sheet Set - Text Length");
    EXPECT_EQ(responder.shown()[0].text, L"The name cannot be longer than 64 characters.");
    responder.clear();

    // Duplicates ignore letter case; number and title are joined with " - ".
    edit.setText("plans");
    responder.queueTaskDialog(IDCLOSE);
    EXPECT_TRUE(IsDuplicateName(&edit, L"", L"plans", {L"Sections", L"PLANS"}, kNameKindSubset));
    EXPECT_EQ(responder.shown()[0].caption, L"Subset - Name Already Exists");
    EXPECT_EQ(responder.shown()[0].text, L"The name, plans, is already in use.  \nYou will need to enter a different name.");
    responder.clear();
    responder.queueTaskDialog(IDCLOSE);
    EXPECT_TRUE(IsDuplicateName(&edit, L"A-101", L"Plan", {L"a-101 - plan"}, kNameKindSheet));
    EXPECT_EQ(responder.shown()[0].text, L"The name, A-101 - Plan, is already in use.  \nYou will need to enter a different name.");
    EXPECT_FALSE(IsDuplicateName(&edit, L"", L"Plan", {L"A-101 - Plan"}, kNameKindSheet));
}

TEST_F(HostTest, MessagesComeFromTheCatalogOfTheLanguageWithDefaultsBehind) {
    vrSetResourceLanguage("zh");
    responder.queueMessageBox(IDOK);
    ShowTooShortMessage(kNameKindSubset);
    EXPECT_EQ(responder.shown()[0].caption, L"\u5b50\u96c6 - \u6587\u5b57\u957f\u5ea6");  // 子集 - 文字长度
    EXPECT_EQ(responder.shown()[0].text, L"\u540d\u79f0\u81f3\u5c11\u9700\u8981\u5305\u542b\u4e00\u4e2a\u5b57\u7b26\u3002");
    // A number no catalog has gives the built-in text; a folder without catalogs gives them all.
    EXPECT_EQ(vrMessage(L"sheetsetres", 99999, L"built-in"), L"built-in");
    vrSetResourceFolder("/nonexistent");
    vrSetResourceLanguage("en");
    EXPECT_EQ(vrMessage(L"sheetsetres", 25105, L"default text"), L"default text");
}

// Shown for real, the unsupported-characters dialog has a button that closes it.
TEST_F(HostTest, TheUnsupportedCharactersDialogCanBeClosed) {
    VrUiResponder::install(nullptr);
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        QWidget* dlg = QApplication::activeModalWidget();
        if (!dlg) return;
        for (QPushButton* b : dlg->findChildren<QPushButton*>()) buttons << b->text();
        if (auto all = dlg->findChildren<QPushButton*>(); !all.isEmpty()) all.front()->click();
        else dlg->close();
    });
    ShowUnsupportedCharsMessage(kNameKindSubset);
    VrUiResponder::install(&responder);
    EXPECT_EQ(buttons.size(), 1);
}

// A catalog is text anyone can edit: a translation with the wrong placeholders, or stray percent
// signs, shows as text and never reaches a printf.
TEST_F(HostTest, CatalogTextsWithWrongPlaceholdersAreShownSafely) {
    ScratchDir dir;
    writeFileText(dir.file("sheetsetres.en.txt"), "25106\tNot longer than %s %s %n %x %d%% characters.\n"
                                                  "25108\tThe name %d is %s taken.\n");
    vrSetResourceFolder(dir.path().string());
    vrSetResourceLanguage("en");
    responder.queueMessageBox(IDOK);
    ShowTooLongMessage(64, kNameKindSubset);
    EXPECT_EQ(responder.shown()[0].text, L"Not longer than 64  %n %x % characters.");
    responder.queueTaskDialog(IDCLOSE);
    ShowNameExistsMessage(L"Plans", kNameKindSubset);
    EXPECT_EQ(responder.shown()[1].text, L"The name Plans is  taken.\nYou will need to enter a different name.");
    EXPECT_EQ(vrFormatMessage(L"100%% of %ls", {L"A-101"}), L"100% of A-101");
    vrSetResourceFolder(VORN_SOURCE_DIR "/res");
}
