#pragma once
// The rules names of sheet sets, subsets, sheets and selections follow, without any widget: the
// dialogs report a broken rule with their messages, scripted edits with an error text.
#include "host/VrTypes.h"

constexpr int kMaxTitleLength = 64, kMaxNumberLength = 32, kMaxSheetSetNameLength = 255;
// Any other text a user, a CSV file or a script puts into the set and its drawings (descriptions,
// custom properties, project fields), and a custom property's name.
constexpr int kMaxValueLength = 2000, kMaxPropertyNameLength = 255;

// The first control character in `text` (a line break, a tab, U+0000-U+001F, U+007F-U+009F), or 0.
// A drawing keeps each value on one line, so such a character would break it for every reader.
wchar_t firstControlCharacter(const TkString& text);
// Text given for `field`: no control character and at most `limit` characters. False with
// `error` naming the field and the rule.
bool checkEnteredText(const TkString& field, const TkString& text, size_t limit, TkString& error);

// The thirteen characters names may not hold, in the order the message lists them.
const TkString& unsupportedNameCharacters();
bool hasUnsupportedCharacters(const TkString& name);
// A subset name as scripts give it: some character other than blanks, at most 64, none of the
// unsupported ones nor a control character. False with `error` naming the rule.
bool checkSubsetName(const TkString& name, TkString& error);
