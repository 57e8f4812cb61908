// A sheet set data file damaged in every structural way opens or is refused with a reason; what
// opens can be walked, shown, edited and saved. Nothing aborts, whatever the value or the nesting.
#include <gtest/gtest.h>

#include "model/ItemLookup.h"
#include "model/SheetImpl.h"
#include "actions/SheetSetEdit.h"
#include "model/SheetSetMgrImpl.h"
#include "tests/support/DstMutator.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

// A set with something of every kind the file can hold.
std::string makeRichSet(const ScratchDir& dir) {
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    std::string path = dir.file("Rich.dst");
    CSheetSetImpl set(mgr->createDatabase(W(path), L"", false));
    set.setName(L"Rich");
    set.setDesc(L"line one\nline two");
    set.setProjectNumber(L"P-1");
    set.setPageSetupFile(W(dir.file("setups.dwt")).c_str());
    set.setLabelBlock(L"Label", L"2A", W(dir.file("blocks.dwg")).c_str());
    set.setCalloutBlocks({L"Callout"}, {L"2B"}, {W(dir.file("blocks.dwg"))});
    set.setModelViewFolders({W(dir.path().string())});
    set.getCustomProperties()->setAll({{L"Client", L"City", true}, {L"Checked by", L"", false}});
    CSubset* arch = set.addNewSubset(-1, L"Architecture");
    arch->setTemplate(L"A1", L"1F", W(dir.file("t.dwt")).c_str(), false);
    CSheet* a = arch->addNewSheet(-1, L"Plan");
    a->setNumber(L"A-101");
    a->setLayout(L"A-101 Plan", L"8B", W(dir.file("a.dwg")).c_str());
    a->setRevisionNumber(L"C");
    arch->addNewSubset(-1, L"Nested")->addNewSheet(-1, L"Detail")->setNumber(L"A-501");
    set.getSheetSelSets()->add(L"Plans", {a, arch});
    EXPECT_TRUE(set.save());
    return path;
}

// Everything the palette and the scripts do with an open set.
size_t exercise(CSheetSetMgrImpl& mgr, const std::string& saveTo) {
    CSheetSetImpl* set = mgr.sheetSetImpl(0);
    size_t n = 0;
    TkString details;
    set->getDetails(details);
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    for (CSheet* s : sheets) {
        TkString d;
        s->getDetails(d);
        n += d.size() + sheetDisplayName(s).size() + s->getLayoutName().size() + s->getFileName().size();
    }
    std::vector<CSubset*> subsets;
    set->getSubsets(subsets, true);
    for (CSubset* s : subsets) n += s->getName().size() + s->getNewSheetLocation().size() + s->getTemplateFileName().size();
    for (int i = 0; i < set->getSheetSelSets()->getCount(); ++i) {
        std::vector<CComponent*> members;
        set->getSheetSelSets()->getMembers(i, members);
        for (CComponent* c : members) n += componentId(c) != 0;
    }
    std::vector<CustomProperty> props;
    set->getCustomProperties()->getAll(props);
    n += props.size();
    set->setFileName(W(saveTo).c_str());
    EXPECT_TRUE(set->save()) << tkToUtf8(set->lastSaveError());
    return n;
}

}  // namespace

TEST(DstMutation, EveryStructuralDamageOpensOrIsRefusedWithAReason) {
    ScratchDir dir;
    const std::string good = readFileText(makeRichSet(dir));
    const size_t count = dstMutationCount(good);
    ASSERT_GT(count, 300u);
    const std::string path = dir.file("mutated.dst");
    size_t opened = 0, refused = 0;
    for (size_t i = 0; i < count; ++i) {
        writeFileText(path, dstMutation(good, i));
        CSheetSetMgrImpl mgr;
        if (!mgr.openSheetSet(W(path).c_str())) {
            ++refused;
            EXPECT_FALSE(mgr.lastError().empty()) << "mutation " << i << " refused without a reason";
            continue;
        }
        ++opened;
        exercise(mgr, dir.file("resaved.dst"));
        // What was saved opens again.
        CSheetSetMgrImpl again;
        EXPECT_TRUE(again.openSheetSet(W(dir.file("resaved.dst")).c_str())) << "mutation " << i << ": " << tkToUtf8(again.lastError());
    }
    EXPECT_GT(opened, count / 4);
    EXPECT_GT(refused, 10u);
    // An edit on a set whose file is swapped for a damaged one under it reports the reason.
    writeFileText(path, good);
    CSheetSetMgrImpl mgr;
    ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
    writeFileText(path, dstMutation(good, 3));
    ActionResult r = editSheetSet(mgr, 0, [](CSheetSetImpl& set) { return set.addNewSubset(-1, L"x") != nullptr; });
    EXPECT_TRUE(r.status == ActionResult::Done || !r.message.empty());
}
