// Letter case is ignored the same way under every process locale: a drafter in Istanbul and a
// nightly job under the C locale match the same names.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "host/NqSystem.h"
#include "host/PathUtil.h"

TEST(CaseCompare, IgnoresLetterCaseWhateverTheLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "tr_TR.UTF-8", "de_DE.UTF-8", "C.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale)) continue;  // not installed here
        SCOPED_TRACE(locale);
        EXPECT_TRUE(vrutSameTextNoCase(L"\u00C4u\u00DFere Ansicht", L"\u00E4U\u00DFERE ansicht"));  // Ä/ä
        EXPECT_TRUE(vrutSameTextNoCase(L"INDEX", L"index"));                                      // I/i, not İ/ı
        EXPECT_TRUE(vrutSameTextNoCase(L"\u0416\u0438\u043B\u043E\u0439", L"\u0436\u0418\u041B\u041E\u0419"));  // Cyrillic
        EXPECT_FALSE(vrutSameTextNoCase(L"A-101", L"A-1010"));
        EXPECT_EQ(vrutCompareString(L"a", L"B", true), 1);
        EXPECT_EQ(vrutCompareString(L"a", L"B", false), 3);  // exact compares keep code point order
        EXPECT_TRUE(vrutHasExtension(L"Plan.DST", L".dst"));
        // System variables and commands are found however they are typed.
        CNqSystem& sys = CNqSystem::instance();
        sys.defineVar(L"\u00DCBUNG", VrResBuf::ofShort(3));
        VrResBuf v;
        EXPECT_EQ(sys.getVar(L"\u00FCbung", v), RTNORM);
        EXPECT_EQ(sys.getVar(L"ssmpolltime", v), RTNORM);
    }
    std::setlocale(LC_ALL, before.c_str());
}

// The example sheet sets are found beside the program unless the profile names another folder.
TEST(ExamplePath, ProfileFirstThenTheExamplesThatCameWithTheProgram) {
    CNqSystem& sys = CNqSystem::instance();
    sys.setProfileString(L"General", L"SheetSetTemplatePath", L"");
    TkString found = vrutSheetSetTemplatePath();
    EXPECT_NE(found.find(L"Sheet Set Examples"), TkString::npos);
    EXPECT_TRUE(vrutPathExists(found + L"/Architectural Metric (A1).dst")) << std::string(found.begin(), found.end());
    sys.setProfileString(L"General", L"SheetSetTemplatePath", L"/office/standards/sheet sets");
    EXPECT_EQ(vrutSheetSetTemplatePath(), L"/office/standards/sheet sets");
    sys.setProfileString(L"General", L"SheetSetTemplatePath", L"");
}
