// The resave report log: one per set and day, UTF-16LE with one byte order mark, appended to.
#include <gtest/gtest.h>

#include <QDate>

#include "model/ResaveSheets.h"
#include "model/SheetSetMgrImpl.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

std::string littleEndian(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

}  // namespace

TEST(ResaveLog, AppendsUtf16WithOneByteOrderMarkAndSurrogatePairs) {
    ScratchDir dir;
    const std::string log = dir.file("Set_Resave All Sheets Report.log");
    ASSERT_TRUE(appendResaveLog(tkFromUtf8(log), {{L"A-1 - 平面 \U0001D538", L"Drawing file not found", L"/p/a.dwg"}}));
    ASSERT_TRUE(appendResaveLog(tkFromUtf8(log), {{L"A-2 - Roof", L"Drawing needs recovery", L"/p/b.dwg"}}));
    const std::string first = littleEndian(u"Sheet:  A-1 - 平面 \U0001D538\r\nLocation:  /p/a.dwg\r\nStatus:  Drawing file not found\r\n\r\n");
    const std::string second = littleEndian(u"Sheet:  A-2 - Roof\r\nLocation:  /p/b.dwg\r\nStatus:  Drawing needs recovery\r\n\r\n");
    EXPECT_EQ(readFileText(log), "\xFF\xFE" + first + second);
    EXPECT_FALSE(appendResaveLog(tkFromUtf8(dir.file("gone/x.log")), {{L"a", L"b", L"c"}}));
}

TEST(ResaveLog, IsNamedAfterTheSetAndTodayBesideTheSet) {
    ScratchDir dir;
    TkSmPtr<TkSmSheetSetMgr> toolkit = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    CSheetSetImpl set(toolkit->createDatabase(tkFromUtf8(dir.file("Riverside.dst")), L"", false));
    set.setName(L"Riverside Library");
    const std::string today = QDate::currentDate().toString("yyyy-MM-dd").toStdString();
    EXPECT_EQ(resaveLogPath(&set), tkFromUtf8(dir.file("Riverside Library_Resave All Sheets Report_" + today + ".log")));
}
