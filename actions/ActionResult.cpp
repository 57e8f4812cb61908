#include "actions/ActionResult.h"

#include <algorithm>

bool ActionResult::hasProblems() const {
    return std::any_of(leftAlone.begin(), leftAlone.end(), [](const LeftAlone& l) { return l.problem; });
}

int ActionResult::exitCode() const {
    switch (status) {
    case Done:
    case NothingToDo: return hasProblems() ? 1 : 0;
    case Refused: return 1;
    case Locked: return holder.held ? 3 : 2;
    default: return 2;
    }
}

TkString ActionResult::failureText(const TkString& setPath) const {
    switch (status) {
    case Locked:
        if (holder.held) return L"The sheet set " + setPath + L" is locked by " + holder.describe() + L".";
        return L"The sheet set cannot be changed: " + message + L".";
    case Unwritable: return L"The sheet set cannot be changed: " + message + L".";
    case ReadFailed: return L"The sheet set was changed by someone else and cannot be read again: " + message;
    case SaveFailed: return L"The change could not be saved: " + message + L".";
    case Refused: return message;
    default: return {};
    }
}

ActionResult ActionResult::refused(const TkString& why) {
    ActionResult r;
    r.status = Refused;
    r.message = why;
    return r;
}

ActionResult ActionResult::nothingToDo(const TkString& why) {
    ActionResult r;
    r.message = why;
    return r;
}
