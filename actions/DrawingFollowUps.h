#pragma once
// The follow-ups a CAD manager runs on a set's drawings by hand, under the set's lock so that no
// colleague's edit lands in between: every title block brought up to date, and the stamps of a
// moved or copied project pointed at where the set is now. The set itself is not written.
#include "actions/EditSession.h"
#include "model/Restamp.h"

// Every drawing's title blocks as the set says now, not only the ones an edit changed.
ActionResult updateFields(EditSession& session, TitleBlockReport* report = nullptr);

// The stamps that find this set pointed at it; the others are named and left alone.
ActionResult restamp(EditSession& session, RestampReport* report = nullptr);
