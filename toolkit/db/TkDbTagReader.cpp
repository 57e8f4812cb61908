#include "toolkit/db/TkDbTagReader.h"
#include "toolkit/db/TkDbCodes.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <cstddef>
#include <cstring>

TkDbFileKind tkDbSniff(std::string_view head) {
    if (head.empty()) return TkDbFileKind::Empty;
    if (head.starts_with("AutoCAD Binary DXF")) return TkDbFileKind::BinaryDxf;
    // DWG files open with their version string, "AC1015" and the like, and are binary after it.
    if (head.size() >= 6 && head.starts_with("AC") &&
        std::all_of(head.begin() + 2, head.begin() + 6, [](char c) { return (c >= '0' && c <= '9') || c == '.'; }))
        return TkDbFileKind::Dwg;
    // ASCII DXF: the first non-blank text is a group code (normally 0 or 999 for a comment).
    size_t i = 0;
    if (head.starts_with("\xEF\xBB\xBF")) i = 3;  // UTF-8 byte order mark written by some tools
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    if (i < head.size() && ((head[i] >= '0' && head[i] <= '9') || head[i] == '-')) return TkDbFileKind::AsciiDxf;
    return TkDbFileKind::Unknown;
}

int64_t tkDbLineOf(std::string_view buf, const char* pos) {
    if (pos < buf.data() || pos > buf.data() + buf.size()) return 0;
    return 1 + std::count(buf.data(), pos, '\n');
}

namespace {

// Parses a group code line: optional blanks, an optional minus, digits, optional blanks.
inline bool parseCode(const char* p, const char* e, int32_t& code) {
    while (p < e && (*p == ' ' || *p == '\t')) ++p;
    while (e > p && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\r')) --e;
    bool neg = false;
    if (p < e && *p == '-') { neg = true; ++p; }
    if (p == e || e - p > 6) return false;
    int32_t v = 0;
    for (; p < e; ++p) {
        unsigned d = static_cast<unsigned>(*p - '0');
        if (d > 9) return false;
        v = v * 10 + static_cast<int32_t>(d);
    }
    code = neg ? -v : v;
    return true;
}

// True when `v`, the value of a real group code, spells a number no drawing can hold: nan, an
// infinity (as C libraries print them, "1.#INF" included) or a decimal too large for a double.
// Plain decimals are told apart by their characters alone, so the common case costs one pass.
bool isNonFinite(std::string_view v) {
    bool letters = false, exponent = false;
    for (char c : v) {
        if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == ' ' || c == '\t' || c == '\r') continue;
        if (c == 'e' || c == 'E') exponent = true;
        else letters = true;
    }
    if (!letters && !exponent) return false;
    std::string text(v.substr(0, 64));
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (letters)
        return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos ||
               text.find("#ind") != std::string::npos || text.find("#q") != std::string::npos;
    const double d = std::strtod(text.c_str(), nullptr);
    return !std::isfinite(d);
}

}  // namespace

namespace {

// The start of the "0" line before the next "ENDSEC" line from `p`, or null. Lines alternate
// between codes and values, and "ENDSEC" is no code, so a line "0" just before it is its group
// code: a text value "ENDSEC" follows a code line of its own (1, 2, 3...), never "0".
const char* findEndOfSection(const char* p, const char* end) {
    static constexpr std::string_view kEnd = "\nENDSEC";
    for (const char* from = p; from < end;) {
        // memmem looks for the whole word at once; a search by its first byte stops at every line.
        const auto* hit = static_cast<const char*>(::memmem(from, static_cast<size_t>(end - from), kEnd.data(), kEnd.size()));
        if (!hit) return nullptr;
        from = hit + 1;
        const char* after = hit + kEnd.size();
        if (after < end && *after != '\r' && *after != '\n') continue;  // "ENDSECTION" and the like
        const char* codeStart = hit;
        while (codeStart > p && codeStart[-1] != '\n') --codeStart;
        int32_t code = -1;
        if (parseCode(codeStart, hit, code) && code == tkdxf::kStart) return codeStart;
    }
    return nullptr;
}

}  // namespace

TkDbResult tkDbSplitTags(std::string_view buf, TkDbTagArray& out, bool skipEntities) {
    const char* p = buf.data();
    const char* const end = p + buf.size();
    if (buf.starts_with("\xEF\xBB\xBF")) p += 3;
    if (buf.size() > 0xFFFFFFF0u)
        return TkDbResult::fail(eTkFileTooLarge, "the drawing is larger than 4 GB");
    out.reserve(out.size() + (skipEntities ? buf.size() / 64 : buf.size() / 11));
    int64_t line = 1;
    bool skipping = false;
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* codeEnd = nl ? nl : end;
        int32_t code = 0;
        if (!parseCode(p, codeEnd, code)) {
            // Blank lines at the very end of a file are harmless.
            if (std::all_of(p, end, [](char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == 0x1a; }))
                break;
            std::string shown(p, static_cast<size_t>(std::min<std::ptrdiff_t>(codeEnd - p, 20)));
            for (char& c : shown)
                if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) c = '?';
            return TkDbResult::fail(eTkBadGroupCode, "expected a group code, found \"" + shown + "\"", line);
        }
        if (!nl) return TkDbResult::fail(eTkTruncated, "the file ends after a group code, its value is missing", line);
        p = nl + 1;
        ++line;
        if (p >= end) return TkDbResult::fail(eTkTruncated, "the file ends after a group code, its value is missing", line - 1);
        nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* valEnd = nl ? nl : end;
        const char* ve = valEnd;
        if (ve > p && ve[-1] == '\r') --ve;
        const std::string_view value(p, static_cast<size_t>(ve - p));
        // Nothing downstream could draw, measure or save such a number, and no CAD program writes one.
        if (!skipping && tkDbValueKind(code) == TkDbValueKind::Double && isNonFinite(value)) {
            std::string shown(value.substr(0, 20));
            for (char& c : shown)
                if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) c = '?';
            return TkDbResult::fail(eTkBadNumber, "group code " + std::to_string(code) + " holds \"" + shown +
                                                      "\", which is not a finite number", line - 1);
        }
        if (!skipping || (code == tkdxf::kStart && value == "ENDSEC")) out.push_back(TkDbTag{p, static_cast<uint32_t>(ve - p), code});
        if (skipEntities) {
            if (code == tkdxf::kStart && value == "ENDSEC") skipping = false;
            // "0 SECTION" then "2 ENTITIES": what follows up to its ENDSEC is passed over.
            else if (code == tkdxf::kName && (value == "ENTITIES" || value == "BLOCKS") && out.size() >= 2 && out[out.size() - 2].code == tkdxf::kStart &&
                     out[out.size() - 2].value() == "SECTION")
                skipping = true;
        }
        if (code == tkdxf::kStart && value == "EOF") break;
        p = nl ? nl + 1 : end;
        ++line;
        if (skipping) {
            // Straight to the section's end: its tags are never looked at.
            if (const char* q = findEndOfSection(p, end)) {
                line += std::count(p, q, '\n');
                p = q;
            }
        }
    }
    return TkDbResult::success();
}
