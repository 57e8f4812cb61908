#include "model/NameRules.h"

const TkString& unsupportedNameCharacters() {
    static const TkString chars = L"\\<>/?\":;*|,=`";
    return chars;
}

bool hasUnsupportedCharacters(const TkString& name) { return name.find_first_of(unsupportedNameCharacters()) != TkString::npos; }
