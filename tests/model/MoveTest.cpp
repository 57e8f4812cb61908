// Moving sheets and subsets: order kept, every property carried, nothing moved into itself, and the
// result is what a reopened file holds.
#include <gtest/gtest.h>

#include "model/MoveComponents.h"
#include "model/SheetSetMgrImpl.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

TkString labels(const CSubset* s) {
    TkString out;
    for (int i = 0; i < s->getCount(); ++i) {
        CComponent* c = s->getAt(i);
        if (!out.empty()) out += L" ";
        if (auto* sheet = dynamic_cast<CSheet*>(c)) out += sheet->getTitle();
        else out += L"[" + dynamic_cast<CSubset*>(c)->getName() + L": " + labels(dynamic_cast<CSubset*>(c)) + L"]";
    }
    return out;
}

struct MoveFixture : ::testing::Test {
    ScratchDir dir;
    std::string path = dir.file("Move.dst");
    CSheetSetMgrImpl mgr;
    CSheetSet* set = nullptr;
    CSubset* a = nullptr;
    CSubset* b = nullptr;

    void SetUp() override {
        CSheetSet* made = mgr.createSheetSet();
        made->setFileName(W(path).c_str());
        a = made->addNewSubset(-1, L"A");
        b = made->addNewSubset(-1, L"B");
        for (const wchar_t* t : {L"a1", L"a2", L"a3", L"a4"}) a->addNewSheet(-1, t);
        for (const wchar_t* t : {L"b1", L"b2", L"b3"}) b->addNewSheet(-1, t);
        ASSERT_TRUE(made->save());
        mgr.releaseSheetSet(made);
        ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
        set = mgr.getSheetSet(0);
        a = dynamic_cast<CSubset*>(set->getAt(0));
        b = dynamic_cast<CSubset*>(set->getAt(1));
    }
    CComponent* at(CSubset* s, int i) { return s->getAt(i); }
    void reopen() {
        ASSERT_TRUE(set->save());
        mgr.closeSheetSet(0);
        ASSERT_TRUE(mgr.openSheetSet(W(path).c_str()));
        set = mgr.getSheetSet(0);
    }
};

TEST_F(MoveFixture, SheetsAfterATargetKeepTheirOrderAndProperties) {
    auto* a3 = dynamic_cast<CSheet*>(at(a, 2));
    a3->setNumber(L"A-103");
    a3->setRevisionNumber(L"C");
    a3->setIncludeForPublish(false);
    a3->getCustomProperties()->setAll({{L"Checked by", L"MC", false}});
    // a1, a3 and b3 dropped after b2: positions 3, 4 and 5 of B, in their previous order.
    auto made = moveComponents(at(b, 1), true, {at(a, 0), a3, at(b, 2)});
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(labels(set), L"[A: a2 a4] [B: b1 b2 a1 a3 b3]");
    EXPECT_EQ(made[1], at(b, 3));
    reopen();
    EXPECT_EQ(labels(set), L"[A: a2 a4] [B: b1 b2 a1 a3 b3]");
    auto* moved = dynamic_cast<CSheet*>(dynamic_cast<CSubset*>(set->getAt(1))->getAt(3));
    EXPECT_EQ(moved->getNumber(), L"A-103");
    EXPECT_EQ(moved->getRevisionNumber(), L"C");
    EXPECT_FALSE(moved->getIncludeForPublish());
    std::vector<CustomProperty> props;
    moved->getCustomProperties()->getAll(props);
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].value, L"MC");
}

TEST_F(MoveFixture, IntoSubsetsWithinAParentAndSubtrees) {
    // Into a subset: first children. Within one parent, before and after the target.
    moveComponents(b, false, {at(a, 3)});
    EXPECT_EQ(labels(set), L"[A: a1 a2 a3] [B: a4 b1 b2 b3]");
    moveComponents(at(a, 2), true, {at(a, 0)});
    EXPECT_EQ(labels(set), L"[A: a2 a3 a1] [B: a4 b1 b2 b3]");
    // A subset with its sheets goes into another; a dragged sheet whose subset is dragged too goes
    // with it, not twice.
    auto made = moveComponents(at(b, 3), true, {a, at(a, 1)});
    ASSERT_EQ(made.size(), 1u);
    ASSERT_EQ(set->getCount(), 1);
    b = dynamic_cast<CSubset*>(set->getAt(0));
    EXPECT_EQ(labels(set), L"[B: a4 b1 b2 b3 [A: a2 a3 a1]]");
    // Nothing moves into its own subtree, and the sheet set itself never moves.
    auto* inner = dynamic_cast<CSubset*>(at(b, 4));
    EXPECT_TRUE(moveComponents(inner, false, {b}).empty());
    EXPECT_TRUE(moveComponents(at(inner, 0), true, {b, at(b, 0)}).empty());
    EXPECT_TRUE(moveComponents(b, false, {set}).empty());
    EXPECT_EQ(labels(set), L"[B: a4 b1 b2 b3 [A: a2 a3 a1]]");
    // Back up to the root, after the last child.
    moveComponents(b, true, {inner});
    EXPECT_EQ(labels(set), L"[B: a4 b1 b2 b3] [A: a2 a3 a1]");
    reopen();
    EXPECT_EQ(labels(set), L"[B: a4 b1 b2 b3] [A: a2 a3 a1]");
}

}  // namespace
