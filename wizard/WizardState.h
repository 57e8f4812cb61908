#pragma once
// What the pages of the new sheet set wizard share, and every step of it that needs no widget:
// the examples the wizard opened (a manager of its own, apart from the palette's), the new sheet
// set, the data file written by the details page and held until Finish or deleted by Back and
// Cancel, the remembered settings, and the set built from a tree of drawings. The pages only ask
// and show; tests drive these steps directly.
#include <memory>
#include <vector>

#include "model/DrawingFolders.h"
#include "model/SheetSetMgrImpl.h"
#include "wizard/WizardSettings.h"

class CreateShSheetState {
public:
    CreateShSheetState();
    ~CreateShSheetState();  // releases the held file (deleting it unless finished) and the new set
    CreateShSheetState(const CreateShSheetState&) = delete;
    CreateShSheetState& operator=(const CreateShSheetState&) = delete;

    CSheetSetMgrImpl& manager() { return manager_; }
    CSheetSetImpl* newSet() const { return newSet_; }
    WizardSettings settings;

    // Example page. The ".dst" files of `folder` that open, in the folder's order.
    std::vector<TkString> openExamples(const TkString& folder);
    // Copies the example's settings and subsets (no sheets) into the new set, once per example;
    // false when the file cannot be opened.
    bool showExample(const TkString& path);
    CSheetSet* shownExample() const;

    // Details page. The folder proposed for the new data file (created when missing).
    TkString proposedLocation();
    // "New Sheet Set (n)" with the first n from 1 whose name is no ".dst" file in `location`.
    static TkString proposedName(const TkString& location, const TkString& base);
    // True when `location` holds one of the characters a folder name may not (a path's
    // separators and drive colon are allowed).
    static bool locationHasInvalidCharacters(const TkString& location);
    // The data file for `name` in `location`: ".dst" appended unless the name ends in it.
    static TkString dataFilePath(const TkString& location, const TkString& name);
    // Writes the new set to `dataFile` and holds it; an earlier data file of this run is deleted
    // first. False when a file is there already (nothing written). A data file that cannot be
    // written is not held, and the wizard goes on.
    bool writeDataFile(const TkString& dataFile, const TkString& name, const TkString& description, const TkString& location);
    // Back from the confirm page: the held data file is let go and deleted.
    void dropDataFile();
    const TkString& dataFile() const { return dataFile_; }
    bool holdsDataFile() const { return heldFd_ >= 0; }

    // Details page, properties: the template proposed for a set that has none, the first set-up
    // layout of the drawing the profile names ("AlternativePageSetUpsTemplate"); false without one.
    static bool proposedTemplate(TkString& layout, TkString& handle, TkString& file);

    // Layouts page: the set's tree becomes the checked layouts of `tops`.
    int buildFromDrawings(const std::vector<ScannedFolder>& tops, const ImportOptions& options);

    // The confirm page's summary, as HTML.
    TkString summary(bool fromDrawings) const;

    // Finish: the set is saved, the drawings of its sheets stamped (`progress` told of them), and
    // the set handed back to the manager. `problems` lists drawings left unstamped.
    bool finish(std::vector<TkString>& problems);
    // Cancel: the held data file is deleted and the new set handed back.
    void cancel();
    bool finished() const { return finished_; }

private:
    void releaseHeld();
    CSheetSetMgrImpl manager_;
    CSheetSetImpl* newSet_ = nullptr;
    CSheetSet* shown_ = nullptr;
    TkString shownPath_, dataFile_;
    int heldFd_ = -1;
    bool finished_ = false;
};
