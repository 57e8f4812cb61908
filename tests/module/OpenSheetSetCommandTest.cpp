// "-OPENSHEETSET" at the command line: names without an extension, wrong names, empty input.
#include <filesystem>

#include "host/CommandStack.h"
#include "host/Dialogs.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TestFiles.h"
#include "toolkit/sm/TkSmDatabase.h"

namespace {
const wchar_t* kNotFound = L"Cannot find the specified file.\nPlease verify that the file exists.";

void run(const wchar_t* command) {
    const VrCommand* c = tkedRegCmds()->lookup(command);
    ASSERT_NE(c, nullptr);
    c->function();
}

std::string makeSheetSet(const ScratchDir& dir, const std::string& fileName) {
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    std::string path = dir.file(fileName);
    TkSmDatabase* db = mgr->createDatabase(tkFromUtf8(path), L"", false);
    db->getSheetSet()->setName(L"Riverside");
    db->save();
    return path;
}
}  // namespace

TEST_F(HostTest, OpenSheetSetByNameAddsTheExtensionAndRetriesUntilItOpens) {
    ScratchDir dir;
    std::string path = makeSheetSet(dir, "Riverside.dst");
    ASSERT_TRUE(loadModule());
    // A wrong name: the message box, the command-line message, and the prompt again; then the
    // right name without its extension.
    responder.queuePrompt(tkFromUtf8(dir.file("Nowhere")));
    responder.queueMessageBox(IDOK);
    responder.queuePrompt(L"  " + tkFromUtf8(dir.file("Riverside")) + L"  ");
    run(L"-OPENSHEETSET");
    auto& shown = responder.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, VrUiResponder::Kind::Prompt);
    EXPECT_EQ(shown[0].caption, L"\nEnter name of sheet set to open: ");
    EXPECT_EQ(shown[1].kind, VrUiResponder::Kind::MessageBox);
    EXPECT_EQ(shown[1].text, kNotFound);
    EXPECT_EQ(shown[1].caption, vrHostCaption());
    EXPECT_EQ(shown[1].style & 0xF0, MB_ICONERROR);
    EXPECT_NE(commandLine.printed.find(L"\nSheet Set file is not valid."), std::wstring::npos);
    EXPECT_EQ(shown[2].kind, VrUiResponder::Kind::Prompt);
}

TEST_F(HostTest, OpenSheetSetByNameKeepsAnUppercaseExtensionAndHandlesEmptyAndCancel) {
    ScratchDir dir;
    makeSheetSet(dir, "UPPER.DST");
    ASSERT_TRUE(loadModule());
    // Empty input is a wrong name too; Escape ends the command without a word.
    responder.queuePrompt(L"   ");
    responder.queueMessageBox(IDOK);
    responder.queuePromptCancel();
    run(L"-OPENSHEETSET");
    ASSERT_EQ(responder.shown().size(), 3u);
    EXPECT_EQ(responder.shown()[1].text, kNotFound);
    responder.clear();
    // ".DST" in capitals is an extension already: nothing is appended, so the file is found.
    responder.queuePrompt(tkFromUtf8(dir.file("UPPER.DST")));
    run(L"-OPENSHEETSET");
    EXPECT_EQ(responder.shown().size(), 1u);
    responder.clear();
    // A file that is not a sheet set is refused like a missing one.
    writeFileText(dir.file("fake.dst"), "not xml");
    responder.queuePrompt(tkFromUtf8(dir.file("fake")));
    responder.queueMessageBox(IDOK);
    responder.queuePromptCancel();
    run(L"-OPENSHEETSET");
    EXPECT_EQ(responder.shown()[1].text, kNotFound);
    // Under the message, the reason: where the file is damaged.
    EXPECT_NE(commandLine.printed.find(L"\nSheet Set file is not valid.\nthe sheet set data file"), std::wstring::npos)
        << commandLine.printed;
    EXPECT_NE(commandLine.printed.find(L"is damaged"), std::wstring::npos);
    // A value the store cannot take is a refusal with its reason, never an abort of the host.
    responder.clear();
    writeFileText(dir.file("seal.dst"), "<VornSheetSet format=\"1\"><SheetSet id=\"1\" name=\"x\"><Properties id=\"2\">"
                                        "<Property id=\"3\" name=\"Seal\" type=\"binary\" flags=\"1\" value=\"ZZ\" />"
                                        "</Properties></SheetSet></VornSheetSet>\n");
    responder.queuePrompt(tkFromUtf8(dir.file("seal")));
    responder.queueMessageBox(IDOK);
    responder.queuePromptCancel();
    run(L"-OPENSHEETSET");
    EXPECT_NE(commandLine.printed.find(L"not hexadecimal"), std::wstring::npos);
}
