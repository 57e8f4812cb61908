// Saving: versions, text encodings, what must come back untouched, and the file on disk when
// writing fails.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "tests/support/TestFiles.h"

namespace {

// A drawing with things this toolkit does not understand: a custom class, entity and object,
// extended data, application groups, a reactor chain and a section of its own.
std::string drawingWithUnknowns() {
    std::string text;
    EXPECT_TRUE(makeThreeSheetDrawing()->writeDxf(text, kTkDbVerR2010).ok());
    auto insertBefore = [&](const std::string& marker, const std::string& what) {
        size_t at = text.find(marker);
        EXPECT_NE(at, std::string::npos) << marker;
        text.insert(at, what);
    };
    insertBefore("  0\nENDSEC\n  0\nSECTION\n  2\nTABLES\n",
                 "  0\nCLASS\n  1\nACME_WIDGET\n  2\nAcmeWidget\n  3\nAcme Tools\n 90\n1025\n 91\n1\n280\n0\n281\n1\n");
    size_t entities = text.find("  2\nENTITIES\n");
    text.insert(text.find("  0\nENDSEC\n", entities),
                "  0\nACME_WIDGET\n  5\nFFF0\n102\n{ACME_STUFF\n  1\nkept\n102\n}\n330\n1F\n100\nAcDbEntity\n  8\n0\n"
                "100\nAcmeWidget\n 10\n1.25\n 20\n-7\n 30\n0\n1001\nACME\n1000\nwidget data\n1040\n3.5\n");
    insertBefore("  0\nENDSEC\n  0\nEOF", "  0\nACME_SETTINGS\n  5\nFFF1\n330\nA\n100\nAcmeSettings\n  1\nunits=furlongs\n");
    insertBefore("  0\nEOF", "  0\nSECTION\n  2\nACMEDATA\n 90\n3\n310\n0A0B0C\n  0\nACMEREC\n  1\nx\n  0\nENDSEC\n");
    return text;
}

}  // namespace

TEST(Save, KeepsWhatItDoesNotUnderstand) {
    std::string in = drawingWithUnknowns();
    auto db = readText(in);
    // Saved twice over, every piece comes back as it was written.
    std::string once, twice;
    ASSERT_TRUE(db->writeDxf(once, kTkDbVerR2010).ok());
    ASSERT_TRUE(readText(once)->writeDxf(twice, kTkDbVerR2010).ok());
    for (const char* piece :
         {"  0\nCLASS\n  1\nACME_WIDGET\n  2\nAcmeWidget\n  3\nAcme Tools\n 90\n1025\n",
          "  0\nACME_WIDGET\n  5\nFFF0\n102\n{ACME_STUFF\n  1\nkept\n102\n}\n330\n1F\n",
          "1001\nACME\n1000\nwidget data\n1040\n3.5\n",
          "  0\nACME_SETTINGS\n  5\nFFF1\n330\nA\n100\nAcmeSettings\n  1\nunits=furlongs\n",
          "  0\nSECTION\n  2\nACMEDATA\n 90\n3\n310\n0A0B0C\n  0\nACMEREC\n  1\nx\n  0\nENDSEC\n"}) {
        EXPECT_NE(once.find(piece), std::string::npos) << piece;
        EXPECT_NE(twice.find(piece), std::string::npos) << piece;
    }
    // The unknown handles count when new ones are given out.
    EXPECT_GT(readText(once)->handleSeed(), 0xFFF1u);
}

TEST(Save, VersionCodesPickTheDxfVersion) {
    auto db = makeThreeSheetDrawing();
    const std::pair<int, const char*> table[] = {{21, "AC1015"}, {23, "AC1015"}, {25, "AC1018"}, {27, "AC1021"},
                                                 {29, "AC1024"}, {31, "AC1027"}, {33, "AC1032"}};
    for (auto [code, acadver] : table) {
        std::string text;
        ASSERT_TRUE(db->writeDxf(text, code).ok()) << code;
        auto back = readText(text);
        EXPECT_EQ(back->getVar("$ACADVER"), acadver) << code;
        EXPECT_EQ(back->layouts().size(), 4u) << code;
    }
    std::string text;
    for (int bad : {0, 16, 22, 34, -1}) EXPECT_EQ(db->writeDxf(text, bad).code, eTkUnsupportedVersion) << bad;
    // R12 drawings read, but there is nothing to hang layouts on when saving them.
    auto r12 = readText("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n"
                        "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_EQ(r12->entityCounts().modelSpace, 1u);
    EXPECT_EQ(r12->writeDxf(text, kTkDbVerR2010).code, eTkUnsupportedVersion);
    // As R12 it saves as it was read.
    ASSERT_TRUE(r12->writeDxf(text, kTkDbVerR12).ok());
    EXPECT_NE(text.find("AC1009"), std::string::npos);
    EXPECT_EQ(readText(text)->entityCounts().modelSpace, 1u);
}

TEST(Save, TextBeyondAsciiInOldAndNewVersions) {
    auto db = makeThreeSheetDrawing();
    const std::string name = "\xC3\x89tage \xE5\xB9\xB3\xE9\x9D\xA2\xE5\x9B\xBE";  // "Étage 平面图"
    ASSERT_TRUE(db->renameLayout("Sheet B", name).ok());
    std::string r2004, r2010;
    ASSERT_TRUE(db->writeDxf(r2004, kTkDbVerR2004).ok());
    // Before R2007 a DXF file is in a code page (here Windows-1252): what it holds is written in it,
    // the rest as escapes.
    EXPECT_NE(r2004.find("\xC9tage \\U+5E73"), std::string::npos);
    auto back = readText(r2004);
    ASSERT_TRUE(back->findLayout(name)) << "layout name lost in R2004";
    ASSERT_TRUE(back->writeDxf(r2010, kTkDbVerR2010).ok());
    EXPECT_NE(r2010.find(name), std::string::npos);
    EXPECT_TRUE(readText(r2010)->findLayout(name));
}

TEST(Save, ReplacesTheFileAtomicallyAndKeepsItOnFailure) {
    ScratchDir dir;
    auto db = makeThreeSheetDrawing();
    std::string path = dir.file("A-101 plan.dwg");
    ASSERT_TRUE(db->saveAs(path, kTkDbVerR2010).ok());
    EXPECT_EQ(db->fileName(), path);
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(db->renameLayout("Sheet A", "Renamed").ok());
    ASSERT_TRUE(db->saveAs(path, kTkDbVerR2010).ok());
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "saving changed the drawing's permissions";
    std::string before = readFileText(path);

    // A disk that fills up while writing: the old drawing stays whole, no temporary file remains.
    ASSERT_TRUE(db->renameLayout("Renamed", "Renamed again").ok());
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 2048;
    ::setrlimit(RLIMIT_FSIZE, &small);
    TkDbResult r = db->saveAs(path, kTkDbVerR2010);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(r.code, eTkWriteFailed);
    EXPECT_NE(r.message.find(path), std::string::npos);
    EXPECT_EQ(readFileText(path), before);

    // A folder that does not exist, and a target that is a folder.
    EXPECT_EQ(db->saveAs(dir.file("no/such/folder/x.dwg"), kTkDbVerR2010).code, eTkWriteFailed);
    std::filesystem::create_directory(dir.file("taken"));
    EXPECT_EQ(db->saveAs(dir.file("taken"), kTkDbVerR2010).code, eTkWriteFailed);
    size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1u) << "a temporary file was left behind";
}
