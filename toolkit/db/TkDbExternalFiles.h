#pragma once
// The files a drawing needs besides itself: the drawings its external references name and the
// images it shows, and where such a file is, looked for as CAD hosts look.
#include <string>
#include <vector>

class TkDbDatabase;

struct TkDbExternalFile {
    bool xref = false;   // else an image
    std::string stored;  // the path as the drawing stores it (absolute, relative, Windows separators)
};
// Every xref block (BLOCK flag 4) and image definition (IMAGEDEF) of the drawing, in file order.
std::vector<TkDbExternalFile> tkDbExternalFiles(const TkDbDatabase& db);
// The plain file `stored` names for the drawing at `hostDrawing`: the path as stored, then relative
// to the drawing's folder, then its file name in that folder. Empty when none is a plain file.
std::string tkDbFindExternalFile(const std::string& stored, const std::string& hostDrawing);
