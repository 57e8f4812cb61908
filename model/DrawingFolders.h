#pragma once
// A sheet set made from folders of existing drawings: the folders are scanned for drawings and
// their set-up paper layouts (in parallel, off the caller's thread if it likes), and every chosen
// layout becomes a sheet, numbered 1, 2, 3 ... in tree order, optionally in subsets that follow the
// folders. The wizard's layout tree shows the scan with check boxes; drawkit new-set uses it whole.
#include <atomic>
#include <functional>
#include <vector>

#include "model/SheetSetImpl.h"

struct ScannedLayout {
    TkString name;
    uint32_t handle = 0;  // low 32 bits, as the sheet keeps it ("%X")
    bool checked = true;
};

struct ScannedDrawing {
    TkString path, name;  // name: the file name as shown, extension included
    std::vector<ScannedLayout> layouts;
    bool checked = true;
};

struct ScannedFolder {
    TkString path, name;
    std::vector<ScannedFolder> folders;  // subfolders first, then drawings, each by name
    std::vector<ScannedDrawing> drawings;
    bool checked = true;
    bool empty() const { return folders.empty() && drawings.empty(); }
};

// What the scan left out, one line each with the reason.
struct FolderScanReport {
    std::vector<TkString> stamped;      // belong to a sheet set already
    std::vector<TkString> noLayouts;    // no paper layout set up (no overall viewport)
    std::vector<TkString> unreadable;   // with the reader's reason
    int drawingsRead = 0;
};

struct FolderScanControl {
    std::function<void(int done, int total)> progress;  // called from the scanning threads' caller
    std::atomic<bool>* cancel = nullptr;                 // set to stop early; what was read is kept
    unsigned threads = 0;                                // 0: as many as the machine has
};

// Drawings are ".dwg" and ".dxf" files (any DXF program's), letter case aside. Folders without a
// drawing anywhere below them are left out.
ScannedFolder scanDrawingFolder(const TkString& folder, FolderScanReport& report, const FolderScanControl& control = {});

struct ImportOptions {
    bool prefixSheetWithFileName = false;  // titles "drawing - layout"
    bool subsetsBasedOnFolders = false;
    bool ignoreTopLevelFolder = false;     // the first top folder is no subset of its own
};

// Replaces the set's tree with the checked layouts of `tops`. Returns the number of sheets made.
int buildSheetsFromFolders(CSheetSetImpl& set, const std::vector<ScannedFolder>& tops, const ImportOptions& options);
