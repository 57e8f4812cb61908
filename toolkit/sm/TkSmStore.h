#pragma once
// The .dst file format: UTF-8 XML, one element per object with its stable id, and a format version.
#include <string>

#include "toolkit/sm/TkSmDatabase.h"

class TkSmStore {
public:
    static constexpr int kFormat = 1;
    // Reads `path` into the empty database `db` and returns the identity of the file it read (taken
    // from the very descriptor it read, so a save by another process in between cannot mix up the
    // content of one file with the identity of the next). Raises TkException.
    static TkFileIdentity load(TkSmDatabase& db, const TkString& path);
    // The XML text of the database, with relative paths from `folder`.
    static std::string serialize(const TkSmDatabase& db, const TkString& folder);
    // Whether a file on disk is a sheet set data file this version can read.
    static bool isReadable(const std::string& utf8Path);
};
