// Layout editing as the new sheet and rename operations use it: the result must survive a save and
// read back the way another program would see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/support/TestFiles.h"

namespace {
std::vector<std::string> names(const TkDbDatabase& db) {
    std::vector<std::string> out;
    for (auto& l : db.layouts()) out.push_back(l.name());
    return out;
}

size_t entitiesOfLayout(const TkDbDatabase& db, const std::string& name) {
    auto l = db.findLayout(name);
    return l ? db.entitiesOf(l->blockRecordHandle()).size() : 0;
}
}  // namespace

TEST(LayoutEdit, NewDrawingHasModelAndPaperLayoutsInTabOrder) {
    auto db = makeThreeSheetDrawing();
    auto back = saveAndReload(*db);
    EXPECT_EQ(names(*back), (std::vector<std::string>{"Model", "Sheet A", "Sheet B", "Sheet C"}));
    auto a = back->findLayout("Sheet A");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->paperName(), "ISO_A1_(841.00_x_594.00_MM)");
    EXPECT_DOUBLE_EQ(a->paperWidth(), 841);
    EXPECT_DOUBLE_EQ(a->paperHeight(), 594);
    EXPECT_EQ(a->plotAreaType(), 5);
    EXPECT_EQ(a->tabOrder(), 1);
    EXPECT_TRUE(back->isInitialized(*a));
    EXPECT_FALSE(back->isInitialized(*back->findLayout("Sheet C")));
    EXPECT_FALSE(back->isInitialized(*back->findLayout("Model")));
    EXPECT_FALSE(back->findLayout("sheet a"));  // names are found exactly
    // The viewport and the circle of "Sheet A" are its entities, wherever the layout's block lies.
    EXPECT_EQ(entitiesOfLayout(*back, "Sheet A"), 2u);
    EXPECT_EQ(entitiesOfLayout(*back, "Model"), 1u);
}

TEST(LayoutEdit, RenameChecksTheNameAndKeepsTheHandle) {
    auto db = makeThreeSheetDrawing();
    std::string handle = db->findLayout("Sheet B")->handleText();
    EXPECT_EQ(db->renameLayout("Sheet B", "Sheet A").code, eTkDuplicateKey);
    EXPECT_EQ(db->renameLayout("Sheet B", "SHEET A").code, eTkDuplicateKey);
    EXPECT_EQ(db->renameLayout("Sheet B", "A/B").code, eTkInvalidInput);
    EXPECT_EQ(db->renameLayout("Sheet B", "").code, eTkInvalidInput);
    EXPECT_EQ(db->renameLayout("Model", "Plan").code, eTkNotApplicable);
    EXPECT_EQ(db->renameLayout("Sheet B", "model").code, eTkNotApplicable);
    EXPECT_EQ(db->renameLayout("Nope", "X").code, eTkKeyNotFound);
    // Renaming to another letter case of its own name is fine.
    ASSERT_TRUE(db->renameLayout("Sheet B", "SHEET B").ok());
    ASSERT_TRUE(db->renameLayout("SHEET B", "A-102 Plans \xC3\xA9tage").ok());
    auto back = saveAndReload(*db);
    auto l = back->findLayout("A-102 Plans \xC3\xA9tage");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->handleText(), handle);
    // The layout dictionary's key follows the name: other programs look layouts up by it.
    auto root = back->dictionary(back->namedObjectsDictionary());
    auto dict = back->dictionary(root->get("ACAD_LAYOUT"));
    EXPECT_EQ(dict->get("A-102 Plans \xC3\xA9tage"), l->handle());
    EXPECT_EQ(dict->get("Sheet B"), 0u);
}

TEST(LayoutEdit, DeleteTakesTheBlockAndEntitiesAndKeepsOneLayout) {
    auto db = makeThreeSheetDrawing();
    auto a = db->findLayout("Sheet A");
    uint64_t br = a->blockRecordHandle(), handle = a->handle();
    auto circle = db->entitiesOf(br);
    ASSERT_EQ(circle.size(), 2u);
    uint64_t circleHandle = circle[1]->handle();
    ASSERT_TRUE(db->deleteLayout("Sheet A").ok());
    auto back = saveAndReload(*db);
    EXPECT_EQ(names(*back), (std::vector<std::string>{"Model", "Sheet B", "Sheet C"}));
    EXPECT_EQ(back->byHandle(handle), nullptr);
    EXPECT_EQ(back->byHandle(br), nullptr);
    EXPECT_EQ(back->byHandle(circleHandle), nullptr);
    EXPECT_EQ(back->findLayout("Sheet B")->tabOrder(), 1);
    EXPECT_EQ(back->findLayout("Sheet C")->tabOrder(), 2);
    EXPECT_EQ(back->entityCounts().modelSpace, 1u);
    // A drawing keeps model space and one paper layout.
    EXPECT_EQ(back->deleteLayout("Model").code, eTkNotApplicable);
    ASSERT_TRUE(back->deleteLayout("Sheet B").ok());
    EXPECT_EQ(back->deleteLayout("Sheet C").code, eTkNotApplicable);
    EXPECT_EQ(back->deleteLayout("Sheet B").code, eTkKeyNotFound);
    auto last = saveAndReload(*back);
    EXPECT_EQ(names(*last), (std::vector<std::string>{"Model", "Sheet C"}));
}

TEST(LayoutEdit, CurrentLayoutMovesTheActivePaperSpace) {
    auto db = makeThreeSheetDrawing();
    // After the default layouts went, the first sheet holds the active paper space.
    ASSERT_TRUE(db->setCurrentLayout("Sheet A").ok());
    EXPECT_EQ(db->currentLayoutName(), "Sheet A");
    ASSERT_TRUE(db->setCurrentLayout("Sheet B").ok());
    auto back = saveAndReload(*db);
    EXPECT_EQ(back->currentLayoutName(), "Sheet B");
    // Entities stay with their layout through the swap, and the save puts them in the right section.
    EXPECT_EQ(entitiesOfLayout(*back, "Sheet A"), 2u);
    EXPECT_EQ(entitiesOfLayout(*back, "Sheet B"), 1u);
    auto b = back->findLayout("Sheet B");
    EXPECT_TRUE(tkDbNameEqualNoCase(TkDbBlockRecord(back->byHandle(b->blockRecordHandle())).name(), "*Paper_Space"));
    for (TkDbRecord* e : back->section("ENTITIES")->records)
        if (e->owner() != back->modelSpace()) {
            EXPECT_EQ(e->owner(), b->blockRecordHandle());
        }
    ASSERT_TRUE(back->setCurrentLayout("Model").ok());
    EXPECT_EQ(saveAndReload(*back)->currentLayoutName(), "Model");
    EXPECT_EQ(back->setCurrentLayout("Nope").code, eTkKeyNotFound);

    // Deleting the current layout hands the active paper space to another one.
    ASSERT_TRUE(db->deleteLayout("Sheet B").ok());
    auto after = saveAndReload(*db);
    EXPECT_EQ(after->currentLayoutName(), "Sheet A");
    EXPECT_EQ(entitiesOfLayout(*after, "Sheet A"), 2u);
}

TEST(LayoutEdit, LayoutsWithoutHandlesCanStillBeEdited) {
    // A damaged drawing whose layouts lost their handles: they are still found, renamed, made current
    // and deleted through the records themselves.
    std::string text;
    ASSERT_TRUE(makeThreeSheetDrawing()->writeDxf(text, kTkDbVerR2010).ok());
    for (const char* name : {"Sheet B\n", "Sheet C\n"}) {
        size_t layout = text.rfind("  0\nLAYOUT\n  5\n", text.find(std::string("AcDbLayout\n  1\n") + name));
        ASSERT_NE(layout, std::string::npos);
        size_t h = layout + std::strlen("  0\nLAYOUT\n");
        text.erase(h, text.find('\n', h + 4) + 1 - h);  // drop "  5" and the handle
    }
    TkDbDatabase db;
    TkDbReadOptions recover;
    recover.recover = true;
    ASSERT_TRUE(db.readDxfBuffer(text, recover).ok());
    EXPECT_TRUE(db.findLayout("Sheet B"));
    EXPECT_TRUE(db.renameLayout("Sheet B", "Renamed").ok());
    EXPECT_TRUE(db.setCurrentLayout("Renamed").ok());
    EXPECT_TRUE(db.deleteLayout("Sheet C").ok());
    auto back = saveAndReload(db);
    EXPECT_EQ(names(*back), (std::vector<std::string>{"Model", "Sheet A", "Renamed"}));
}
