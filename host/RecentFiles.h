#pragma once
// The host's list of recently opened drawings and sheet sets, most recent first, kept per user.
// The host window keeps it; modules tell it of the files they open for the user (a sheet set
// opened in a palette). Without a window (batch runs, tests) nothing is recorded: a script's
// files are not the user's recent work.
#include <vector>

#include "host/VrTypes.h"

constexpr int kVrRecentFilesMax = 9;

std::vector<TkString> vrRecentFiles();
// Puts the file at the top; the same file further down (as paths compare) goes, and the list
// keeps at most kVrRecentFilesMax entries. Does nothing while the host keeps no list.
void vrAddRecentFile(const TkString& path);
void vrRemoveRecentFile(const TkString& path);
// The host window turns the list on while it is open.
void vrKeepRecentFiles(bool keep);
