#pragma once
// Who and where we are, for lock notes, "last saved by" and plot stamps: from the environment when
// it says, else from the system, so that cron jobs, services and containers (which often lack
// $USER) still name a real user and machine.
#include <string>

// $USER, else $LOGNAME, else the account of the effective user id; "uid N" when it has none.
std::string tkUserName();
// The host name; "localhost" when the system cannot tell.
std::string tkMachineName();
// Qt wants a private runtime folder and warns on every start when $XDG_RUNTIME_DIR is not set
// (services, cron, ssh without a session). This sets it to the folder Qt would fall back to,
// made private to the user, when that folder is safe to use; else leaves it to Qt.
void tkEnsureRuntimeDir();
