#pragma once
// What tells one state of a file on disk from another: the inode it is (a save by rename makes a
// new one), its size and its modification time to the nanosecond. Two edits within one second
// differ in nanoseconds, size or inode, where a seconds-only time would call them the same.
#include <cstdint>
#include <string>

struct TkFileIdentity {
    uint64_t device = 0, inode = 0;
    int64_t size = -1;
    int64_t mtimeNs = 0;

    bool known() const { return size >= 0; }
    bool operator==(const TkFileIdentity&) const = default;

    // The identity of an open descriptor, or of the file a path names now; unknown on failure.
    static TkFileIdentity ofDescriptor(int fd);
    static TkFileIdentity ofPath(const std::string& utf8Path);
};
