// The tag layer: what other programs' DXF looks like at the byte level, and where it goes wrong.
#include <gtest/gtest.h>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbEncoding.h"
#include "toolkit/db/TkDbTagReader.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {
TkDbTagArray split(std::string_view text, TkDbResult* res = nullptr) {
    TkDbTagArray tags;
    TkDbResult r = tkDbSplitTags(text, tags);
    if (res) *res = r;
    else EXPECT_TRUE(r.ok()) << r.describe();
    return tags;
}
}  // namespace

TEST(TagStream, ReadsTheLineFormsThatProgramsWrite) {
    // Padded codes, CRLF endings, a byte order mark, values with inner and trailing spaces, an
    // empty value, and a last line without its newline.
    std::string text = "\xEF\xBB\xBF  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\n$X\n  1\nvalue with  spaces \n 1001\n\n-5\n12\n  0\nEOF";
    auto tags = split(text);
    ASSERT_EQ(tags.size(), 7u);
    EXPECT_EQ(tags[0].code, 0);
    EXPECT_EQ(tags[0].value(), "SECTION");
    EXPECT_EQ(tags[1].value(), "HEADER");
    EXPECT_EQ(tags[3].value(), "value with  spaces ");
    EXPECT_EQ(tags[4].code, 1001);
    EXPECT_EQ(tags[4].value(), "");
    EXPECT_EQ(tags[5].code, -5);
    EXPECT_EQ(tags[6].value(), "EOF");
    // Anything after EOF is ignored, trailing blank lines are harmless.
    EXPECT_EQ(split("  0\nEOF\ngarbage\n").size(), 1u);
    EXPECT_EQ(split("  0\nA\n\n\n").size(), 1u);
}

TEST(TagStream, ReportsBadCodesAndCutFilesWithTheirLine) {
    TkDbResult r;
    split("  0\nSECTION\n  2\nHEADER\nxyz\nfoo\n", &r);
    EXPECT_EQ(r.code, eTkBadGroupCode);
    EXPECT_EQ(r.line, 5);
    EXPECT_NE(r.message.find("xyz"), std::string::npos);
    split("  0\nSECTION\n  2\n", &r);
    EXPECT_EQ(r.code, eTkTruncated);
    EXPECT_EQ(r.line, 3);
    split("  0\nSECTION\n1234567\nx\n", &r);  // no group code has seven digits
    EXPECT_EQ(r.code, eTkBadGroupCode);
}

TEST(TagStream, TellsDwgAndBinaryDxfFromText) {
    EXPECT_EQ(tkDbSniff("AC1032\x00\x00\x01"), TkDbFileKind::Dwg);
    EXPECT_EQ(tkDbSniff("AC1015"), TkDbFileKind::Dwg);
    EXPECT_EQ(tkDbSniff(std::string_view("AutoCAD Binary DXF\r\n\x1a\0", 22)), TkDbFileKind::BinaryDxf);
    EXPECT_EQ(tkDbSniff("  0\nSECTION"), TkDbFileKind::AsciiDxf);
    EXPECT_EQ(tkDbSniff("999\ncomment"), TkDbFileKind::AsciiDxf);
    EXPECT_EQ(tkDbSniff("<html>"), TkDbFileKind::Unknown);
    EXPECT_EQ(tkDbSniff(""), TkDbFileKind::Empty);
}

TEST(TagStream, WritesCodesAlignedAndNumbersThatReadBack) {
    std::string out;
    TkDbTagWriter w(out);
    w.write(0, "LINE");
    w.write(1001, "ACAD");
    w.writeDouble(10, 0.1);
    w.writeDouble(20, 3.0);
    w.writeHandle(5, 0x2AF);
    EXPECT_EQ(out, "  0\nLINE\n1001\nACAD\n 10\n0.1\n 20\n3.0\n  5\n2AF\n");
    uint64_t h = 0;
    EXPECT_TRUE(tkDbParseHandle("2af", h));
    EXPECT_EQ(h, 0x2AFu);
    EXPECT_FALSE(tkDbParseHandle("", h));
    EXPECT_FALSE(tkDbParseHandle("12G", h));
    EXPECT_FALSE(tkDbParseHandle("11112222333344445", h));  // longer than 64 bits
    EXPECT_EQ(tkDbDoubleText(1e20), "1e+20");
}

TEST(TagStream, LegacyTextRoundTripsThroughUnicodeEscapes) {
    // Pre-R2007 files without a code page: non-ASCII text is written as \U+XXXX and decoded again on
    // reading, including characters beyond the basic plane (written as a surrogate pair).
    std::string name = "Grundri\xC3\x9F \xE5\xB9\xB3\xE9\x9D\xA2\xE5\x9B\xBE \xF0\x9F\x8F\xA0";
    std::string out;
    tkDbEncodeLegacyText(name, out);
    EXPECT_EQ(out.find_first_of("\x80\xFF"), std::string::npos);
    EXPECT_NE(out.find("\\U+00DF"), std::string::npos);
    EXPECT_EQ(tkDbDecodeLegacyBuffer(out, "ANSI_1252"), name);
    // Windows-1252 bytes of an old drawing become UTF-8; GBK bytes too when the code page says so.
    EXPECT_EQ(tkDbDecodeLegacyBuffer("Stra\xDF" "e \x80", "ANSI_1252"), "Stra\xC3\x9F" "e \xE2\x82\xAC");
    EXPECT_EQ(tkDbDecodeLegacyBuffer("\xC6\xBD\xC3\xE6", "ANSI_936"), "\xE5\xB9\xB3\xE9\x9D\xA2");
    // An escape of a control character stays as it is: decoding it would break the line structure.
    EXPECT_EQ(tkDbDecodeLegacyBuffer("a\\U+000Ab", "ANSI_1252"), "a\\U+000Ab");
}

// Old drawings are written back in their own code page wherever it holds the character, so text
// read and saved unchanged keeps its bytes; only what the code page lacks becomes an escape.
TEST(TagStream, LegacyTextIsWrittenInTheDrawingsCodePage) {
    auto encode = [](const char* codepage, const std::string& utf8) {
        std::string out;
        TkDbLegacyEncoder(codepage).encode(utf8, out);
        return out;
    };
    const std::string german = "Erdgescho\xC3\x9F \xE2\x80\x93 \xC3\x98 \xE2\x82\xAC";  // "Erdgeschoß – Ø €"
    const std::string cp1252 = "Erdgescho\xDF \x96 \xD8 \x80";
    EXPECT_EQ(encode("ANSI_1252", german), cp1252);
    EXPECT_EQ(tkDbDecodeLegacyBuffer(cp1252, "ANSI_1252"), german);
    EXPECT_EQ(encode("ansi_1252", "\xE5\xB9\xB3"), "\\U+5E73");  // not in the code page
    const std::string gbk = "\xC6\xBD\xC3\xE6";                     // "平面"
    EXPECT_EQ(encode("ANSI_936", "\xE5\xB9\xB3\xE9\x9D\xA2"), gbk);
    EXPECT_EQ(encode("ANSI_1251", "\xD0\x96"), "\xC6");                 // Cyrillic Zhe
    EXPECT_EQ(encode("", german), "Erdgescho\\U+00DF \\U+2013 \\U+00D8 \\U+20AC");  // no code page: escapes
    EXPECT_EQ(encode("ANSI_1252", "\xF0\x9F\x8F\xA0"), "\\U+D83C\\U+DFE0");
}

TEST(TagStream, ClassicMacLineEndingsRead) {
    TkDbDatabase db;
    std::string text = "  0\rSECTION\r  2\rENTITIES\r  0\rLINE\r  8\r0\r 10\r1\r 20\r2\r  0\rENDSEC\r  0\rEOF\r";
    ASSERT_TRUE(db.readDxfBuffer(text).ok());
    EXPECT_EQ(db.entityCounts().modelSpace, 1u);
}
