// The sheet set model over real .dst files: tree edits, inherited settings, custom properties,
// selections, details texts, and what the lock status says while others hold the file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <chrono>
#include <filesystem>

#include "drawings/FileLocks.h"
#include "drawings/SheetSetLock.h"
#include "model/RenameSheet.h"
#include "model/SheetImpl.h"
#include "actions/SheetSetEdit.h"
#include "model/SheetSetMgrImpl.h"
#include "tests/support/OtherProcess.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace fs = std::filesystem;

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

// A saved sheet set with two subsets and three sheets; the stored new sheet location is missing.
std::string makeSet(const ScratchDir& dir) {
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    std::string path = dir.file("Riverside.dst");
    TkSmDatabase* db = mgr->createDatabase(W(path), L"", false);
    CSheetSetImpl set(db);
    set.setName(L"Riverside");
    CSubset* arch = set.addNewSubset(-1, L"Architecture");
    CSubset* plans = arch->addNewSubset(-1, L"Plans");
    plans->addNewSheet(-1, L"Ground Floor")->setNumber(L"A-101");
    plans->addNewSheet(-1, L"First Floor")->setNumber(L"A-102");
    set.addNewSubset(-1, L"Structure")->addNewSheet(-1, L"Foundations");
    set.setNewSheetLocation(W(dir.file("gone")).c_str(), true);
    EXPECT_TRUE(set.save());
    return path;
}

std::vector<TkString> titles(const CSubset* s) {
    std::vector<CSheet*> sheets;
    s->getSheets(sheets, true);
    std::vector<TkString> out;
    for (CSheet* sh : sheets) out.push_back(sh->getTitle());
    return out;
}

}  // namespace

TEST(SheetSetModel, OpensWithItsTreeAndInheritedLocation) {
    ScratchDir dir;
    std::string path = makeSet(dir);
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
    EXPECT_EQ(mgr.getCurrent(), 0);
    // Opening the same file again, in another letter case, only makes it current.
    std::string upper = path.substr(0, path.size() - 4) + ".DST";
    EXPECT_TRUE(mgr.openSheetSet(W(upper).c_str()) || !fs::exists(upper));
    CSheetSet* set = mgr.getSheetSet(0);
    EXPECT_EQ(set->getType(), 0);
    EXPECT_EQ(set->getParent(), nullptr);
    EXPECT_EQ(titles(set), (std::vector<TkString>{L"Ground Floor", L"First Floor", L"Foundations"}));
    // The stored location is missing: the data file's folder, down to every nested subset.
    std::vector<CSubset*> subsets;
    set->getSubsets(subsets, true);
    ASSERT_EQ(subsets.size(), 3u);
    EXPECT_EQ(set->getNewSheetLocation(), W(dir.path().string()));
    for (CSubset* s : subsets) EXPECT_EQ(s->getNewSheetLocation(), set->getNewSheetLocation());
    // Top-level children have the sheet set as parent; the subset details count the whole subtree.
    EXPECT_EQ(subsets[0]->getParent(), set);
    TkString details;
    subsets[0]->getDetails(details);
    EXPECT_EQ(details, L"Sheets in this Subset: 2");
    std::vector<CSheet*> none;
    EXPECT_EQ(subsets[0]->getSheets(none, false), 0);  // it holds only a subset
    EXPECT_FALSE(mgr.openSheetSet(W(dir.file("missing.dst")).c_str()));
    EXPECT_EQ(mgr.closeSheetSet(0), -1);
}

TEST(SheetSetModel, SheetsInsertRemoveAndNamesBothInModelAndFile) {
    ScratchDir dir;
    std::string path = makeSet(dir);
    {
        CSheetSetMgrImpl mgr;
        ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
        CSheetSet* set = mgr.getSheetSet(0);
        CSubset* plans = static_cast<CSubset*>(static_cast<CSubset*>(set->getAt(0))->getAt(0));
        CSheet* first = plans->addNewSheet(0, L"Site Plan");
        first->setNumber(L"A-100");
        plans->addNewSheet(plans->getCount(), L"Roof");  // an index past the end appends
        plans->addNewSheet(-5, L"Sections");
        EXPECT_EQ(titles(plans), (std::vector<TkString>{L"Site Plan", L"Ground Floor", L"First Floor", L"Roof", L"Sections"}));
        plans->removeSheet(static_cast<CSheet*>(plans->getAt(1)));
        CSheet* roof = static_cast<CSheet*>(plans->getAt(2));
        EXPECT_EQ(sheetDisplayName(first), L"A-100 - Site Plan");
        EXPECT_EQ(sheetDisplayName(roof), L"Roof");
        roof->setTitle(L"");
        roof->setNumber(L"A-104");
        EXPECT_EQ(sheetDisplayName(roof), L"A-104");
        roof->setLayout(L"Roof", L"1F2", W(dir.file("roof.dwg")).c_str());
        EXPECT_TRUE(set->containsLayout(W(dir.file("ROOF.DWG")).c_str(), L"roof"));
        EXPECT_TRUE(set->allDrawingsMissing());
        set->replaceDrawingFile(W(dir.file("Roof.dwg")).c_str(), W(dir.file("roof-v2.dwg")).c_str());
        EXPECT_EQ(roof->getFileName(), W(dir.file("roof-v2.dwg")));
        EXPECT_TRUE(set->save());
    }
    CSheetSetMgrImpl again;
    ASSERT_TRUE(again.openSheetSet(W(path).c_str()));
    CSubset* plans = static_cast<CSubset*>(static_cast<CSubset*>(again.getSheetSet(0)->getAt(0))->getAt(0));
    ASSERT_EQ(plans->getCount(), 4);
    EXPECT_EQ(static_cast<CSheet*>(plans->getAt(2))->getLayoutHandle(), L"1F2");
    EXPECT_EQ(titles(plans), (std::vector<TkString>{L"Site Plan", L"First Floor", L"", L"Sections"}));
}

TEST(SheetSetModel, CustomPropertiesSelectionsAndSetWideLists) {
    ScratchDir dir;
    std::string path = makeSet(dir);
    {
        CSheetSetMgrImpl mgr;
        ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
        CSheetSet* set = mgr.getSheetSet(0);
        set->getCustomProperties()->setAll({{L"Client", L"City", true}, {L"Checked by", L"-", false}});
        std::vector<CustomProperty> sheetDefs;
        set->getCustomProperties()->getSheetProperties(sheetDefs);
        ASSERT_EQ(sheetDefs.size(), 1u);
        std::vector<CSheet*> sheets;
        set->getSheets(sheets, true);
        sheets[0]->getCustomProperties()->setAll({{L"Checked by", L"MC", false}, {L"Old", L"x", false}});
        // New definitions: values that stay are kept, new ones get the default, the rest go.
        sheets[0]->getCustomProperties()->applyDefinitions({{L"Checked by", L"-", false}, {L"Scale", L"1:100", false}});
        std::vector<CustomProperty> got;
        sheets[0]->getCustomProperties()->getAll(got);
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].name, L"Checked by");
        EXPECT_EQ(got[0].value, L"MC");
        EXPECT_EQ(got[1].value, L"1:100");
        // A selection of a subset and a sheet; the sheet is then removed.
        std::vector<CSubset*> subsets;
        set->getSubsets(subsets, false);
        set->getSheetSelSets()->add(L"For client", {subsets[1], sheets[0], sheets[1]});
        static_cast<CSubset*>(subsets[0]->getAt(0))->removeSheet(sheets[1]);
        // Three callout blocks set, then two: exactly the two remain, in order.
        set->setCalloutBlocks({L"A", L"B", L"C"}, {L"1", L"2", L"3"}, {L"f", L"f", L"f"});
        set->setCalloutBlocks({L"Y", L"Z"}, {L"8", L"9"}, {L"g", L"g"});
        set->setProjectName(L"Riverside");
        EXPECT_TRUE(set->save());
    }
    CSheetSetMgrImpl again;
    ASSERT_TRUE(again.openSheetSet(W(path).c_str()));
    CSheetSet* set = again.getSheetSet(0);
    ASSERT_EQ(set->getSheetSelSets()->getCount(), 1);
    std::vector<CComponent*> members;
    set->getSheetSelSets()->getMembers(0, members);
    ASSERT_EQ(members.size(), 2u);  // the removed sheet is skipped
    EXPECT_EQ(members[0]->getType(), 1);
    EXPECT_EQ(members[1]->getType(), 2);
    std::vector<TkString> names, handles, files;
    set->getCalloutBlocks(names, handles, files);
    EXPECT_EQ(names, (std::vector<TkString>{L"Y", L"Z"}));
    TkString details;
    set->getDetails(details);
    EXPECT_EQ(details, L"Client: City\r\nChecked by: -\r\n\r\nProject name: Riverside\r\n");
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    std::vector<CustomProperty> got;
    sheets[0]->getCustomProperties()->getAll(got);
    EXPECT_EQ(got.size(), 2u);
}

std::shared_ptr<void> lockWithOwnManager(const std::string& path) {
    auto mgr = std::make_shared<CSheetSetMgrImpl>();
    if (!mgr->openSheetSet(W(path).c_str())) return nullptr;
    auto lock = std::make_shared<CSheetSetLock>(mgr->sheetSetImpl(0));
    lock->lock();
    if (!lock->isHeld()) return nullptr;
    return std::make_shared<std::pair<std::shared_ptr<CSheetSetMgrImpl>, std::shared_ptr<CSheetSetLock>>>(mgr, lock);
}

TEST(SheetSetModel, LockStatusAndChangesOnDisk) {
    ScratchDir dir;
    std::string path = makeSet(dir);
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
    auto* set = static_cast<CSheetSetImpl*>(mgr.getSheetSet(0));
    EXPECT_EQ(set->getLockStatus(), 0);
    EXPECT_FALSE(set->isModifiedOnDisk());  // just read: nothing to read again
    {
        CSheetSetLock lock(set);
        lock.lock();
        ASSERT_TRUE(lock.isHeld());
        EXPECT_EQ(set->getLockStatus(), 1);
        // A colleague's attempt meanwhile fails and leaves our lock file and status as they were.
        const std::string note = readFileText(dir.file("Riverside.dbl"));
        OtherProcess colleague([&] { return lockWithOwnManager(path); });
        EXPECT_FALSE(colleague.took());
        EXPECT_EQ(readFileText(dir.file("Riverside.dbl")), note);
        EXPECT_EQ(set->getLockStatus(), 1);
        EXPECT_TRUE(set->save());  // saved before the lock goes
    }
    EXPECT_EQ(set->getLockStatus(), 0);
    EXPECT_FALSE(set->isModifiedOnDisk());  // our own save is no change
    EXPECT_TRUE(set->save());
    struct utimbuf t {1800000000, 1800000000};
    ::utime(path.c_str(), &t);
    EXPECT_TRUE(set->isModifiedOnDisk());
    EXPECT_FALSE(set->isModifiedOnDisk());  // each change once
    EXPECT_FALSE(set->save());               // never over a file this copy has not read
    EXPECT_NE(set->lastSaveError().find(L"changed by someone else"), std::wstring::npos);
    ASSERT_TRUE(mgr.reloadSheetSet(0));
    set = mgr.sheetSetImpl(0);

    // Another process holds the lock: status 2, and our save would overwrite its work.
    {
        OtherProcess other([&] { return lockWithOwnManager(path); });
        ASSERT_TRUE(other.took());
        EXPECT_EQ(set->getLockStatus(), 2);
        EXPECT_FALSE(set->save());
        EXPECT_NE(set->lastSaveError().find(L"being edited by"), std::wstring::npos);
        other.crash();
    }
    EXPECT_TRUE(CSheetSetLock::isStale(W(path)));  // the holder is gone, its lock file is not
    EXPECT_EQ(set->getLockStatus(), 0);             // and blocks nobody
    EXPECT_TRUE(set->save());
}

// Two sessions that read the set at the same moment each make an edit within the same second: the
// second is applied to what the first saved, so both land. A failed save is reported, and the open
// set goes back to what is on disk.
TEST(SheetSetModel, EditsInTheSameSecondBothLand) {
    ScratchDir dir;
    std::string path = makeSet(dir);
    CSheetSetMgrImpl first, second;
    ASSERT_TRUE(first.openSheetSet(W(path).c_str()));
    ASSERT_TRUE(second.openSheetSet(W(path).c_str()));
    auto addSubset = [](const wchar_t* name) {
        return [name](CSheetSetImpl& set) { return set.addNewSubset(-1, name) != nullptr; };
    };
    const auto started = std::chrono::system_clock::now();
    ActionResult a = editSheetSet(first, 0, addSubset(L"From first"));
    ActionResult b = editSheetSet(second, 0, addSubset(L"From second"));
    ASSERT_EQ(a.status, ActionResult::Done);
    ASSERT_EQ(b.status, ActionResult::Done);
    EXPECT_FALSE(a.reloaded);
    EXPECT_TRUE(b.reloaded);  // its copy was older than the file
    EXPECT_LT(std::chrono::system_clock::now() - started, std::chrono::seconds(1));
    CSheetSetMgrImpl check;
    ASSERT_TRUE(check.openSheetSet(W(path).c_str()));
    std::vector<CSubset*> subsets;
    check.getSheetSet(0)->getSubsets(subsets, false);
    std::vector<TkString> names;
    for (CSubset* s : subsets) names.push_back(s->getName());
    EXPECT_NE(std::find(names.begin(), names.end(), L"From first"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), L"From second"), names.end());
    EXPECT_FALSE(std::filesystem::exists(dir.file("Riverside.dbl")));

    // The first session's next edit sees the second's work too.
    ActionResult c = editSheetSet(first, 0, addSubset(L"Again"));
    EXPECT_TRUE(c.reloaded);
    EXPECT_EQ(first.getSheetSet(0)->getCount(), check.getSheetSet(0)->getCount() + 1);

    // A set that cannot be written: the edit fails with a reason and the set shows the file.
    if (::geteuid() != 0) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_read);
        int before = first.getSheetSet(0)->getCount();
        ActionResult d = editSheetSet(first, 0, addSubset(L"Never"));
        EXPECT_EQ(d.status, ActionResult::Unwritable);
        EXPECT_FALSE(d.holder.held);
        EXPECT_FALSE(d.failureText(W(path)).empty());
        EXPECT_EQ(first.getSheetSet(0)->getCount(), before);
        EXPECT_FALSE(std::filesystem::exists(dir.file("Riverside.dbl")));
    }
}

// The file is replaced by a damaged one while the set is open: the edit reports why and the open
// set stays as it was.
TEST(SheetSetModel, EditOfASetDamagedOnDiskReportsWhy) {
    ScratchDir dir;
    std::string path = makeSet(dir);
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
    int before = mgr.getSheetSet(0)->getCount();
    writeFileText(path, "<VornSheetSet format=\"1\"><SheetSet");
    ActionResult r = editSheetSet(mgr, 0, [](CSheetSetImpl& set) { return set.addNewSubset(-1, L"x") != nullptr; });
    EXPECT_EQ(r.status, ActionResult::ReadFailed);
    EXPECT_NE(r.message.find(L"damaged"), std::wstring::npos);
    EXPECT_EQ(mgr.getSheetSet(0)->getCount(), before);
    EXPECT_NE(readFileText(path).find("<SheetSet"), std::string::npos);  // not overwritten
    EXPECT_FALSE(std::filesystem::exists(dir.file("Riverside.dbl")));
}

// A reload that fails (the file was damaged on disk) leaves every open set and the current one as
// they were, and says why.
TEST(SheetSetModel, FailedReloadKeepsTheOpenSetsAndSaysWhy) {
    ScratchDir dir;
    std::string first = makeSet(dir);
    ScratchDir otherDir;
    std::string second = makeSet(otherDir);
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(first).c_str()));
    ASSERT_TRUE(mgr.openSheetSet(W(second).c_str()));
    ASSERT_EQ(mgr.getCurrent(), 1);
    CSheetSet* before = mgr.getSheetSet(1);
    writeFileText(second, "<VornSheetSet format=\"1\"><Sheet");
    EXPECT_FALSE(mgr.reloadSheetSet(1));
    EXPECT_NE(mgr.lastError().find(L"damaged"), std::wstring::npos);
    EXPECT_EQ(mgr.getCount(), 2);
    EXPECT_EQ(mgr.getCurrent(), 1);
    EXPECT_EQ(mgr.getSheetSet(1), before);
    EXPECT_EQ(mgr.getSheetSet(1)->getName(), L"Riverside");
    EXPECT_FALSE(mgr.reloadSheetSet(7));  // no such set
}

// A selection can hold the sheet set itself: saved, read back and restored with its other members.
TEST(SheetSetModel, ASelectionHoldsTheSheetSetItself) {
    ScratchDir dir;
    std::string path = makeSet(dir);
    {
        CSheetSetMgrImpl mgr;
        ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
        CSheetSetImpl* set = mgr.sheetSetImpl(0);
        std::vector<CSubset*> subsets;
        set->getSubsets(subsets, false);
        set->getSheetSelSets()->add(L"Everything", {set, subsets[0]});
        ASSERT_TRUE(set->save());
    }
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
    CSheetSetImpl* set = mgr.sheetSetImpl(0);
    ASSERT_EQ(set->getSheetSelSets()->getCount(), 1);
    std::vector<CComponent*> members;
    set->getSheetSelSets()->getMembers(0, members);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0], set);
    EXPECT_EQ(members[1]->getType(), 1);
}

TEST(SheetSetModel, ARenamedDrawingReplacesAnotherOnlyWhenAskedAndNotWhileHeld) {
    ScratchDir dir;
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(makeSet(dir)).c_str()));
    CSheetSet* set = mgr.getSheetSet(0);
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    auto drawing = makeThreeSheetDrawing();
    ASSERT_TRUE(drawing->saveAs(dir.file("a.dwg"), kTkDbVerR2010).ok());
    sheets[0]->setLayout(L"Sheet A", L"", W(dir.file("a.dwg")).c_str());
    writeFileText(dir.file("b.dwg"), "the colleague's drawing");
    TkString error;
    // Without the user's word the file there is kept.
    EXPECT_FALSE(renameSheetDrawing(*set, *sheets[0], L"", W(dir.file("b.dwg")), error));
    EXPECT_EQ(readFileText(dir.file("b.dwg")), "the colleague's drawing");
    // With it, but someone holds that file: still kept, and the sheet's own drawing too.
    {
        FileHold colleague;
        ASSERT_TRUE(colleague.hold(W(dir.file("b.dwg"))));
        EXPECT_FALSE(renameSheetDrawing(*set, *sheets[0], L"", W(dir.file("b.dwg")), error, true));
        EXPECT_NE(error.find(L"not replaced"), TkString::npos);
        EXPECT_EQ(readFileText(dir.file("b.dwg")), "the colleague's drawing");
        EXPECT_TRUE(fs::exists(dir.file("a.dwg")));
    }
    // Free: replaced by the renamed drawing, the old file gone, the sheet following.
    EXPECT_TRUE(renameSheetDrawing(*set, *sheets[0], L"Ground", W(dir.file("b.dwg")), error, true)) << tkToUtf8(error);
    EXPECT_FALSE(fs::exists(dir.file("a.dwg")));
    EXPECT_EQ(sheets[0]->getFileName(), W(dir.file("b.dwg")));
    EXPECT_EQ(sheets[0]->getLayoutName(), L"Ground");
    EXPECT_NE(readFileText(dir.file("b.dwg")).find("Ground"), std::string::npos);
}
