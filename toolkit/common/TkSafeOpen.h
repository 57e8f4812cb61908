#pragma once
// Opening a file that someone else may have replaced with a link, a pipe or a device: the link is
// not followed, a pipe or device does not block the open, and anything but a regular file is
// refused. Used where we lock, create or replace files in folders anyone may write.
#include <string>

// A descriptor of the regular file at `path` (flags as for open(2); O_NOFOLLOW, O_NONBLOCK and
// O_CLOEXEC are added, and O_NONBLOCK dropped again once the file is known regular), or -1 with
// errno set: ELOOP for a link, EINVAL for a pipe, device, socket or folder. `followLinks` lets a
// link to a regular file through, for files only read.
int tkOpenRegularFile(const std::string& path, int flags, int mode = 0644, bool followLinks = false);
// Whether `path` names something other than a regular file or nothing (a link, pipe, device).
bool tkIsNotRegularFile(const std::string& path);
