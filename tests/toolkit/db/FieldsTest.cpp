// Texts that show values kept elsewhere: the names tags and field codes stand for, attributes and
// field texts written, and a field text whose value is unknown left alone.
#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"
#include "toolkit/db/TkDbFields.h"

TEST(Fields, NamesAttributesAndFieldTextsFollowTheirValues) {
    EXPECT_EQ(tkDbFieldName("Sheet.Number"), "SHEETNUMBER");
    EXPECT_EQ(tkDbFieldName("\\AcSm Sheet.Number \\f \"%tc1\""), "SHEETNUMBER");
    EXPECT_EQ(tkDbFieldName("sheet_number"), "SHEETNUMBER");
    EXPECT_EQ(tkDbFieldName("Checked by"), "CHECKEDBY");

    auto db = TkDbDatabase::createNew();
    const uint64_t ms = db->modelSpace();
    TkDbRecord* plain = db->addEntity(ms, "TEXT", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"}, {1, "untouched"}, {100, "AcDbText"}});
    TkDbRecord* number = db->addEntity(ms, "TEXT", {{100, "AcDbText"}, {10, "0"}, {20, "5"}, {30, "0"}, {40, "2"}, {1, "old"}, {100, "AcDbText"}});
    TkDbRecord* unknown = db->addEntity(ms, "TEXT", {{100, "AcDbText"}, {10, "0"}, {20, "9"}, {30, "0"}, {40, "2"}, {1, "kept"}, {100, "AcDbText"}});
    ASSERT_TRUE(tkDbAttachField(*db, *number, "\\AcSm Sheet.Number"));
    ASSERT_TRUE(tkDbAttachField(*db, *unknown, "\\AcSm Sheet.Nothing"));
    EXPECT_FALSE(tkDbAttachField(*db, *number, "\\AcSm Sheet.Title"));  // one field per text
    const uint64_t tb = db->addBlock("TB");
    db->addEntity(tb, "ATTDEF", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"}, {1, ""}, {100, "AcDbAttributeDefinition"},
                                 {280, "0"}, {3, "Title"}, {2, "SHEET_TITLE"}, {70, "0"}});
    TkDbRecord* ins = db->addEntity(ms, "INSERT", {{100, "AcDbBlockReference"}, {66, "1"}, {2, "TB"}, {10, "0"}, {20, "0"}, {30, "0"}});
    ASSERT_NE(ins, nullptr);
    db->addEntity(ms, "ATTRIB", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"}, {1, "?"}, {100, "AcDbAttribute"},
                                 {280, "0"}, {2, "SHEET_TITLE"}, {70, "0"}});

    auto values = [](const std::string& name) -> std::optional<std::string> {
        if (name == "SHEETNUMBER") return "A-101";
        if (name == "SHEETTITLE") return "Ground Floor";
        return std::nullopt;
    };
    EXPECT_EQ(tkDbUpdateFieldTexts(*db, ms, values), 2);
    auto reread = saveAndReload(*db);
    std::vector<std::string> texts;
    for (TkDbRecord* e : reread->blockContents(reread->modelSpace()))
        if (e->type() == "TEXT" || e->type() == "ATTRIB") texts.push_back(std::string(e->str(1)));
    EXPECT_EQ(texts, (std::vector<std::string>{"untouched", "A-101", "kept", "Ground Floor"}));
    EXPECT_EQ(tkDbUpdateFieldTexts(*reread, reread->modelSpace(), values), 0);  // fields survive the save
    (void)plain;
}
