// Which set a stamped drawing opens: only one that still lists the drawing as a sheet.
#include <gtest/gtest.h>

#include "model/SheetSetListsDrawing.h"
#include "model/SheetSetMgrImpl.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

TEST(SheetSetListsDrawing, OnlyADrawingAmongTheSheetsOfASetThatReads) {
    ScratchDir dir;
    const TkString setPath = tkFromUtf8(dir.file("Listed.dst"));
    const TkString nested = tkFromUtf8(dir.file("Plans/Ground.dwg"));
    {
        TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
        CSheetSetImpl set(mgr->createDatabase(setPath, L"", false));
        set.setName(L"Listed");
        CSheet* sheet = set.addNewSubset(-1, L"Plans")->addNewSheet(-1, L"Ground");
        sheet->setLayout(L"Ground", L"1F", nested.c_str());
        set.addNewSheet(-1, L"No drawing yet");
        ASSERT_TRUE(set.save());
    }
    EXPECT_TRUE(sheetSetListsDrawing(setPath, nested));  // found in a subset
    EXPECT_TRUE(sheetSetListsDrawing(setPath, tkFromUtf8(dir.file("PLANS/ground.DWG"))));
    EXPECT_FALSE(sheetSetListsDrawing(setPath, tkFromUtf8(dir.file("Plans/Other.dwg"))));
    EXPECT_FALSE(sheetSetListsDrawing(setPath, L""));  // the sheet without a drawing matches nothing
    EXPECT_FALSE(sheetSetListsDrawing(tkFromUtf8(dir.file("Gone.dst")), nested));
    writeFileText(dir.file("Broken.dst"), "<VornSheetSet format=\"1\"><SheetSet");
    EXPECT_FALSE(sheetSetListsDrawing(tkFromUtf8(dir.file("Broken.dst")), nested));
}
