#include "model/NameRules.h"

const TkString& unsupportedNameCharacters() {
    static const TkString chars = L"\\<>/?\":;*|,=`";
    return chars;
}

bool hasUnsupportedCharacters(const TkString& name) { return name.find_first_of(unsupportedNameCharacters()) != TkString::npos; }

bool checkSubsetName(const TkString& name, TkString& error) {
    if (name.find_first_not_of(L" \t") != TkString::npos && !hasUnsupportedCharacters(name) && name.size() <= static_cast<size_t>(kMaxTitleLength))
        return true;
    error = L"\"" + name + L"\" is not a subset name: at least one character and at most " + std::to_wstring(kMaxTitleLength) + L", none of " +
            unsupportedNameCharacters();
    return false;
}
