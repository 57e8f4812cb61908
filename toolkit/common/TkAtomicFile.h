#pragma once
// Replacing a file so that a crash, a full disk or a failed write never leaves it half written: a
// temporary file in the same folder is written, flushed and renamed over the target, which keeps
// its permissions. Both drawings and sheet set data files are saved this way.
#include <string>
#include <string_view>

struct TkFileIdentity;

// Returns an empty string on success, else a one-line reason naming the file. `written`, when
// given, receives the identity the new file has under `path`. An active journal (TkFileJournal)
// notes the file first.

std::string tkWriteFileAtomically(const std::string& path, std::string_view data, TkFileIdentity* written = nullptr);
// Makes `backup` a copy of `path` (a hard link where the file system allows, else a real copy),
// replacing an older backup atomically. Empty string on success.
std::string tkBackupFile(const std::string& path, const std::string& backup);
// Removes a file (gone already is fine), noted first in an active journal. Empty on success.
std::string tkRemoveFile(const std::string& path);
// For tests: the `nthChange`-th write or removal from now fails as on a full disk (0 disarms).
void tkArmWriteFault(long nthChange);
