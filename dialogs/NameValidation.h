#pragma once
// The rules every dialog applies to names of sheet sets, subsets, sheets and selections, and the
// messages that report a broken rule. Kind: 0 sheet (and selection), 1 subset, other sheet set.
#include <vector>

#include "host/VrTypes.h"
#include "model/NameRules.h"

class QLineEdit;

constexpr int kNameKindSheet = 0, kNameKindSubset = 1, kNameKindSheetSet = 2;

void ShowUnsupportedCharsMessage(int kind);
void ShowTooShortMessage(int kind);
void ShowTooLongMessage(int limit, int kind);
void ShowNameExistsMessage(const TkString& name, int kind);

// Checks on an edit control: true when the name passes; on failure the message is shown, the
// text selected and the focus given to the control.
// The field's whole text selected and the field focused, so that what the user types replaces it.
void selectAndFocus(QLineEdit* control);
bool CheckNameNotEmpty(QLineEdit* control, int kind);
bool CheckNameCharacters(QLineEdit* control, int kind);
// True when "first - second" (or the part that is present) equals an existing name, case ignored.
bool IsDuplicateName(QLineEdit* control, const TkString& first, const TkString& second,
                     const std::vector<TkString>& existing, int kind);
// A sheet number and the sheet that carries it.
struct UsedNumber {
    TkString number, sheet;
};
// True, after saying which sheet has it, when the number in `control` is one of `used` (blanks
// around it and letter case aside): a number addresses one sheet anywhere in the set.
bool IsNumberInUse(QLineEdit* control, const std::vector<UsedNumber>& used);
