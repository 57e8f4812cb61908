#include "model/NameRules.h"

#include <cwchar>

const TkString& unsupportedNameCharacters() {
    static const TkString chars = L"\\<>/?\":;*|,=`";
    return chars;
}

bool hasUnsupportedCharacters(const TkString& name) { return name.find_first_of(unsupportedNameCharacters()) != TkString::npos; }

wchar_t firstControlCharacter(const TkString& text) {
    for (wchar_t c : text)
        if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) return c;
    return 0;
}

bool checkEnteredText(const TkString& field, const TkString& text, size_t limit, TkString& error) {
    if (const wchar_t c = firstControlCharacter(text)) {
        wchar_t code[8];
        std::swprintf(code, sizeof code / sizeof *code, L"U+%04X", static_cast<unsigned>(c));
        error = field + L": holds a control character (" + code + (c == L'\n' || c == L'\r' ? L", a line break" : c == L'\t' ? L", a tab" : L"") +
                L"), which a drawing cannot keep; give the value on one line";
        return false;
    }
    if (text.size() > limit) {
        error = field + L": " + std::to_wstring(text.size()) + L" characters, at most " + std::to_wstring(limit);
        return false;
    }
    return true;
}

bool checkSubsetName(const TkString& name, TkString& error) {
    if (!checkEnteredText(L"the subset name", name, kMaxTitleLength, error)) return false;
    if (name.find_first_not_of(L" ") != TkString::npos && !hasUnsupportedCharacters(name) && name.size() <= static_cast<size_t>(kMaxTitleLength))
        return true;
    error = L"\"" + name + L"\" is not a subset name: at least one character and at most " + std::to_wstring(kMaxTitleLength) + L", none of " +
            unsupportedNameCharacters();
    return false;
}
