#pragma once
// The rules names of sheet sets, subsets, sheets and selections follow, without any widget: the
// dialogs report a broken rule with their messages, scripted edits with an error text.
#include "host/VrTypes.h"

constexpr int kMaxTitleLength = 64, kMaxNumberLength = 32, kMaxSheetSetNameLength = 255;

// The thirteen characters names may not hold, in the order the message lists them.
const TkString& unsupportedNameCharacters();
bool hasUnsupportedCharacters(const TkString& name);
// A subset name as scripts give it: some character other than blanks, at most 64, none of the
// unsupported ones. False with `error` naming the rule.
bool checkSubsetName(const TkString& name, TkString& error);
