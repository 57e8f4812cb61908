// What publishing and transmittal take from a selection: the publish flags of subsets and sheets,
// selection order with duplicates, and transmittal labels and drawings.
#include <gtest/gtest.h>

#include "model/PublishFlags.h"
#include "model/ItemLookup.h"
#include "model/PublishGather.h"
#include "model/SheetSetMgrImpl.h"

namespace {

std::vector<std::wstring> titles(const std::vector<CSheet*>& sheets) {
    std::vector<std::wstring> out;
    for (const CSheet* s : sheets) out.push_back(s->getTitle());
    return out;
}

}  // namespace

TEST(PublishGather, FlagsDecideAndTheSelectionOrderStaysWithDuplicates) {
    CSheetSetMgrImpl mgr;
    auto* set = static_cast<CSheetSetImpl*>(mgr.createSheetSet());
    set->setName(L"Gather");
    CSubset* a = set->addNewSubset(-1, L"A");
    CSheet* a1 = a->addNewSheet(-1, L"a1");
    a1->setLayout(L"L1", L"1", L"/p/a.dwg");
    CSheet* a2 = a->addNewSheet(-1, L"a2");
    a2->setIncludeForPublish(false);
    CSubset* off = a->addNewSubset(-1, L"Off");
    CSheet* o1 = off->addNewSheet(-1, L"o1");
    CSubset* inner = off->addNewSubset(-1, L"Inner");
    CSheet* i1 = inner->addNewSheet(-1, L"i1");
    off->setIncludeForPublish(false, false);
    CSheet* r1 = set->addNewSheet(-1, L"r1");

    // An off subset is not entered, nor anything below it, even a subset below it selected by
    // itself whose own flag a set written elsewhere left on.
    EXPECT_EQ(titles(gatherPublishSheets({set})), (std::vector<std::wstring>{L"a1", L"r1"}));
    EXPECT_TRUE(gatherPublishSheets({inner}).empty());
    // Turning the inner subset on under an off parent does nothing: the flags code skips it.
    EXPECT_TRUE(applyPublishFlags(*set, {componentId(inner)}, false));
    EXPECT_TRUE(applyPublishFlags(*set, {componentId(inner)}, true));
    EXPECT_FALSE(inner->getIncludeForPublish());
    EXPECT_TRUE(gatherPublishSheets({inner}).empty());
    EXPECT_TRUE(gatherPublishSheets({off}).empty());  // a subset that publishes nothing
    EXPECT_TRUE(gatherPublishSheets({o1}).empty());   // nor does a sheet in it
    EXPECT_TRUE(gatherPublishSheets({i1}).empty());
    // Selection order, and a sheet selected with its subset comes twice.
    EXPECT_EQ(titles(gatherPublishSheets({r1, a, a1})), (std::vector<std::wstring>{L"r1", L"a1", L"a1"}));

    VrPublishJob job = makePublishJob(set, gatherPublishSheets({a1}), L"PDF A3");
    ASSERT_EQ(job.sheets.size(), 1u);
    EXPECT_EQ(job.sheets[0].drawing, L"/p/a.dwg");
    EXPECT_EQ(job.sheets[0].layout, L"L1");
    EXPECT_EQ(job.sheetSetName, L"Gather");
    EXPECT_EQ(job.pageSetupName, L"PDF A3");

    // Transmittal: every sheet of a subset whatever its flags; no drawing, a label only.
    a2->setNumber(L"A-2");
    a2->setTitle(L"");
    VrTransmittalJob t = makeTransmittalJob(set, {a});
    EXPECT_EQ(t.drawings, std::vector<TkString>{L"/p/a.dwg"});
    EXPECT_EQ(t.labels, (std::vector<TkString>{L"a1", L"A-2 - ", L"o1", L"i1"}));
    EXPECT_TRUE(makeTransmittalJob(set, {r1}).drawings.empty());
    mgr.releaseSheetSet(set);
}
