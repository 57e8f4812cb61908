#pragma once
// Locks on drawings and sheet set data files that hold across processes and on file servers:
// open file description locks (F_OFD_SETLK). Unlike flock they are honoured over NFS, and unlike
// classic POSIX record locks they are not dropped when some other descriptor of the same file is
// closed in the same process. A holder keeps a write lock; a tester only asks (F_OFD_GETLK).
#include <string>

#include "host/VrTypes.h"

// True when the file exists and another holder has it (or it cannot be opened for writing at all:
// read-only files and folders count as locked). False for a missing file.
bool isDrawingLocked(const TkString& path);

// Why a drawing is left alone when `isDrawingLocked` says so: the one wording of messages and reports.
const wchar_t* heldBySomeoneElseText();

// The file's last-write time as local calendar time in seconds since 1970 (0 for years before
// 1900); false when the file cannot be opened for reading.
bool getFileTime(const TkString& path, int64_t& time);

// One held file: opened for reading and writing with a write lock that others see.
class FileHold {
public:
    FileHold() = default;
    ~FileHold() { release(); }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    // Releases what is held, then opens and locks `path` (an existing file). True when held.
    bool hold(const TkString& path);
    // True if something was held.
    bool release();
    bool isHeld() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// One attempt, without waiting, at a whole-file open file description lock on `fd`: a write lock
// (the descriptor must be open for writing), or a read lock, which shuts out every writer.
bool tryLockFile(int fd, bool write);

// Whether any holder (another process, or another description in this one) has a lock on the file.
bool isFileHeldByOther(const std::string& utf8Path);
