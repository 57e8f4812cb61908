#pragma once
// Text encodings of DXF. R2007 and later files are UTF-8; older ones are in the code page named by
// $DWGCODEPAGE, with \U+XXXX escapes for anything outside it. Inside the database all text is UTF-8.
#include <string>
#include <string_view>

bool tkDbHasNonAscii(std::string_view s);
// True when a pre-R2007 buffer holds anything that decoding would change.
bool tkDbLegacyNeedsDecode(std::string_view buf);
// Decodes a pre-R2007 buffer to UTF-8: code page bytes and \U+XXXX escapes. Bytes the code page
// cannot decode are taken as Windows-1252, so nothing is dropped.
std::string tkDbDecodeLegacyBuffer(std::string_view buf, std::string_view dwgCodepage);
// Appends UTF-8 `s` with every non-ASCII character written as \U+XXXX.
void tkDbEncodeLegacyText(std::string_view s, std::string& out);

// Writes pre-R2007 text the way CAD programs of those versions do: in the drawing's code page
// wherever it holds the character, as \U+XXXX only where it does not. A drawing read and saved
// unchanged keeps its text bytes. An unknown code page escapes everything beyond ASCII.
class TkDbLegacyEncoder {
public:
    explicit TkDbLegacyEncoder(std::string_view dwgCodepage);
    ~TkDbLegacyEncoder();
    TkDbLegacyEncoder(const TkDbLegacyEncoder&) = delete;
    TkDbLegacyEncoder& operator=(const TkDbLegacyEncoder&) = delete;
    void encode(std::string_view utf8, std::string& out);

private:
    bool inCodepage(uint32_t cp, std::string& out);
    enum class Kind { EscapeAll, Windows1252, Iconv } kind_ = Kind::EscapeAll;
    void* iconv_ = nullptr;
};
