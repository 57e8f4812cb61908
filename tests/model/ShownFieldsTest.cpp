// What the title blocks of each drawing show, remembered between edits: kept only while the drawing
// is the file it was seen in, and a cache file that is cut, foreign or garbage is simply not used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/ShownFields.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {
void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
}  // namespace

TEST(ShownFields, RememberedOnlyWhileTheDrawingIsUnchangedAndForTheSetAlone) {
    ScratchDir dir;
    const TkString cache = tkFromUtf8(dir.file("cache")), set = tkFromUtf8(dir.file("Set.dst"));
    const std::string a = dir.file("a.dwg"), b = dir.file("b.dwg");
    writeFile(a, "one");
    writeFile(b, "two");
    {
        ShownFieldsCache c(set, cache);
        ShownInDrawing seen{TkFileIdentity::ofPath(a), {{"Plan", {"SHEETNO", "SHEETTITLE"}}}};
        c.remember(tkFromUtf8(a), seen);
        c.remember(tkFromUtf8(b), {TkFileIdentity::ofPath(b), {{"Tab\tbed", {"SHEETNO"}}}});  // not storable: read each time
        c.remember(tkFromUtf8(dir.file("gone.dwg")), {TkFileIdentity::ofPath(dir.file("gone.dwg")), {{"X", {}}}});
        c.save();
    }
    ShownFieldsCache again(set, cache);
    ShownByDrawing now = again.current({tkFromUtf8(a), tkFromUtf8(b)});
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now.begin()->second.layouts.at("Plan"), (ShownNames{"SHEETNO", "SHEETTITLE"}));
    // Another set never sees it; a drawing written since is forgotten.
    EXPECT_TRUE(ShownFieldsCache(tkFromUtf8(dir.file("Other.dst")), cache).current({tkFromUtf8(a)}).empty());
    writeFile(a, "one, changed");
    EXPECT_TRUE(ShownFieldsCache(set, cache).current({tkFromUtf8(a)}).empty());
}

TEST(ShownFields, ACutOrGarbageCacheIsNotUsed) {
    ScratchDir dir;
    const TkString cache = tkFromUtf8(dir.file("cache")), set = tkFromUtf8(dir.file("Set.dst"));
    const std::string a = dir.file("a.dwg");
    writeFile(a, "one");
    ShownFieldsCache c(set, cache);
    c.remember(tkFromUtf8(a), {TkFileIdentity::ofPath(a), {{"Plan", {"SHEETNO"}}}});
    c.save();
    const std::string file = dir.file("cache") + "/title-blocks/" +
                             std::filesystem::directory_iterator(dir.file("cache") + "/title-blocks")->path().filename().string();
    std::ifstream in(file, std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const std::string& bad : std::vector<std::string>{std::string(), good.substr(0, 10), "vorn-shown-fields 1\nD\tx\ty\tz\tw\t" + a + "\nL\tPlan\tSHEETNO\n",
                                   "vorn-shown-fields 1\nL\tPlan\tSHEETNO\n\n\t\t\n", std::string("\0\0\xff", 3), "vorn-shown-fields 2\n" + good}) {
        writeFile(file, bad);
        EXPECT_TRUE(ShownFieldsCache(set, cache).current({tkFromUtf8(a)}).empty()) << bad;
    }
}
