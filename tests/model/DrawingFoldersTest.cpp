// Sheets from folders of drawings: numbering across the whole tree, subsets that follow the
// folders (with or without the top folder), titles with the file name, unchecked items left out.
#include <gtest/gtest.h>

#include "model/DrawingFolders.h"
#include "model/SheetSetMgrImpl.h"

namespace {

ScannedDrawing drawing(const wchar_t* name, std::initializer_list<const wchar_t*> layouts) {
    ScannedDrawing d{std::wstring(L"/p/") + name, name, {}, true};
    uint32_t h = 0x8B;
    for (const wchar_t* l : layouts) d.layouts.push_back({l, h++, true});
    return d;
}

// Project / A-100.dwg (L1, L2); Project / Plans / A-101.dwg (Ground); Project / Empty
ScannedFolder project() {
    ScannedFolder plans{L"/p/Plans", L"Plans", {}, {drawing(L"A-101.dwg", {L"Ground"})}, true};
    ScannedFolder empty{L"/p/Empty", L"Empty", {}, {}, true};
    return ScannedFolder{L"/p", L"Project", {plans, empty}, {drawing(L"A-100.dwg", {L"L1", L"L2"})}, true};
}

TkString outline(const CSubset* s) {
    TkString out;
    for (int i = 0; i < s->getCount(); ++i) {
        CComponent* c = s->getAt(i);
        if (!out.empty()) out += L" ";
        if (c->getType() == 2) {
            auto* sh = static_cast<CSheet*>(c);
            out += sh->getNumber() + L":" + sh->getTitle() + L"@" + sh->getLayoutHandle();
        } else {
            out += L"[" + static_cast<CSubset*>(c)->getName() + L" " + outline(static_cast<CSubset*>(c)) + L"]";
        }
    }
    return out;
}

struct NewSet {
    CSheetSetMgrImpl mgr;
    CSheetSetImpl* set = static_cast<CSheetSetImpl*>(mgr.createSheetSet());
    ~NewSet() { mgr.releaseSheetSet(set); }
};

}  // namespace

TEST(DrawingFolders, SheetsFollowTheTreeWithTheChosenOptions) {
    NewSet n;
    n.set->getCustomProperties()->setAll({{L"Checked by", L"MC", false}});
    EXPECT_EQ(buildSheetsFromFolders(*n.set, {project()}, {}), 3);
    EXPECT_EQ(outline(n.set), L"1:Ground@8B 2:L1@8B 3:L2@8C");  // subfolders first, numbers run on
    std::vector<CSheet*> sheets;
    n.set->getSheets(sheets, true);
    std::vector<CustomProperty> props;
    sheets[0]->getCustomProperties()->getAll(props);
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].value, L"MC");  // the set's sheet properties with their defaults

    ImportOptions byFolder;
    byFolder.subsetsBasedOnFolders = true;
    byFolder.prefixSheetWithFileName = true;
    buildSheetsFromFolders(*n.set, {project()}, byFolder);
    EXPECT_EQ(outline(n.set), L"[Project [Plans 1:A-101 - Ground@8B] [Empty ] 2:A-100 - L1@8B 3:A-100 - L2@8C]");

    byFolder.ignoreTopLevelFolder = true;
    ScannedFolder second{L"/q", L"Second", {}, {drawing(L"B.dwg", {L"B1"})}, true};
    buildSheetsFromFolders(*n.set, {project(), second}, byFolder);
    EXPECT_EQ(outline(n.set), L"[Plans 1:A-101 - Ground@8B] [Empty ] 2:A-100 - L1@8B 3:A-100 - L2@8C [Second 4:B - B1@8B]");

    // Unchecked: a drawing leaves all its layouts out; a layout alone; a folder everything below.
    ScannedFolder p = project();
    p.drawings[0].layouts[1].checked = false;
    p.folders[0].drawings[0].checked = false;
    p.folders[1].checked = false;
    byFolder.ignoreTopLevelFolder = false;
    buildSheetsFromFolders(*n.set, {p}, byFolder);
    EXPECT_EQ(outline(n.set), L"[Project [Plans ] 1:A-100 - L1@8B]");
}
