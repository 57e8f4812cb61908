#pragma once
// What one user action did, the same for the palette and for drawkit: whether it landed and why
// not, what it changed, what it left alone and why, and the text to show. drawkit turns it into an
// exit code, the palette into a message box.
#include <vector>

#include "drawings/SheetSetLock.h"

// The reason the session gives a drawing whose title block it could not update.
inline constexpr const wchar_t* kTitleBlockNotUpdated = L"title block not updated";
// The reason given a sheet whose layout or drawing could not be renamed with it.
inline constexpr const wchar_t* kDrawingNotRenamed = L"drawing not renamed";
// The reason given what an edit did with an interrupted action's journal before it began.
inline constexpr const wchar_t* kRecovered = L"recovered";

struct ActionResult {
    enum Status {
        Done,         // applied and saved
        NothingToDo,  // the request changes nothing; nothing was saved
        Refused,      // the request cannot be applied as asked (see `message`); nothing changed
        Locked,       // someone else holds the set (see `holder`); nothing changed
        Unwritable,   // the set cannot be written (read-only, its folder not ours); nothing changed
        ReadFailed,   // the set changed on disk and cannot be read again
        SaveFailed,   // the change could not be saved; the set on disk is as it was
    };
    struct LeftAlone {
        TkString item;    // a drawing, a sheet or a row
        TkString reason;
        bool problem = true;  // false: left alone on purpose (stamped for another set, missing)
    };

    Status status = NothingToDo;
    TkString message;               // why, when it did not land
    SheetSetLockInfo holder;        // who holds the set, for Locked
    std::vector<TkString> changed;  // a line for each thing done ("moved L-102 to Landscape")
    std::vector<LeftAlone> leftAlone;
    bool reloaded = false;  // the set was read again: objects of the old one are gone

    bool landed() const { return status == Done || status == NothingToDo; }
    bool hasProblems() const;
    // 0 done (or nothing to do) with nothing left alone for a problem; 1 a refused request or
    // something left alone; 2 a set that cannot be read or written; 3 locked by someone else.
    int exitCode() const;
    // What a user is told when it did not land; empty when it did.
    TkString failureText(const TkString& setPath) const;

    static ActionResult refused(const TkString& why);
    static ActionResult nothingToDo(const TkString& why = {});
};
