// Reading drawings that are not what they should be: every case ends in an error value with a
// message (and a line where the file is at fault), never in a crash or a half-read database.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "tests/support/TestFiles.h"

namespace {

// A small drawing by hand: header, root dictionary and two xrecords. Handles at known lines.
std::string objectsDrawing(const std::string& secondHandle, const std::string& secondOwner) {
    return "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1024\n  0\nENDSEC\n"  // lines 1-10
           "  0\nSECTION\n  2\nOBJECTS\n"                                            // 11-14
           "  0\nDICTIONARY\n  5\nA\n330\n0\n100\nAcDbDictionary\n"                  // 15-22
           "  3\nfirst\n350\nB\n  3\nsecond\n350\n" + secondHandle + "\n"            // 23-30
           "  0\nXRECORD\n  5\nB\n330\nA\n100\nAcDbXrecord\n  1\none\n"              // 31-40
           "  0\nXRECORD\n  5\n" + secondHandle + "\n330\n" + secondOwner + "\n100\nAcDbXrecord\n 90\n2\n"  // 41-50
           "  0\nENDSEC\n  0\nEOF\n";
}

}  // namespace

TEST(ReadErrors, FilesThatAreNotDrawings) {
    ScratchDir dir;
    TkDbDatabase db;
    EXPECT_EQ(db.readDxfFile(dir.file("missing.dwg")).code, eTkFileNotFound);
    EXPECT_EQ(db.readDxfFile(dir.path().string()).code, eTkFileAccess);

    writeFileText(dir.file("real.dwg"), std::string("AC1032\0\0\0\x1f\x8b binary", 18));
    TkDbResult r = db.readDxfFile(dir.file("real.dwg"));
    EXPECT_EQ(r.code, eTkDwgNotSupported);
    EXPECT_NE(r.message.find("only DXF"), std::string::npos);

    writeFileText(dir.file("bin.dxf"), std::string("AutoCAD Binary DXF\r\n\x1a\0\0\0SECTION", 29));
    EXPECT_EQ(db.readDxfFile(dir.file("bin.dxf")).code, eTkBinaryDxf);

    writeFileText(dir.file("empty.dwg"), "");
    EXPECT_EQ(db.readDxfFile(dir.file("empty.dwg")).code, eTkNotDxf);
    writeFileText(dir.file("page.dwg"), "<html><body>not found</body></html>\n");
    EXPECT_EQ(db.readDxfFile(dir.file("page.dwg")).code, eTkNotDxf);
    writeFileText(dir.file("nul.dxf"), std::string("  0\nSECTION\n  2\nENTI\0TIES\n", 26));
    r = db.readDxfFile(dir.file("nul.dxf"));
    EXPECT_EQ(r.code, eTkNotDxf);
    EXPECT_EQ(r.line, 4);
    // A failed read leaves nothing behind that looks like a drawing.
    EXPECT_TRUE(db.sections().empty());
    EXPECT_TRUE(db.layouts().empty());
}

TEST(ReadErrors, CutAndDisorderedFilesNameTheLine) {
    TkDbDatabase db;
    std::string good = objectsDrawing("C", "A");
    ASSERT_TRUE(db.readDxfBuffer(good).ok());

    // Cut in the middle of the objects section: the section is not closed.
    TkDbResult r = db.readDxfBuffer(good.substr(0, good.find("  0\nENDSEC\n  0\nEOF")));
    EXPECT_EQ(r.code, eTkTruncated);
    EXPECT_GT(r.line, 40);
    // Cut after a group code.
    r = db.readDxfBuffer(good.substr(0, good.find("XRECORD") - 1));
    EXPECT_EQ(r.code, eTkTruncated);
    // Tags between sections.
    r = db.readDxfBuffer("  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n  8\nlayer\n  0\nEOF\n");
    EXPECT_EQ(r.code, eTkBadStructure);
    EXPECT_EQ(r.line, 7);
    r = db.readDxfBuffer("  0\nSECTION\n  8\nX\n  0\nENDSEC\n");
    EXPECT_EQ(r.code, eTkBadStructure);
    EXPECT_EQ(r.line, 3);
}

TEST(ReadErrors, DuplicateHandlesAndDanglingOwners) {
    // Strict reading refuses them, with the line.
    TkDbDatabase db;
    TkDbReadOptions strict;
    strict.recover = false;
    TkDbResult r = db.readDxfBuffer(objectsDrawing("B", "A"), strict);
    EXPECT_EQ(r.code, eTkDuplicateHandle);
    EXPECT_EQ(r.line, 41);
    EXPECT_NE(r.message.find("B"), std::string::npos);

    r = db.readDxfBuffer(objectsDrawing("C", "7F"), strict);
    EXPECT_EQ(r.code, eTkDanglingOwner);
    EXPECT_EQ(r.line, 45);
    EXPECT_NE(r.message.find("7F"), std::string::npos);

    r = db.readDxfBuffer(objectsDrawing("XYZ", "A"), strict);
    EXPECT_EQ(r.code, eTkBadHandle);

    // Drawings from other programs carry such defects: the default read takes them, reports what
    // it let pass, and gives a duplicate or malformed handle a fresh one so that a save cannot
    // write two objects with one handle.
    r = db.readDxfBuffer(objectsDrawing("B", "A"));
    ASSERT_TRUE(r.ok()) << r.describe();
    ASSERT_EQ(db.problems().size(), 1u);
    EXPECT_EQ(db.problems()[0].code, eTkDuplicateHandle);
    EXPECT_EQ(db.problems()[0].line, 41);
    std::string out;
    EXPECT_FALSE(db.writeDxf(out, kTkDbVerR2010).ok());  // no block table: not a drawing we can save
    ASSERT_TRUE(db.readDxfBuffer(objectsDrawing("C", "7F")).ok());
    EXPECT_EQ(db.problems().front().code, eTkDanglingOwner);
    ASSERT_TRUE(db.readDxfBuffer(objectsDrawing("XYZ", "A")).ok());
    EXPECT_EQ(db.problems().front().code, eTkBadHandle);
}

TEST(ReadErrors, SizeLimitRefusesWithoutReading) {
    ScratchDir dir;
    // A sparse 64 MiB file: refusing it must not read it.
    std::string big = dir.file("big.dwg");
    writeFileText(big, "  0\nSECTION\n");
    std::filesystem::resize_file(big, 64u << 20);
    TkDbDatabase db;
    TkDbReadOptions opt;
    opt.maxFileSize = 8u << 20;
    EXPECT_EQ(db.readDxfFile(big, opt).code, eTkFileTooLarge);
    // At the limit a drawing is still read.
    auto small = TkDbDatabase::createNew();
    ASSERT_TRUE(small->saveAs(dir.file("small.dwg"), kTkDbVerR2010).ok());
    opt.maxFileSize = std::filesystem::file_size(dir.file("small.dwg"));
    EXPECT_TRUE(db.readDxfFile(dir.file("small.dwg"), opt).ok());
    opt.maxFileSize -= 1;
    EXPECT_EQ(db.readDxfFile(dir.file("small.dwg"), opt).code, eTkFileTooLarge);
}

// A listing read passes over the entity sections without looking at their tags: texts that read
// "ENDSEC", CRLF line ends and empty sections must not end the pass early or late, and a fault
// after them is reported at the same line as a full read reports it.
TEST(ReadErrors, ListingReadPassesOverEntitiesExactly) {
    auto db = makeThreeSheetDrawing();
    for (const char* text : {"ENDSEC", "ENDSECTION", "  0"})
        db->addEntity(db->modelSpace(), "TEXT", {{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbText"}, {10, "0"}, {20, "0"},
                                                 {30, "0"}, {40, "2.5"}, {1, text}});
    std::string text;
    db->writeDxf(text, kTkDbVerR2010);
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string emptyEntities = text;
    size_t entities = emptyEntities.find("ENTITIES\n");
    size_t close = emptyEntities.find("\n  0\nENDSEC", entities);
    ASSERT_NE(close, std::string::npos);
    emptyEntities.erase(entities + 9, close + 1 - (entities + 9));

    auto names = [](const TkDbDatabase& d) {
        std::string out;
        for (const TkDbLayout& l : d.layouts()) out += l.name() + ";";
        return out;
    };
    for (const std::string* dxf : {&text, &crlf, &emptyEntities}) {
        TkDbDatabase full, listing;
        ASSERT_TRUE(full.readDxfBuffer(*dxf).ok());
        TkDbReadOptions opt;
        opt.listingOnly = true;
        ASSERT_TRUE(listing.readDxfBuffer(*dxf, opt).ok());
        EXPECT_EQ(names(listing), names(full));
        EXPECT_EQ(listing.getSysVar("ACADVER"), "AC1024");
        // A bad group code in the objects, after the entities.
        std::string broken = *dxf;
        size_t objects = broken.find("OBJECTS");
        ASSERT_NE(objects, std::string::npos);
        size_t codeLine = broken.find('\n', broken.find('\n', objects) + 1) + 1;  // the line after the next tag's code
        broken.insert(codeLine, "xx\n");
        TkDbDatabase a, b;
        TkDbResult ra = a.readDxfBuffer(broken), rb = b.readDxfBuffer(broken, opt);
        EXPECT_FALSE(ra.ok());
        EXPECT_EQ(ra.line, rb.line);
    }
}

// No program means nan or infinity by a coordinate, and nothing downstream can draw, measure or
// save one: the reader refuses the drawing at the group code's line, tolerant or not. Text that
// merely spells such a word, and numbers that are only large or small, read as before.
TEST(ReadErrors, NonFiniteNumbersAreRefusedAtTheirLine) {
    auto db = makeThreeSheetDrawing();
    db->addEntity(db->modelSpace(), "LINE", {{100, "AcDbLine"}, {10, "12345.5"}, {20, "1e+20"}, {30, "-0.0"}, {11, ".5"},
                                             {21, "1E-320"}, {31, "0"}, {1001, "ACAD"}, {1040, "777.25"}},
                  "inf");
    db->addEntity(db->modelSpace(), "TEXT", {{100, "AcDbText"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2.5"}, {1, "nan"}});
    std::string text;
    ASSERT_TRUE(db->writeDxf(text, kTkDbVerR2010).ok());
    TkDbDatabase back;
    ASSERT_TRUE(back.readDxfBuffer(text).ok());

    auto lineOfValue = [&](const std::string& dxf, const std::string& value) {
        return 1 + std::count(dxf.begin(), dxf.begin() + static_cast<std::ptrdiff_t>(dxf.find("\n" + value + "\n")), '\n');
    };
    TkDbReadOptions strict;
    strict.recover = false;
    for (const char* bad : {"nan", "-inf", "Infinity", "1.#INF", "-1.#IND", "1.#QNAN", "1e999", " -2E+400"})
        for (const char* where : {"12345.5", "777.25"}) {
            std::string broken = text;
            broken.replace(broken.find(std::string("\n") + where + "\n") + 1, std::strlen(where), bad);
            const int64_t codeLine = lineOfValue(text, where);  // the line of its group code
            for (const TkDbReadOptions& opt : {TkDbReadOptions{}, strict}) {
                TkDbDatabase d;
                TkDbResult r = d.readDxfBuffer(broken, opt);
                EXPECT_EQ(r.code, eTkBadNumber) << bad << " at " << where;
                EXPECT_EQ(r.line, codeLine) << bad;
                EXPECT_NE(r.message.find("not a finite number"), std::string::npos) << r.message;
                EXPECT_TRUE(d.sections().empty());
            }
        }
}
