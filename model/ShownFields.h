#pragma once
// Which values each drawing's title blocks show, remembered between edits in the user's cache so
// that an edit reads only the drawings that show a value it changed: a set-wide property that no
// title block shows touches no drawing. A drawing is remembered with its state on disk (inode,
// size, time); one written since, by anyone, is read again. Forgetting is always safe: a drawing
// not remembered is read as it would be without the cache.
#include <map>
#include <set>
#include <string>

#include "toolkit/common/TkFileIdentity.h"
#include "toolkit/sm/TkSmError.h"

// The names a layout's title blocks ask for, as tkDbFieldName makes them ("SHEETNUMBER").
using ShownNames = std::set<std::string>;

// What one drawing shows, layout by layout (layout names in UTF-8), and the file it was seen in.
struct ShownInDrawing {
    TkFileIdentity identity;
    std::map<std::string, ShownNames> layouts;
};
using ShownByDrawing = std::map<TkString, ShownInDrawing>;

class ShownFieldsCache {
public:
    // The cache kept for the set at `setPath`, read from `folder` (the user's cache folder when
    // empty). Nothing is remembered when there is no folder or its file cannot be read.
    explicit ShownFieldsCache(const TkString& setPath, const TkString& folder = {});

    // What each of `files` showed when last seen, for those unchanged on disk since; drawings the
    // set no longer names are forgotten.
    ShownByDrawing current(const std::set<TkString>& files);
    void remember(const TkString& file, ShownInDrawing shown);
    // Writes what is remembered when it changed; a failure only costs reads next time.
    void save();

private:
    std::string path_;
    ShownByDrawing entries_;
    bool dirty_ = false;
};
