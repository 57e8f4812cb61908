#include "toolkit/db/TkDbEncoding.h"

#include "toolkit/common/TkUtf8.h"

#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

bool tkDbHasNonAscii(std::string_view s) {
    // Eight bytes at a time: whole drawings are checked when they are read.
    const char* p = s.data();
    size_t n = s.size();
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        if (w & 0x8080808080808080ull) return true;
    }
    for (; n; ++p, --n)
        if (static_cast<unsigned char>(*p) >= 0x80) return true;
    return false;
}

bool tkDbLegacyNeedsDecode(std::string_view buf) {
    return tkDbHasNonAscii(buf) || buf.find("\\U+") != std::string_view::npos ||
           buf.find("\\u+") != std::string_view::npos;
}

namespace {

// Windows-1252 for 0x80..0x9F; the rest of the upper half is Latin-1.
const uint16_t kCp1252High[32] = {0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                  0x2039, 0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                  0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178};

uint32_t cp1252(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b; }

std::string iconvName(std::string_view cp) {
    std::string s(cp);
    std::transform(s.begin(), s.end(), s.begin(), tkAsciiUpper);
    if (s == "ANSI_936") return "GBK";
    if (s == "ANSI_932") return "SHIFT_JIS";
    if (s == "ANSI_949") return "CP949";
    if (s == "ANSI_950") return "BIG5";
    if (s.starts_with("ANSI_")) return "CP" + s.substr(5);
    return "";
}

// Code page bytes to UTF-8; falls back to Windows-1252 byte by byte where iconv cannot decode.
std::string decodeCodepage(std::string_view in, std::string_view dwgCodepage) {
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    std::string name = iconvName(dwgCodepage);
    iconv_t cd = (name.empty() || name == "CP1252") ? reinterpret_cast<iconv_t>(-1) : iconv_open("UTF-8", name.c_str());
    size_t i = 0;
    while (i < in.size()) {
        // Copy ASCII runs directly; decode the non-ASCII runs.
        size_t j = i;
        while (j < in.size() && static_cast<unsigned char>(in[j]) < 0x80) ++j;
        out.append(in.data() + i, j - i);
        if (j >= in.size()) break;
        size_t k = j;
        while (k < in.size() && static_cast<unsigned char>(in[k]) >= 0x80) ++k;
        // Multi-byte code pages put ASCII-range trail bytes after a lead byte; take one more.
        if (k < in.size() && in[k] != '\n' && in[k] != '\r') ++k;
        size_t done = j;
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            char* src = const_cast<char*>(in.data() + j);
            size_t srcLeft = k - j;
            std::string tmp(srcLeft * 4 + 8, '\0');
            char* dst = tmp.data();
            size_t dstLeft = tmp.size();
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(tmp.data(), tmp.size() - dstLeft);
            done = static_cast<size_t>(src - in.data());
        }
        for (; done < k; ++done) tkAppendUtf8(cp1252(static_cast<unsigned char>(in[done])), out);
        i = k;
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string tkDbDecodeLegacyBuffer(std::string_view buf, std::string_view dwgCodepage) {
    std::string utf8 = tkDbHasNonAscii(buf) ? decodeCodepage(buf, dwgCodepage) : std::string(buf);
    if (utf8.find("\\U+") == std::string::npos && utf8.find("\\u+") == std::string::npos) return utf8;
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        if (utf8[i] == '\\' && i + 6 < utf8.size() + 0 && (utf8[i + 1] == 'U' || utf8[i + 1] == 'u') && utf8[i + 2] == '+') {
            int d0 = hexDigit(utf8[i + 3]), d1 = hexDigit(utf8[i + 4]), d2 = hexDigit(utf8[i + 5]), d3 = hexDigit(utf8[i + 6]);
            if (d0 >= 0 && d1 >= 0 && d2 >= 0 && d3 >= 0) {
                uint32_t cp = static_cast<uint32_t>((d0 << 12) | (d1 << 8) | (d2 << 4) | d3);
                size_t used = 7;
                // A surrogate pair written as two escapes.
                if (cp >= 0xD800 && cp < 0xDC00 && i + 13 < utf8.size() && utf8[i + 7] == '\\' && utf8[i + 9] == '+') {
                    int e0 = hexDigit(utf8[i + 10]), e1 = hexDigit(utf8[i + 11]), e2 = hexDigit(utf8[i + 12]), e3 = hexDigit(utf8[i + 13]);
                    uint32_t lo = static_cast<uint32_t>((e0 << 12) | (e1 << 8) | (e2 << 4) | e3);
                    if (e0 >= 0 && e1 >= 0 && e2 >= 0 && e3 >= 0 && lo >= 0xDC00 && lo < 0xE000) {
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                        used = 14;
                    }
                }
                // Control characters and lone surrogates stay escaped: decoding them would break lines.
                if (cp >= 0x20 && !(cp >= 0xD800 && cp < 0xE000)) {
                    tkAppendUtf8(cp, out);
                    i += used;
                    continue;
                }
            }
        }
        out.push_back(utf8[i++]);
    }
    return out;
}

void tkDbEncodeLegacyText(std::string_view s, std::string& out) { TkDbLegacyEncoder(std::string_view()).encode(s, out); }

TkDbLegacyEncoder::TkDbLegacyEncoder(std::string_view dwgCodepage) {
    std::string name = iconvName(dwgCodepage);
    if (name == "CP1252") {
        kind_ = Kind::Windows1252;
    } else if (!name.empty()) {
        iconv_t cd = iconv_open(name.c_str(), "UTF-8");
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_ = cd;
            kind_ = Kind::Iconv;
        }
    }
}

TkDbLegacyEncoder::~TkDbLegacyEncoder() {
    if (iconv_) iconv_close(static_cast<iconv_t>(iconv_));
}

bool TkDbLegacyEncoder::inCodepage(uint32_t cp, std::string& out) {
    if (kind_ == Kind::Windows1252) {
        // The inverse of the reader's table: Latin-1 above 0x9F, the table's characters in 0x80..0x9F.
        if (cp >= 0xA0 && cp <= 0xFF) {
            out.push_back(static_cast<char>(cp));
            return true;
        }
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == cp) {
                out.push_back(static_cast<char>(0x80 + i));
                return true;
            }
        return false;
    }
    if (kind_ != Kind::Iconv || cp >= 0x10000) return false;
    std::string one;
    tkAppendUtf8(cp, one);
    char buf[16];
    char* src = one.data();
    size_t srcLeft = one.size();
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    iconv_t cd = static_cast<iconv_t>(iconv_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft) return false;
    // A code page that would put a line break or a NUL in the text cannot be trusted with it.
    for (char* p = buf; p < dst; ++p)
        if (*p == '\n' || *p == '\r' || *p == '\0') return false;
    out.append(buf, static_cast<size_t>(dst - buf));
    return true;
}

void TkDbLegacyEncoder::encode(std::string_view s, std::string& out) {
    static const char* hex = "0123456789ABCDEF";
    auto esc = [&](uint32_t u) {
        out += "\\U+";
        out.push_back(hex[(u >> 12) & 15]);
        out.push_back(hex[(u >> 8) & 15]);
        out.push_back(hex[(u >> 4) & 15]);
        out.push_back(hex[u & 15]);
    };
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) { out.push_back(static_cast<char>(c)); ++i; continue; }
        size_t at = i;
        uint32_t cp = 0;
        if (!tkNextUtf8(s, i, cp)) {  // not UTF-8: keep the byte as its Latin-1 character
            esc(static_cast<unsigned char>(s[at]));
            continue;
        }
        if (inCodepage(cp, out)) continue;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            esc(0xD800 + (cp >> 10));
            esc(0xDC00 + (cp & 0x3FF));
        } else {
            esc(cp);
        }
    }
}
