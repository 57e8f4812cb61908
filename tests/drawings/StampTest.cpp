// The sheet set stamp: written, replaced, read back after a save, and repointed after a move only
// when both new paths exist.
#include <gtest/gtest.h>

#include <regex>

#include "drawings/SheetSetStamp.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

std::vector<TkDbValue> entry(const TkDbDatabase& db, const char* name) {
    auto root = db.dictionary(db.namedObjectsDictionary());
    auto dict = db.dictionary(root->get("VrSheetSetData"));
    auto x = db.xrecord(dict->get(name));
    return x ? x->values() : std::vector<TkDbValue>{};
}

TEST(SheetSetStamp, WrittenReplacedAndReadBackAfterSave) {
    auto db = makeThreeSheetDrawing();
    EXPECT_EQ(readStampSheetSetPath(db.get()), L"");
    EXPECT_EQ(readStampSheetSetPath(nullptr), L"");
    ASSERT_TRUE(writeStamp(db.get(), L"/p/Old Set.dst", L"/p/a.dwg", L"Sheet A", L"2F"));
    ASSERT_TRUE(writeStamp(db.get(), L"/p/Ünïcode Set.dst", L"/p/a.dwg", L"Sheet B", L"3A"));
    auto back = saveAndReload(*db);
    EXPECT_EQ(readStampSheetSetPath(back.get()), L"/p/Ünïcode Set.dst");
    EXPECT_EQ(readStampDrawingPath(back.get()), L"/p/a.dwg");
    auto dict = back->dictionary(back->dictionary(back->namedObjectsDictionary())->get("VrSheetSetData"));
    ASSERT_TRUE(dict);
    EXPECT_EQ(dict->entries().size(), 8u);  // replaced, not added twice
    EXPECT_EQ(entry(*back, "ShSetRelativeName")[0].text, "Ünïcode Set.dst");
    EXPECT_EQ(entry(*back, "LayoutName")[0].text, "Sheet B");
    EXPECT_EQ(entry(*back, "LayoutHandle")[0].text, "3A");
    ASSERT_EQ(entry(*back, "UpdateCount").size(), 1u);
    EXPECT_EQ(entry(*back, "UpdateCount")[0].code, 90);
    EXPECT_EQ(entry(*back, "UpdateCount")[0].text, "1");
    EXPECT_EQ(entry(*back, "ShSetVersion")[0].text, "2");
    EXPECT_TRUE(std::regex_match(entry(*back, "UpdateTime")[0].text,
                                 std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\.\d{3})")));
    EXPECT_EQ(stampTimeText(42), L"1970/01/01 00:00:00.042");
    EXPECT_EQ(stampTimeText(1709647629042), L"2024/03/05 14:07:09.042");
}

TEST(SheetSetStamp, EntriesWithoutTextReadAsNoSheetSet) {
    auto db = makeThreeSheetDrawing();
    uint64_t dict = db->getOrAddDictionary(db->namedObjectsDictionary(), "VrSheetSetData");
    db->setXrecord(dict, "LayoutName", {{1, "Sheet A"}});
    EXPECT_EQ(readStampSheetSetPath(db.get()), L"");  // no "ShSetFileName" entry
    db->setXrecord(dict, "ShSetFileName", {{90, "7"}, {70, "1"}});
    EXPECT_EQ(readStampSheetSetPath(db.get()), L"");  // integers only
    db->setXrecord(dict, "ShSetFileName", {{90, "7"}, {1, "/x.dst"}, {1, "/y.dst"}});
    EXPECT_EQ(readStampSheetSetPath(db.get()), L"/x.dst");
}

TEST(SheetSetStamp, UpdatePathsOnlyToExistingFilesAndNeverCreates) {
    ScratchDir dir;
    std::string dst = dir.file("Set.dst"), dwg = dir.file("a.dwg");
    writeFileText(dst, "x");
    writeFileText(dwg, "x");
    auto unstamped = makeThreeSheetDrawing();
    EXPECT_FALSE(updateStampPaths(unstamped.get(), true, W(dwg), W(dst)));
    EXPECT_EQ(unstamped->dictionary(unstamped->namedObjectsDictionary())->get("VrSheetSetData"), 0u);

    auto db = makeThreeSheetDrawing();
    writeStamp(db.get(), L"/old/Set.dst", L"/old/a.dwg", L"Sheet A", L"2F");
    EXPECT_FALSE(updateStampPaths(db.get(), false, W(dwg), W(dst)));  // read-only drawing
    EXPECT_FALSE(updateStampPaths(db.get(), true, W(dwg), W(dir.file("gone.dst"))));
    EXPECT_EQ(readStampSheetSetPath(db.get()), L"/old/Set.dst");
    EXPECT_TRUE(updateStampPaths(db.get(), true, W(dwg), W(dst)));
    EXPECT_EQ(readStampSheetSetPath(db.get()), W(dst));
    EXPECT_EQ(readStampDrawingPath(db.get()), W(dwg));

    // A stored path that differs only in letter case is left as it is.
    std::string upper = dst;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    writeStamp(db.get(), W(upper), W(dwg), L"Sheet A", L"2F");
    EXPECT_TRUE(updateStampPaths(db.get(), true, W(dwg), W(dst)));
    EXPECT_EQ(readStampSheetSetPath(db.get()), W(upper));
}

}  // namespace
