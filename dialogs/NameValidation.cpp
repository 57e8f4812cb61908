#include "dialogs/NameValidation.h"

#include <QApplication>
#include <QLineEdit>

#include <cwctype>

#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "model/SheetSetMessages.h"

namespace {

TkString kindWord(int kind) {
    if (kind == kNameKindSheet) return ssMessage(26101, L"Sheet");
    if (kind == kNameKindSubset) return ssMessage(26401, L"Subset");
    return ssMessage(26301, L"Sheet Set");
}

TkString title(int kind, int id, const wchar_t* def) { return kindWord(kind) + L" - " + ssMessage(id, def); }

TkString trimmed(const TkString& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::iswspace(s[b])) ++b;
    while (e > b && std::iswspace(s[e - 1])) --e;
    return s.substr(b, e - b);
}


}  // namespace

void ShowUnsupportedCharsMessage(int kind) {
    TkString list;
    for (wchar_t c : unsupportedNameCharacters()) {
        if (!list.empty()) list += L' ';
        list += c;
    }
    CVrUiTaskDialog dlg;
    dlg.setWindowTitle(title(kind, 25101, L"Unsupported Characters"));
    dlg.setMainInstruction(ssMessage(25102, L"The name contains unsupported characters."));
    dlg.setContent(ssMessage(25103, L"The following characters are not supported:\n") + list);
    dlg.setOptions(8);
    dlg.setParent(QApplication::activeWindow());
    dlg.doModal();
}

void ShowTooShortMessage(int kind) {
    VrUiMessageBox(title(kind, 25104, L"Text Length"), ssMessage(25105, L"The name must be at least one character long."), MB_OK);
}

void ShowTooLongMessage(int limit, int kind) {
    TkString text = vrFormatMessage(ssMessage(25106, L"The name cannot be longer than %d characters."), {std::to_wstring(limit)});
    VrUiMessageBox(title(kind, 25104, L"Text Length"), text, MB_OK);
}

void ShowNameExistsMessage(const TkString& name, int kind) {
    TkString text = vrFormatMessage(ssMessage(25108, L"The name, %s, is already in use.  "), {name});
    CVrUiTaskDialog dlg;
    dlg.setWindowTitle(title(kind, 25107, L"Name Already Exists"));
    dlg.setMainInstruction(text);
    dlg.setContent(ssMessage(25109, L"You will need to enter a different name."));
    dlg.setCommonButtons(CVrUiTaskDialog::kButtonClose);
    dlg.setOptions(8);
    dlg.setParent(QApplication::activeWindow());
    dlg.doModal();
}

bool CheckNameNotEmpty(QLineEdit* control, int kind) {
    if (!trimmed(control->text().toStdWString()).empty()) return true;
    ShowTooShortMessage(kind);
    control->setFocus();
    return false;
}

bool CheckNameCharacters(QLineEdit* control, int kind) {
    // A pasted tab or line break is refused like the characters names may not hold.
    const TkString name = control->text().toStdWString();
    if (!hasUnsupportedCharacters(name) && !firstControlCharacter(name)) return true;
    ShowUnsupportedCharsMessage(kind);
    selectAndFocus(control);
    return false;
}

bool IsNumberInUse(QLineEdit* control, const std::vector<UsedNumber>& used) {
    const QString number = control->text().trimmed();
    if (number.isEmpty()) return false;
    for (const UsedNumber& u : used) {
        if (QString::fromStdWString(u.number).trimmed().compare(number, Qt::CaseInsensitive) != 0) continue;
        CVrUiTaskDialog dlg;
        dlg.setWindowTitle(ssMessage(25110, L"Number Already Exists"));
        dlg.setMainInstruction(vrFormatMessage(ssMessage(25111, L"The sheet number, %s, is already used by %s."), {number.toStdWString(), u.sheet}));
        dlg.setContent(ssMessage(25112, L"Sheet numbers identify sheets in the index, the title blocks and scripts: enter another number."));
        dlg.setCommonButtons(CVrUiTaskDialog::kButtonClose);
        dlg.setOptions(8);
        dlg.setParent(QApplication::activeWindow());
        dlg.doModal();
        selectAndFocus(control);
        return true;
    }
    return false;
}

bool IsDuplicateName(QLineEdit* control, const TkString& first, const TkString& second,
                     const std::vector<TkString>& existing, int kind) {
    TkString name = !first.empty() && !second.empty() ? first + L" - " + second : (!first.empty() ? first : second);
    for (const TkString& e : existing)
        if (vrutSameTextNoCase(name, e)) {
            ShowNameExistsMessage(name, kind);
            selectAndFocus(control);
            return true;
        }
    return false;
}

void selectAndFocus(QLineEdit* control) {
    if (!control) return;
    control->selectAll();
    control->setCursorPosition(0);
    control->selectAll();
    control->setFocus();
}
