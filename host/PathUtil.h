#pragma once
// Path and string helpers of the host SDK.
#include "host/VrTypes.h"

bool vrutPathExists(const TkString& path);
// A relative path taken from the current folder, made plain ("a/./b/../c" is "a/c").
TkString vrutAbsolutePath(const TkString& path);
TkString vrutCombinePath(const TkString& folder, const TkString& name);
// Folder (with its trailing separator) and file name of a path.
void vrutSplitPath(const TkString& path, TkString& folder, TkString& file);
// The path with its extension replaced by `extension` (".dbl"); false when it has no file name.
bool vrutPathRenameExtension(TkString& path, const TkString& extension);
// Whether the path ends in `extension` (".dst"), letter case ignored.
bool vrutHasExtension(const TkString& path, const TkString& extension);
// Locale-neutral comparison, case ignored when asked: 1 less, 2 equal, 3 greater. Letter case is
// Unicode's simple case folding, whatever the process locale ("Ä"/"ä" match under C, "I"/"i"
// under Turkish): the one case-insensitive compare of the product.
int vrutCompareString(const TkString& a, const TkString& b, bool ignoreCase);
bool vrutSameTextNoCase(const TkString& a, const TkString& b);
// Whether two paths name the same file as sheets, stamps and references compare them: made
// absolute and plain, letter case ignored. The drawing cache keys paths exactly instead.
bool vrutSamePath(const TkString& a, const TkString& b);
// The text case-folded the same way, for keys that must ignore case.
TkString vrutFoldCase(TkString text);
// The folder the example sheet sets are in: the profile's "SheetSetTemplatePath" (section
// "General") when set, else the examples that came with the program (beside it when built, under
// share/ when installed).
TkString vrutSheetSetTemplatePath();
// This user's folder for what the program may forget and work out again ("vorn" in the
// desktop's cache folder); empty when there is none.
TkString vrutUserCacheFolder();
// Profile names under which per-user settings are kept.
TkString vrutProfileRootName();
TkString vrutProfileFileName();
