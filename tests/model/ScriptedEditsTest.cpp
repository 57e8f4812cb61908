// Scripted edits address items the way scripts type them: subset paths and sheet numbers. Each
// edit either does all it says or changes nothing, and finds its items again after a reload.
#include <gtest/gtest.h>

#include "model/ItemLookup.h"
#include "model/PublishFlags.h"
#include "model/ScriptedEdits.h"
#include "actions/SheetSetEdit.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

// Riverside / Architecture / Plans: A-101, A-102;  Structure: S-101, "A-102" again (a duplicate).
std::string makeSet(const ScratchDir& dir) {
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    std::string path = dir.file("Riverside.dst");
    CSheetSetImpl set(mgr->createDatabase(W(path), L"", false));
    set.setName(L"Riverside");
    CSubset* arch = set.addNewSubset(-1, L"Architecture");
    arch->setTemplate(L"A1", L"2F", L"/templates/Vorn Sheet.dwt", false);
    CSubset* plans = arch->addNewSubset(-1, L"Plans");
    plans->addNewSheet(-1, L"Ground Floor")->setNumber(L"A-101");
    plans->addNewSheet(-1, L"First Floor")->setNumber(L"A-102");
    CSubset* structure = set.addNewSubset(-1, L"Structure");
    structure->addNewSheet(-1, L"Foundations")->setNumber(L"S-101");
    structure->addNewSheet(-1, L"Copy")->setNumber(L"S-102");
    EXPECT_TRUE(set.save());
    return path;
}

}  // namespace

TEST(ScriptedEdits, ItemsByPathAndNumber) {
    ScratchDir dir;
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(makeSet(dir)).c_str()));
    CSheetSetImpl& set = *mgr.sheetSetImpl(0);
    TkString error;
    EXPECT_EQ(findItem(&set, L"architecture/PLANS", error), findSubsetByPath(&set, L"Architecture/Plans"));  // case aside
    EXPECT_EQ(findSubsetByPath(&set, L"/"), &set);
    CComponent* a101 = findItem(&set, L"A-101", error);
    ASSERT_NE(a101, nullptr);
    EXPECT_EQ(findItem(&set, L"a-101", error), nullptr);  // numbers are exact
    EXPECT_NE(error.find(L"a-101"), TkString::npos);
    static_cast<CSheet*>(findItem(&set, L"S-102", error))->setNumber(L"A-102");
    EXPECT_EQ(findItem(&set, L"A-102", error), nullptr);
    EXPECT_NE(error.find(L"2 sheets"), TkString::npos);
    // Stable ids find the same items in a fresh read of the file.
    uint64_t id = componentId(a101);
    ASSERT_TRUE(set.save());
    ASSERT_TRUE(mgr.reloadSheetSet(0));
    CComponent* again = findComponentById(mgr.sheetSetImpl(0), id);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(static_cast<CSheet*>(again)->getNumber(), L"A-101");
    EXPECT_EQ(findComponentById(mgr.sheetSetImpl(0), componentId(mgr.sheetSetImpl(0))), mgr.sheetSetImpl(0));
}

TEST(ScriptedEdits, CustomPropertiesDoAllOrNothing) {
    ScratchDir dir;
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(makeSet(dir)).c_str()));
    CSheetSetImpl& set = *mgr.sheetSetImpl(0);
    TkString error;

    // Custom properties: existing ones keep place and owner, new ones are the set's or the sheet's.
    ASSERT_TRUE(setItemProperties(set, L"", {{L"Client", L"City"}, {L"Checked by", L"MC"}}, error));
    ASSERT_TRUE(setItemProperties(set, L"", {{L"Client", L"Town"}}, error));
    std::vector<CustomProperty> props;
    set.getCustomProperties()->getAll(props);
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[0].name, L"Client");
    EXPECT_EQ(props[0].value, L"Town");
    EXPECT_TRUE(props[0].ownedBySheetSet);
    ASSERT_TRUE(setItemProperties(set, L"A-101", {{L"Drawn by", L"JS"}}, error));
    props.clear();
    static_cast<CSheet*>(findItem(&set, L"A-101", error))->getCustomProperties()->getAll(props);
    ASSERT_EQ(props.size(), 1u);
    EXPECT_FALSE(props[0].ownedBySheetSet);
    EXPECT_FALSE(setItemProperties(set, L"Structure", {{L"x", L"y"}}, error));  // subsets have none
    EXPECT_FALSE(setItemProperties(set, L"A-101", {{L"ok", L"1"}, {L"", L"2"}}, error));
    props.clear();
    static_cast<CSheet*>(findItem(&set, L"A-101", error))->getCustomProperties()->getAll(props);
    EXPECT_EQ(props.size(), 1u);  // the good one before the bad one was not set either
}

TEST(ScriptedEdits, PublishFlagsPassDownToSubsetsOnly) {
    ScratchDir dir;
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(makeSet(dir)).c_str()));
    CSheetSetImpl& set = *mgr.sheetSetImpl(0);
    TkString error;
    CSubset* arch = findSubsetByPath(&set, L"Architecture");
    CSubset* plans = findSubsetByPath(&set, L"Architecture/Plans");
    auto* a101 = static_cast<CSheet*>(findItem(&set, L"A-101", error));
    auto* s101 = static_cast<CSheet*>(findItem(&set, L"S-101", error));
    ASSERT_TRUE(applyPublishFlags(set, {componentId(arch), componentId(s101)}, false));
    EXPECT_FALSE(arch->getIncludeForPublish());
    EXPECT_FALSE(plans->getIncludeForPublish());
    EXPECT_TRUE(a101->getIncludeForPublish());
    EXPECT_FALSE(s101->getIncludeForPublish());
    ASSERT_TRUE(applyPublishFlags(set, {componentId(plans)}, true));
    EXPECT_FALSE(plans->getIncludeForPublish());  // not on under a parent that is off
    EXPECT_FALSE(applyPublishFlags(set, {12345678}, true));  // gone: nothing to do
}

TEST(ScriptedEdits, StandardPropertiesAreCheckedTogetherBeforeAnyChanges) {
    ScratchDir dir;
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(makeSet(dir)).c_str()));
    CSheetSetImpl& set = *mgr.sheetSetImpl(0);
    TkString error;
    // One bad value stops all of them: the title stays too.
    EXPECT_FALSE(setItemProperties(set, L"A-101", {{L"Title", L"Basement"}, {L"Number", std::wstring(33, L'9')}}, error));
    EXPECT_NE(error.find(L"longer than 32"), TkString::npos);
    EXPECT_FALSE(setItemProperties(set, L"A-101", {{L"Title", L"Base"}, {L"Publish", L"maybe"}}, error));
    CSheet* a101 = static_cast<CSheet*>(findItem(&set, L"A-101", error));
    EXPECT_EQ(a101->getTitle(), L"Ground Floor");
    ASSERT_TRUE(setItemProperties(set, L"A-101", {{L"number", L"A-100"}, {L"Revision", L"C"}, {L"Publish", L"no"}, {L"Drawn by", L"AK"}}, error)) << error;
    EXPECT_EQ(a101->getNumber(), L"A-100");
    EXPECT_EQ(a101->getRevisionNumber(), L"C");
    EXPECT_FALSE(a101->getIncludeForPublish());
    std::vector<CustomProperty> own;
    a101->getCustomProperties()->getAll(own);
    ASSERT_EQ(own.size(), 1u);  // names the sheet does not have are custom properties
    EXPECT_EQ(own[0].name, L"Drawn by");
    // The set and subsets: project fields, names, publish flag, a template that must exist.
    ASSERT_TRUE(setItemProperties(set, L"", {{L"Project name", L"Harbour"}, {L"Name", L"Riverside 2"}}, error)) << error;
    EXPECT_EQ(set.getProjectName(), L"Harbour");
    EXPECT_EQ(set.getName(), L"Riverside 2");
    ASSERT_TRUE(setItemProperties(set, L"Structure", {{L"Name", L"Engineering"}, {L"Publish", L"no"}}, error)) << error;
    EXPECT_FALSE(findSubsetByPath(&set, L"Engineering")->getIncludeForPublish());
    EXPECT_FALSE(setItemProperties(set, L"Engineering", {{L"Template", L"A1@" + W(dir.file("none.dwt"))}}, error));
    EXPECT_FALSE(setItemProperties(set, L"Engineering", {{L"Colour", L"red"}}, error));  // subsets have no custom properties
}
