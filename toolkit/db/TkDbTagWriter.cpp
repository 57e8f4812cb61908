#include "toolkit/db/TkDbTagWriter.h"

#include <charconv>
#include <cstring>

#include "toolkit/db/TkDbEncoding.h"

TkDbValueKind tkDbValueKind(int c) {
    if (c >= 10 && c <= 59) return TkDbValueKind::Double;
    if (c >= 60 && c <= 99) return TkDbValueKind::Integer;
    if (c == 105) return TkDbValueKind::Handle;
    if (c >= 110 && c <= 149) return TkDbValueKind::Double;
    if (c >= 160 && c <= 179) return TkDbValueKind::Integer;
    if (c >= 210 && c <= 239) return TkDbValueKind::Double;
    if (c >= 270 && c <= 289) return TkDbValueKind::Integer;
    if (c >= 290 && c <= 299) return TkDbValueKind::Bool;
    if (c >= 310 && c <= 319) return TkDbValueKind::Binary;
    if (c >= 320 && c <= 369) return TkDbValueKind::Handle;
    if (c >= 370 && c <= 389) return TkDbValueKind::Integer;
    if (c >= 390 && c <= 399) return TkDbValueKind::Handle;
    if (c >= 400 && c <= 409) return TkDbValueKind::Integer;
    if (c >= 420 && c <= 429) return TkDbValueKind::Integer;
    if (c >= 440 && c <= 459) return TkDbValueKind::Integer;
    if (c >= 460 && c <= 469) return TkDbValueKind::Double;
    if (c >= 480 && c <= 481) return TkDbValueKind::Handle;
    if (c == 1004) return TkDbValueKind::Binary;
    if (c == 1005) return TkDbValueKind::Handle;
    if (c >= 1010 && c <= 1059) return TkDbValueKind::Double;
    if (c >= 1060 && c <= 1071) return TkDbValueKind::Integer;
    return TkDbValueKind::String;
}

void TkDbTagWriter::writeCode(int code) {
    char buf[16];
    // Codes are right-aligned in three columns, as CAD programs write them.
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, code);
    (void)ec;
    size_t n = static_cast<size_t>(p - buf);
    if (n < 3) out_.append(3 - n, ' ');
    out_.append(buf, n);
    out_.push_back('\n');
}

void TkDbTagWriter::write(int code, std::string_view value) {
    writeCode(code);
    if (value.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos) {
        if (failure_.empty()) failure_ = "a value of group code " + std::to_string(code) + " holds a line break or NUL, which DXF cannot carry";
        std::string flat(value);
        for (char& c : flat)
            if (c == '\n' || c == '\r' || c == '\0') c = ' ';
        out_.append(flat);
        out_.push_back('\n');
        return;
    }
    if (legacy_ && tkDbHasNonAscii(value))
        legacy_->encode(value, out_);
    else
        out_.append(value);
    out_.push_back('\n');
}

void TkDbTagWriter::writeDouble(int code, double v) { write(code, tkDbDoubleText(v)); }

void TkDbTagWriter::writeInt(int code, long long v) {
    char buf[24];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    write(code, std::string_view(buf, static_cast<size_t>(p - buf)));
}

void TkDbTagWriter::writeHandle(int code, uint64_t h) { write(code, tkDbHandleText(h)); }

std::string tkDbHandleText(uint64_t h) {
    char buf[20];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, h, 16);
    (void)ec;
    std::string s(buf, static_cast<size_t>(p - buf));
    for (char& c : s)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool tkDbParseHandle(std::string_view s, uint64_t& h) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    if (s.empty() || s.size() > 16) return false;
    uint64_t v = 0;
    for (char c : s) {
        unsigned d;
        if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
        else return false;
        v = (v << 4) | d;
    }
    h = v;
    return true;
}

std::string tkDbDoubleText(double v) {
    char buf[40];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (ec != std::errc()) return "0.0";
    std::string s(buf, static_cast<size_t>(p - buf));
    // Keep a decimal point so other readers see a real number, "1.0" rather than "1".
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
}
