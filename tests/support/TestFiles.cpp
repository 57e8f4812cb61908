#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

ScratchDir::ScratchDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("vorn-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    // Restore permissions a test may have taken away, so the folder can go.
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
        std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string readFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFileText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::unique_ptr<TkDbDatabase> readText(const std::string& dxf) {
    auto db = std::make_unique<TkDbDatabase>();
    TkDbResult r = db->readDxfBuffer(dxf);
    EXPECT_TRUE(r.ok()) << r.describe();
    return db;
}

std::unique_ptr<TkDbDatabase> saveAndReload(TkDbDatabase& db, int version) {
    std::string text;
    TkDbResult r = db.writeDxf(text, version);
    EXPECT_TRUE(r.ok()) << r.describe();
    return readText(text);
}

std::unique_ptr<TkDbDatabase> makeThreeSheetDrawing() {
    auto db = TkDbDatabase::createNew();
    db->addEntity(db->modelSpace(), "LINE",
                  {{100, "AcDbLine"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "100"}, {21, "50"}, {31, "0"}});
    uint64_t a = 0;
    EXPECT_TRUE(db->addLayout("Sheet A", TkDbPaper{"ISO_A1_(841.00_x_594.00_MM)", 841, 594}, true, &a).ok());
    EXPECT_TRUE(db->addLayout("Sheet B", TkDbPaper{}, true).ok());
    EXPECT_TRUE(db->addLayout("Sheet C", TkDbPaper{}, false).ok());
    db->addEntity(TkDbLayout(db->byHandle(a)).blockRecordHandle(), "CIRCLE",
                  {{100, "AcDbCircle"}, {10, "400"}, {20, "300"}, {30, "0"}, {40, "25"}});
    EXPECT_TRUE(db->deleteLayout("Layout1").ok());
    EXPECT_TRUE(db->deleteLayout("Layout2").ok());
    return db;
}
