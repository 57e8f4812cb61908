#include "toolkit/common/TkUtf8.h"

void tkAppendUtf8(uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool tkNextUtf8(std::string_view s, size_t& i, uint32_t& cp) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    uint32_t v = n == 1 ? c : n == 2 ? (c & 0x1Fu) : n == 3 ? (c & 0x0Fu) : (c & 0x07u);
    bool ok = n > 0 && i + static_cast<size_t>(n) <= s.size();
    for (int k = 1; ok && k < n; ++k) {
        unsigned char t = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        ok = (t & 0xC0) == 0x80;
        v = (v << 6) | (t & 0x3Fu);
    }
    if (!ok) {
        ++i;
        return false;
    }
    i += static_cast<size_t>(n);
    cp = v;
    return true;
}

bool tkIsValidUtf8(std::string_view s) {
    uint32_t cp;
    for (size_t i = 0; i < s.size();)
        if (!tkNextUtf8(s, i, cp)) return false;
    return true;
}

std::string tkToUtf8(const std::wstring& s) {
    std::string out;
    out.reserve(s.size());
    for (wchar_t wc : s) {
        uint32_t c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = 0xFFFD;  // not a character: replacement
        tkAppendUtf8(c, out);
    }
    return out;
}

std::wstring tkFromUtf8(const std::string& s) {
    std::wstring out;
    out.reserve(s.size());
    uint32_t cp = 0;
    for (size_t i = 0; i < s.size();) out.push_back(static_cast<wchar_t>(tkNextUtf8(s, i, cp) ? cp : 0xFFFD));
    return out;
}
