// The drawing cache with real files: changed files, the size limit, path spellings, previews, purge.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>

#include "drawings/DwgCache.h"
#include "host/Documents.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {
const CSheetImpl* sheet(int n) { return reinterpret_cast<const CSheetImpl*>(static_cast<uintptr_t>(0x1000 + n)); }

std::wstring saved(const ScratchDir& dir, const std::string& name) {
    auto db = makeThreeSheetDrawing();
    EXPECT_TRUE(db->saveAs(dir.file(name), kTkDbVerR2010).ok());
    return tkFromUtf8(dir.file(name));
}

void touch(const std::wstring& path, time_t when) {
    struct utimbuf t {when, when};
    ::utime(tkToUtf8(path).c_str(), &t);
}
}  // namespace

TEST(DwgCache, ChangedDrawingLosesPreviewsAndRegistrations) {
    ScratchDir dir;
    std::wstring path = saved(dir, "A-101.dwg");
    touch(path, 1700000000);
    vrDocManagerPtr()->closeAll();
    CDwgCache cache;
    DwgCacheEntry* e = cache.getEntry(sheet(1), L"Sheet A", path);
    ASSERT_TRUE(e->readable);
    EXPECT_EQ(e->database, nullptr);  // its facts are kept, not the drawing
    EXPECT_EQ(e->sheetSizes.count(L"Sheet A"), 1u);
    EXPECT_EQ(e->sheetSizes.count(L"Model"), 0u);
    EXPECT_GT(e->fileSize, 0u);
    cache.getEntry(sheet(2), L"Sheet B", path);
    EXPECT_EQ(cache.getEntry(sheet(1), L"Sheet A", path), e);  // same entry, read once
    EXPECT_EQ(e->layouts.size(), 2u);
    // No document open in the host: no thumbnail, and nothing is kept for the next try.
    EXPECT_EQ(cache.getPreview(e, L"Sheet A", 0), nullptr);
    EXPECT_EQ(cache.getPreview(e, L"Unregistered", 0), nullptr);

    touch(path, 1700000100);
    e = cache.getEntry(sheet(1), L"Sheet A", path);
    ASSERT_EQ(e->layouts.size(), 1u);  // the other sheet re-registers on its next request
    EXPECT_EQ(e->layouts.count(L"Sheet A"), 1u);
    EXPECT_EQ(e->lastWriteTime, 1700000100 + 0);

    // Purge keeps what is used, and drops drawings nobody uses any more.
    std::wstring other = saved(dir, "A-102.dwg");
    cache.getEntry(sheet(3), L"Sheet B", other);
    cache.unregister(sheet(3));
    cache.purge();
    EXPECT_NE(cache.findEntry(path), nullptr);
    EXPECT_EQ(cache.findEntry(other), nullptr);
}

TEST(DwgCache, SizeLimitAndPathSpellings) {
    ScratchDir dir;
    std::wstring path = saved(dir, "big.dwg");
    std::string text = readFileText(tkToUtf8(path));
    // Padded with blank lines after EOF to exactly one byte under and at the limit.
    for (uint64_t size : {kDwgReadSizeLimit - 1, kDwgReadSizeLimit}) {
        std::string padded = text + std::string(size - text.size(), '\n');
        writeFileText(tkToUtf8(path), padded);
        CDwgCache cache;
        DwgCacheEntry* e = cache.getEntry(sheet(1), L"Sheet A", path);
        EXPECT_EQ(e->fileSize, size);
        EXPECT_EQ(e->readable, size < kDwgReadSizeLimit) << size;
        // Operations read without the limit.
        DwgReader r;
        r.load(path, false);
        EXPECT_NE(r.database, nullptr);
    }
    CDwgCache cache;
    std::wstring other = tkFromUtf8(dir.path().string() + "//big.dwg");
    cache.getEntry(sheet(1), L"Sheet A", path);
    cache.getEntry(sheet(1), L"Sheet A", other);
    std::wstring upper = tkFromUtf8(dir.file("BIG.dwg"));
    DwgCacheEntry* missing = cache.getEntry(sheet(2), L"Sheet A", upper);
    EXPECT_EQ(cache.size(), 3u);  // every spelling is an entry of its own
    EXPECT_FALSE(missing->readable);
    EXPECT_EQ(missing->fileSize, 0u);
}

TEST(DwgReader, ListsLayoutsBlocksAndPageSetupsAsTheOperationsNeedThem) {
    ScratchDir dir;
    auto db = makeThreeSheetDrawing();
    db->addBlock("DOOR");
    db->addBlock("*U7");
    uint64_t xref = db->addBlock("SITE");
    const_cast<TkDbRecord*>(db->blockBegin(xref))->set(70, "4", "AcDbBlockBegin");  // an external reference
    ASSERT_TRUE(db->saveAs(dir.file("d.dwg"), kTkDbVerR2010).ok());
    DwgReader r;
    r.load(tkFromUtf8(dir.file("d.dwg")), false);
    ASSERT_NE(r.database, nullptr);
    std::vector<std::wstring> names;
    std::vector<uint32_t> handles;
    EXPECT_EQ(r.listPaperLayouts(true, names, handles), 2);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Sheet A", L"Sheet B"}));
    EXPECT_EQ(handles[0], static_cast<uint32_t>(r.database->findLayout("Sheet A")->handle()));
    EXPECT_EQ(r.listPaperLayouts(false, names, handles), 5);  // appends
    names.clear();
    handles.clear();
    EXPECT_EQ(r.listBlocks(names, handles), 1);
    EXPECT_EQ(names[0], L"DOOR");
    EXPECT_FALSE(r.findLayout(L"Model"));
    EXPECT_FALSE(r.findLayout(L"sheet a"));
    EXPECT_TRUE(r.findLayout(L"Sheet C"));
    DwgReader none;
    none.load(tkFromUtf8(dir.file("missing.dwg")), true);
    EXPECT_EQ(none.database, nullptr);
    EXPECT_EQ(none.lastError, 0u);  // not read at all: the size limit skips an empty size
    none.load(tkFromUtf8(dir.file("missing.dwg")), false);
    EXPECT_EQ(none.lastError, static_cast<uint32_t>(eTkFileNotFound));
    EXPECT_EQ(none.getLastEditedBy(), L"");
}

// The cache reads drawings for a listing only (no handle index, no entities): what it shows must be
// what a full read gives, in every version and with text beyond ASCII.
TEST(DwgCache, ListingReadGivesTheFactsOfAFullRead) {
    ScratchDir dir;
    auto db = makeThreeSheetDrawing();
    ASSERT_TRUE(db->renameLayout("Sheet B", "Grundri\xC3\x9F \xE2\x80\x93 Erdgescho\xC3\x9F").ok());
    for (int version : {kTkDbVerR2000, kTkDbVerR2004, kTkDbVerR2010, kTkDbVerR2018}) {
        const std::string path = dir.file("v" + std::to_string(version) + ".dwg");
        TkDbSaveOptions opt;
        opt.lastSavedBy = "m\xC3\xBCller";
        ASSERT_TRUE(db->saveAs(path, version, opt).ok());
        DwgCacheEntry facts;
        facts.loadFacts(tkFromUtf8(path));
        DwgReader full;
        full.load(tkFromUtf8(path), true);
        ASSERT_TRUE(facts.readable && full.database) << version;
        EXPECT_EQ(facts.lastEditedBy, full.getLastEditedBy()) << version;
        std::vector<std::wstring> names;
        std::vector<uint32_t> handles;
        full.listPaperLayouts(false, names, handles);
        ASSERT_EQ(facts.sheetSizes.size(), names.size()) << version;
        for (const std::wstring& n : names) {
            auto layout = full.findLayout(n);
            ASSERT_TRUE(layout && facts.sheetSizes.count(n)) << version;
            EXPECT_DOUBLE_EQ(facts.sheetSizes[n].first, layout->limMax().x - layout->limMin().x);
            EXPECT_DOUBLE_EQ(facts.sheetSizes[n].second, layout->limMax().y - layout->limMin().y);
        }
    }
    writeFileText(dir.file("cut.dwg"), readFileText(dir.file("v29.dwg")).substr(0, 5000));
    DwgCacheEntry cut;
    cut.loadFacts(tkFromUtf8(dir.file("cut.dwg")));
    EXPECT_FALSE(cut.readable);  // refused as a full read refuses it
    EXPECT_NE(cut.lastError, 0u);
}
