#include "toolkit/sm/TkSmObject.h"

#include "toolkit/sm/TkSmDatabase.h"

const TkSmClass* TkSmObject::desc() {
    static const TkSmClass c{"TkSmObject", nullptr};
    return &c;
}

TkSmObject::~TkSmObject() = default;

void TkSmObject::initNew(TkSmObject* owner) {
    if (!owner) throw TkException(TkError_InvalidInput, "a new sheet set object needs an owner");
    owner_ = owner;
    db_ = owner->isKindOf(TkSmDatabase::desc()) ? static_cast<TkSmDatabase*>(owner) : owner->database();
    if (!db_) throw TkException(TkError_NotInDatabase, "the owner belongs to no sheet set database");
    if (id_ == 0) id_ = db_->allocateId();
    markModified();
}

void TkSmObject::markModified() {
    if (db_) db_->modified_ = true;
}

std::string tkToUtf8(const TkString& s) {
    std::string out;
    out.reserve(s.size());
    for (wchar_t wc : s) {
        uint32_t c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = 0xFFFD;  // not a character: replacement
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

TkString tkFromUtf8(const std::string& s) {
    TkString out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1Fu) : n == 3 ? (c & 0x0Fu) : (c & 0x07u);
        bool ok = n > 0 && i + static_cast<size_t>(n) <= s.size();
        for (int k = 1; ok && k < n; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            ok = (t & 0xC0) == 0x80;
            cp = (cp << 6) | (t & 0x3Fu);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += static_cast<size_t>(n);
    }
    return out;
}
