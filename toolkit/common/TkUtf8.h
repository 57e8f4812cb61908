#pragma once
// UTF-8, shared by the drawing database (DXF text) and the sheet-set library (wide strings).
#include <cstdint>
#include <string>
#include <string_view>

// Appends code point `cp` as UTF-8.
void tkAppendUtf8(uint32_t cp, std::string& out);
// Decodes the character at `i` and moves past it. False for a byte that starts no valid
// sequence; `i` then moves past that one byte.
bool tkNextUtf8(std::string_view s, size_t& i, uint32_t& cp);
bool tkIsValidUtf8(std::string_view s);

// Wide strings of the model (UTF-32 on this platform). Invalid input becomes U+FFFD.
std::string tkToUtf8(const std::wstring& s);
std::wstring tkFromUtf8(const std::string& s);

// Letter case of ASCII letters only, whatever the process locale: a Turkish or Latin-1 locale must
// not turn "i" into a dotted capital or touch the bytes of a UTF-8 sequence.
inline char tkAsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
inline char tkAsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
