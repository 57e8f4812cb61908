// The properties core behind the three properties dialogs and `drawkit prop`, and the new sheet
// core behind the New Sheet dialog and `drawkit new-sheet`: what lands on disk, what is refused
// whole, and what is taken back when the set cannot be saved.
#include <gtest/gtest.h>

#include <filesystem>

#include "actions/NewSheet.h"
#include "actions/Properties.h"
#include "drawings/DwgReader.h"
#include "model/ItemLookup.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace fs = std::filesystem;

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

// Riverside / Architecture / Plans: A-101;  Structure.  New sheets go to sheets/ from the
// template's "Sheet A"; the set defines a sheet property "Drawn by".
TkString makeSet(const ScratchDir& dir) {
    const std::string tmpl = dir.file("Sheet.dwt");
    EXPECT_TRUE(makeThreeSheetDrawing()->saveAs(tmpl, kTkDbVerR2010).ok());
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    const std::string path = dir.file("Riverside.dst");
    CSheetSetImpl set(mgr->createDatabase(W(path), L"", false));
    set.setName(L"Riverside");
    set.getCustomProperties()->setAll({{L"Drawn by", L"", false}});
    CSubset* arch = set.addNewSubset(-1, L"Architecture");
    arch->addNewSubset(-1, L"Plans")->addNewSheet(-1, L"Ground Floor")->setNumber(L"A-101");
    set.addNewSubset(-1, L"Structure");
    fs::create_directories(dir.file("sheets"));
    set.setNewSheetLocation(W(dir.file("sheets")).c_str(), true);
    set.setTemplate(L"Sheet A", L"", W(tmpl).c_str(), true);
    EXPECT_TRUE(set.save());
    return W(path);
}

struct OnDisk {
    CSheetSetMgrImpl mgr;
    CSheetSetImpl* set = nullptr;
    explicit OnDisk(const TkString& path) {
        if (mgr.openSheetSet(path.c_str())) set = mgr.sheetSetImpl(0);
    }
    CComponent* item(const TkString& typed) {
        TkString error;
        return set ? findItem(set, typed, error) : nullptr;
    }
};

}  // namespace

TEST(PropertiesCore, InheritedSettingsReachNestedSubsetsOnlyWhenAskedAndABadValueRefusesAll) {
    ScratchDir dir;
    const TkString path = makeSet(dir);
    // Without the nested flag the subset alone stops prompting for a template; with it, Plans too.
    for (bool nested : {false, true}) {
        const ActionResult r = runAction(path, 0, [&](EditSession& s) {
            return setProperties(s, {ItemRef::named(L"Architecture"), {{L"Prompt for template", nested ? L"no" : L"yes"}}, nested, {}, {}, {}});
        });
        ASSERT_EQ(r.status, ActionResult::Done) << r.message;
        OnDisk d(path);
        EXPECT_EQ(static_cast<CSubset*>(d.item(L"Architecture"))->getPromptForTemplate(), !nested);
        EXPECT_FALSE(static_cast<CSubset*>(d.item(L"Architecture/Plans"))->getPromptForTemplate());
    }
    ActionResult r;

    // A name that is fine and a publish flag that is not: neither lands.
    r = runAction(path, 0, [&](EditSession& s) {
        return setProperties(s, {ItemRef::named(L"Structure"), {{L"Name", L"Engineering"}, {L"Publish", L"maybe"}}, false, {}, {}, {}});
    });
    EXPECT_EQ(r.status, ActionResult::Refused);
    EXPECT_NE(OnDisk(path).item(L"Structure"), nullptr);

    // The set's own properties by name land as its dialog writes them: a new custom property is
    // the set's, and the sheets keep the definition they had.
    r = runAction(path, 0, [&](EditSession& s) { return setProperties(s, {{}, {{L"Name", L"Harbour"}, {L"Client", L"City"}}, false, {}, {}, {}}); });
    ASSERT_EQ(r.status, ActionResult::Done) << r.message;
    OnDisk d(path);
    EXPECT_EQ(d.set->getName(), L"Harbour");
    std::vector<CustomProperty> props;
    d.set->getCustomProperties()->getAll(props);
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[1].name, L"Client");
    EXPECT_TRUE(props[1].ownedBySheetSet);
    props.clear();
    static_cast<CSheet*>(d.item(L"A-101"))->getCustomProperties()->getAll(props);
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].name, L"Drawn by");
}

TEST(NewSheetCore, ABatchStopsAtItsFirstBadSheetAndAnUnsavedSheetLeavesNoDrawing) {
    ScratchDir dir;
    const TkString path = makeSet(dir);
    NewSheetRequest first;
    first.subset = ItemRef::named(L"Architecture/Plans");
    first.after = ItemRef::named(L"A-101");
    first.number = L" A-102 ";
    first.title = L"First Floor";
    first.values = {{L"Drawn by", L"AK"}, {L"Revision", L"B"}};
    NewSheetRequest twin = first;  // the same sheet again: refused
    twin.after = {};
    NewSheetRequest never = first;
    never.number = L"A-103";
    std::vector<NewSheetMade> made;
    ActionResult r = runAction(path, 0, [&](EditSession& s) { return newSheets(s, {first, twin, never}, &made); });
    ASSERT_EQ(r.status, ActionResult::Done) << r.message;
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(r.hasProblems());  // the twin is named
    EXPECT_EQ(made[0].drawingPath, W(dir.file("sheets/A-102 First Floor.dwg")));
    {
        OnDisk d(path);
        auto* sheet = dynamic_cast<CSheet*>(d.item(L"A-102"));
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->getRevisionNumber(), L"B");
        EXPECT_EQ(sheet->getLayoutName(), L"A-102 First Floor");
        std::vector<CustomProperty> props;
        sheet->getCustomProperties()->getAll(props);
        ASSERT_EQ(props.size(), 1u);
        EXPECT_EQ(props[0].value, L"AK");
        EXPECT_EQ(static_cast<CSubset*>(sheet->getParent())->getAt(1), sheet);  // after A-101
        // The drawing holds the one layout, named as the sheet, and knows its set.
        DwgReader reader;
        reader.load(made[0].drawingPath, false);
        std::vector<TkString> names;
        std::vector<uint32_t> handles;
        reader.listPaperLayouts(false, names, handles);
        EXPECT_EQ(names, std::vector<TkString>{L"A-102 First Floor"});
    }
    EXPECT_FALSE(fs::exists(dir.file("sheets/A-103 First Floor.dwg")));

    // An unknown property refuses before any drawing is written.
    NewSheetRequest typo = never;
    typo.values = {{L"Drawn bye", L"AK"}};
    r = runAction(path, 0, [&](EditSession& s) { return newSheets(s, {typo}); });
    EXPECT_EQ(r.status, ActionResult::Refused);
    EXPECT_FALSE(fs::exists(dir.file("sheets/A-103 First Floor.dwg")));

    // The set cannot be written (a folder stands where it goes): the new drawing belongs to no
    // sheet on disk and is taken back.
    r = runAction(path, 0, [&](EditSession& s) {
        fs::remove(tkToUtf8(path));
        fs::create_directories(tkToUtf8(path) + "/in-the-way");
        return newSheets(s, {never});
    });
    EXPECT_EQ(r.status, ActionResult::SaveFailed);
    EXPECT_FALSE(fs::exists(dir.file("sheets/A-103 First Floor.dwg")));
    EXPECT_TRUE(fs::exists(dir.file("sheets/A-102 First Floor.dwg")));
}
