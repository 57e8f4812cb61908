// The real module in the real host: what loading registers, what unloading takes away, and the
// values the module supplies.
#include <QWidget>

#include "drawings/SheetSetLock.h"
#include "host/CommandStack.h"
#include "host/Graphics.h"
#include "host/Documents.h"
#include "host/ModuleApi.h"
#include "host/NqSystem.h"
#include "tests/support/HostFixture.h"
#include "tests/support/OtherProcess.h"
#include "toolkit/common/TkFileIdentity.h"
#include "tests/support/TestFiles.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/sm/TkSmError.h"

TEST_F(HostTest, LoadRegistersAndUnloadRemovesEverything) {
    ASSERT_TRUE(loadModule());
    CNqSystem& sys = CNqSystem::instance();
    auto cmds = tkedRegCmds()->commandsOfGroup(L"VORN");
    ASSERT_EQ(cmds.size(), 5u);
    const std::pair<const wchar_t*, uint32_t> expected[] = {{L"SHEETSET", 0x02000010}, {L"SHEETSETHIDE", 0x00000011},
                                                            {L"NEWSHEETSET", 0x02000010}, {L"OPENSHEETSET", 0x02000010},
                                                            {L"-OPENSHEETSET", 0x02000000}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(cmds[i]->globalName, expected[i].first);
        EXPECT_EQ(cmds[i]->localName, expected[i].first);  // the English keyword catalog keeps them
        EXPECT_EQ(cmds[i]->flags, expected[i].second);
        EXPECT_EQ(cmds[i]->resource, L"sheetsetres");
    }
    EXPECT_TRUE(sys.hasFunction(L"key_HasSheetSet"));
    EXPECT_TRUE(sys.hasFunction(L"key_ImportLayoutsDlgFun"));
    EXPECT_TRUE(sys.hasGetter(L"SSFOUND"));
    VrResBuf v;
    ASSERT_EQ(sys.getVar(L"SSMSTATE", v), RTNORM);
    EXPECT_EQ(v.type, VrResBuf::Short);
    EXPECT_EQ(v.integer, 0);  // the palette starts hidden
    // No sheet set is open, so there is none to edit.
    EXPECT_EQ(std::get<bool>(sys.callFunction(L"key_HasSheetSet")), false);

    // While the palette is being destroyed nothing can read it through the variables any more.
    ASSERT_EQ(sys.palettes().size(), 1u);
    bool gettersGoneFirst = false;
    QObject::connect(sys.palettes().front(), &QObject::destroyed,
                     [&] { gettersGoneFirst = !sys.hasGetter(L"SSMSTATE") && !sys.hasGetter(L"SSFOUND"); });
    ASSERT_TRUE(VrModuleLoader::instance().unload(SHEETSET_VRX));
    EXPECT_TRUE(gettersGoneFirst);
    EXPECT_TRUE(tkedRegCmds()->commandsOfGroup(L"VORN").empty());
    EXPECT_FALSE(sys.hasFunction(L"key_HasSheetSet"));
    EXPECT_FALSE(sys.hasFunction(L"key_ImportLayoutsDlgFun"));
    EXPECT_FALSE(sys.hasGetter(L"SSFOUND"));
    EXPECT_FALSE(sys.hasGetter(L"SSMSTATE"));
    // Loading again works as the first time.
    ASSERT_TRUE(loadModule());
    EXPECT_EQ(tkedRegCmds()->commandsOfGroup(L"VORN").size(), 5u);
}

TEST_F(HostTest, SsFoundReportsTheStampOnlyWithSsLocate) {
    ScratchDir dir;
    auto db = makeThreeSheetDrawing();
    uint64_t stamp = db->getOrAddDictionary(db->namedObjectsDictionary(), "VrSheetSetData");
    db->setXrecord(stamp, "ShSetFileName", {{1, "/projects/Riverside/Riverside.dst"}});
    ASSERT_TRUE(db->saveAs(dir.file("stamped.dwg"), kTkDbVerR2010).ok());
    auto plain = makeThreeSheetDrawing();
    ASSERT_TRUE(plain->saveAs(dir.file("plain.dwg"), kTkDbVerR2010).ok());
    ASSERT_TRUE(loadModule());
    CNqSystem& sys = CNqSystem::instance();
    VrResBuf v;
    sys.getVar(L"SSFOUND", v);
    EXPECT_EQ(v.text, L"");  // no drawing open
    ASSERT_TRUE(vornOpenFile(tkFromUtf8(dir.file("stamped.dwg")), 12));
    ASSERT_EQ(vredGetVar(L"SSFOUND", v), RTNORM);
    EXPECT_EQ(v.type, VrResBuf::String);
    EXPECT_EQ(v.text, L"/projects/Riverside/Riverside.dst");
    ASSERT_EQ(sys.setVar(L"SSLOCATE", L"0"), RTNORM);
    vredGetVar(L"SSFOUND", v);
    EXPECT_EQ(v.text, L"");
    sys.setVar(L"SSLOCATE", L"1");
    ASSERT_TRUE(vornOpenFile(tkFromUtf8(dir.file("plain.dwg")), 12));
    vredGetVar(L"SSFOUND", v);
    EXPECT_EQ(v.text, L"");
    EXPECT_EQ(sys.setVar(L"SSFOUND", L"x"), RTREJ);  // supplied by the module: read only
}

TEST_F(HostTest, GraphicsManagerDrawsThumbnailsOfOpenDrawings) {
    ASSERT_NE(vrgsGetGsManager(), nullptr);  // a GUI application is running
    auto db = makeThreeSheetDrawing();
    ASSERT_TRUE(db->setCurrentLayout("Sheet A").ok());
    QImage thumb = vruiGetThumbnail(*db, 128, 84);
    ASSERT_EQ(thumb.size(), QSize(128, 84));
    int dark = 0;
    for (int y = 0; y < thumb.height(); ++y)
        for (int x = 0; x < thumb.width(); ++x) dark += thumb.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(dark, 20);  // the circle of "Sheet A"
    EXPECT_TRUE(vrgsGetGsManager()->renderLayout(*db, "Nope", 64, 42).isNull());
    EXPECT_EQ(nqdbEvaluateFields(db.get(), 16, false), 0);
}

TEST_F(HostTest, PaletteShowsHidesAndAnswersWhetherTheSetCanBeEdited) {
    ScratchDir dir;
    std::string dst = dir.file("Riverside.dst");
    writeFileText(dst, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VornSheetSet format=\"1\">\n"
                       "  <SheetSet id=\"1\" name=\"Riverside Library\" />\n</VornSheetSet>\n");
    auto db = makeThreeSheetDrawing();
    ASSERT_TRUE(db->saveAs(dir.file("plan.dwg"), kTkDbVerR2010).ok());
    ASSERT_TRUE(loadModule());
    CNqSystem& sys = CNqSystem::instance();
    auto ssmState = [&] {
        VrResBuf v;
        sys.getVar(L"SSMSTATE", v);
        return v.integer;
    };
    auto run = [](const wchar_t* name) { tkedRegCmds()->lookup(name)->function(); };
    run(L"SHEETSET");
    EXPECT_EQ(ssmState(), 1);
    run(L"SHEETSETHIDE");
    EXPECT_EQ(ssmState(), 0);
    run(L"SHEETSETHIDE");  // hidden already: nothing changes
    EXPECT_EQ(ssmState(), 0);

    // The host hands sheet set files to the palette, which shows itself with the set.
    ASSERT_TRUE(vornOpenFile(tkFromUtf8(dst), 0));
    EXPECT_EQ(ssmState(), 1);
    EXPECT_FALSE(std::get<bool>(sys.callFunction(L"key_HasSheetSet")));  // no titled drawing open
    ASSERT_TRUE(vornOpenFile(tkFromUtf8(dir.file("plan.dwg")), 12));
    EXPECT_TRUE(std::get<bool>(sys.callFunction(L"key_HasSheetSet")));
    {
        // A colleague holds the set's lock file.
        writeFileText(dir.file("Riverside.dbl"), "[UserInfo]\nUserName=mchen\nMachine=cad-07\n");
        FileHold colleague;
        ASSERT_TRUE(colleague.hold(CSheetSetLock::lockFileName(tkFromUtf8(dst))));
        EXPECT_FALSE(std::get<bool>(sys.callFunction(L"key_HasSheetSet")));
        EXPECT_TRUE(colleague.isHeld());
    }
    EXPECT_TRUE(std::get<bool>(sys.callFunction(L"key_HasSheetSet")));  // a stale lock file blocks nobody
    EXPECT_FALSE(vornOpenFile(tkFromUtf8(dir.file("plan.dwg")) + L".dst", 0));
    // Unloading with a set open and the palette shown takes everything down cleanly.
    ASSERT_TRUE(VrModuleLoader::instance().unload(SHEETSET_VRX));
    EXPECT_EQ(sys.findService(L"CNqSheetSetMgr"), nullptr);
    EXPECT_EQ(sys.findService(L"CDwgCache"), nullptr);
    EXPECT_TRUE(sys.palettes().empty());
}

// A drawing open for editing is held; a save replaces the file by rename, and the host takes its
// hold again on the new file, so a colleague still finds it in use.
TEST_F(HostTest, SavingAnOpenDrawingKeepsItHeld) {
    ScratchDir dir;
    auto db = makeThreeSheetDrawing();
    const std::string path = dir.file("plan.dwg");
    ASSERT_TRUE(db->saveAs(path, kTkDbVerR2010).ok());
    auto lockedForOthers = [&] {
        OtherProcess asker([&] { return isDrawingLocked(tkFromUtf8(path)) ? std::make_shared<int>(1) : nullptr; });
        return asker.took();
    };
    ASSERT_TRUE(vornOpenFile(tkFromUtf8(path), 12));
    VrApDocument* doc = vrDocManagerPtr()->curDocument();
    ASSERT_FALSE(doc->isReadOnly());
    EXPECT_TRUE(lockedForOthers());
    TkFileIdentity before = TkFileIdentity::ofPath(path);
    std::string error;
    ASSERT_TRUE(vrDocManagerPtr()->saveDocument(doc, &error)) << error;
    EXPECT_NE(TkFileIdentity::ofPath(path).inode, before.inode);  // a new file
    EXPECT_TRUE(lockedForOthers());
    vrDocManagerPtr()->closeDocument(doc);
    EXPECT_FALSE(lockedForOthers());
}
