// The cores behind drag and drop and `drawkit move`, the new subset dialog and `drawkit
// new-subset`: items as scripts type them, all or nothing, and the set on disk shows the result.
#include <gtest/gtest.h>

#include "actions/MoveItems.h"
#include "actions/NewSubset.h"
#include "model/ItemLookup.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

// Riverside / Architecture (a template) / Plans;  Structure: S-101, S-102.
TkString makeSet(const ScratchDir& dir) {
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    const std::string path = dir.file("Riverside.dst");
    CSheetSetImpl set(mgr->createDatabase(W(path), L"", false));
    set.setName(L"Riverside");
    CSubset* arch = set.addNewSubset(-1, L"Architecture");
    arch->setTemplate(L"A1", L"2F", L"/templates/Vorn Sheet.dwt", false);
    arch->setIncludeForPublish(false, false);
    CSubset* plans = arch->addNewSubset(-1, L"Plans");
    plans->addNewSheet(-1, L"Ground Floor")->setNumber(L"A-101");
    plans->addNewSheet(-1, L"First Floor")->setNumber(L"A-102");
    CSubset* structure = set.addNewSubset(-1, L"Structure");
    structure->addNewSheet(-1, L"Foundations")->setNumber(L"S-101");
    structure->addNewSheet(-1, L"Copy")->setNumber(L"S-102");
    EXPECT_TRUE(set.save());
    return W(path);
}

// "A-101 [Plans]": a subset's children as the file holds them now.
TkString onDisk(const TkString& path, const TkString& subset) {
    CSheetSetMgrImpl mgr;
    if (!mgr.openSheetSet(path.c_str())) return L"<unreadable>";
    CSubset* s = findSubsetByPath(mgr.getSheetSet(0), subset);
    if (!s) return L"<none>";
    TkString out;
    for (int i = 0; i < s->getCount(); ++i) {
        CComponent* c = s->getAt(i);
        out += (out.empty() ? L"" : L" ") + (c->getType() == kComponentSheet ? static_cast<CSheet*>(c)->getNumber()
                                                                              : L"[" + static_cast<CSubset*>(c)->getName() + L"]");
    }
    return out;
}

std::vector<TkString> split(const TkString& path) {
    std::vector<TkString> names;
    for (size_t start = 0; start <= path.size();) {
        const size_t slash = std::min(path.find(L'/', start), path.size());
        if (slash > start) names.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return names;
}

}  // namespace

TEST(Cores, NewSubsetsAreMadeWithTheirParentsSettingsOrNotAtAll) {
    ScratchDir dir;
    const TkString path = makeSet(dir);
    auto add = [&](const TkString& p, PropertyValues values = {}) {
        return runAction(path, 0, [&](EditSession& s) { return newSubset(s, {{}, split(p), {}, values}); });
    };
    // Missing levels are made, each with its parent's settings, the publish flag too.
    ASSERT_EQ(add(L"Architecture/Details/Stairs").status, ActionResult::Done);
    {
        CSheetSetMgrImpl mgr;
        ASSERT_TRUE(mgr.openSheetSet(path.c_str()));
        CSubset* stairs = findSubsetByPath(mgr.getSheetSet(0), L"Architecture/Details/Stairs");
        ASSERT_NE(stairs, nullptr);
        EXPECT_EQ(stairs->getTemplateFileName(), L"/templates/Vorn Sheet.dwt");
        EXPECT_FALSE(stairs->getIncludeForPublish());
    }
    ActionResult again = add(L"Architecture/Details/Stairs");
    EXPECT_EQ(again.status, ActionResult::Refused);
    EXPECT_EQ(again.exitCode(), 1);
    // A bad name deep in the path, or a bad setting: nothing is made, not even the good levels.
    for (const TkString& bad : {TkString(L"Landscape/Trees:Shrubs"), TkString(L"Landscape/   "), L"Landscape/" + TkString(65, L'x'), TkString(L"//")})
        EXPECT_EQ(add(bad).status, ActionResult::Refused) << tkToUtf8(bad);
    EXPECT_EQ(add(L"Landscape/Trees", {{L"Publish", L"maybe"}}).status, ActionResult::Refused);
    EXPECT_EQ(onDisk(path, L"Landscape"), L"<none>");
    EXPECT_EQ(add(L"Landscape/Trees", {{L"Publish", L"no"}}).status, ActionResult::Done);
    EXPECT_EQ(onDisk(path, L"Landscape"), L"[Trees]");
}

TEST(Cores, MovesGoLastOrAfterANamedSiblingNeverIntoThemselves) {
    ScratchDir dir;
    const TkString path = makeSet(dir);
    auto move = [&](const TkString& item, const TkString& to, const TkString& after = {}) {
        MoveRequest r{{ItemRef::named(item)}, after.empty() ? ItemRef{} : ItemRef::named(after), ItemRef::named(to), true};
        return runAction(path, 0, [&](EditSession& s) { return moveItems(s, r); });
    };
    EXPECT_EQ(move(L"S-101", L"Architecture/Plans").status, ActionResult::Done);
    EXPECT_EQ(onDisk(path, L"Architecture/Plans"), L"A-101 A-102 S-101");
    EXPECT_EQ(move(L"S-102", L"Architecture/Plans", L"A-101").status, ActionResult::Done);
    EXPECT_EQ(onDisk(path, L"Architecture/Plans"), L"A-101 S-102 A-102 S-101");
    EXPECT_EQ(move(L"S-101", L"Architecture/Plans").status, ActionResult::NothingToDo);  // there already
    EXPECT_EQ(move(L"Architecture", L"Architecture/Plans").status, ActionResult::Refused);  // into itself
    EXPECT_EQ(move(L"A-101", L"Structure", L"A-102").status, ActionResult::Refused);        // A-102 is not in Structure
    EXPECT_EQ(move(L"A-101", L"Nowhere").status, ActionResult::Refused);
    EXPECT_EQ(move(L"", L"Structure").status, ActionResult::Refused);  // the set itself
    EXPECT_EQ(move(L"Architecture/Plans", L"").status, ActionResult::Done);
    EXPECT_EQ(onDisk(path, L""), L"[Architecture] [Structure] [Plans]");
    EXPECT_EQ(onDisk(path, L"Plans"), L"A-101 S-102 A-102 S-101");  // a subset moves with its children
    EXPECT_FALSE(CSheetSetLock::holder(path).present);
}
