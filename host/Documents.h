#pragma once
// Open drawings: the document manager, its documents and the reactors that follow them.
#include <memory>
#include <vector>

#include "host/VrTypes.h"

class TkDbDatabase;
class VrApDocument;

class VrApDocManagerReactor {
public:
    virtual ~VrApDocManagerReactor() = default;
    virtual void documentCreated(VrApDocument*) {}
    virtual void documentToBeDestroyed(VrApDocument*) {}
    // The document is out of the manager's list; the pointer is only an identity now.
    virtual void documentDestroyed(VrApDocument*) {}
    virtual void documentBecameCurrent(VrApDocument*) {}
    virtual void documentActivated(VrApDocument*) {}
    // Another layout of the drawing became its current one.
    virtual void layoutSwitched(VrApDocument*) {}
    // A layout of the drawing was renamed.
    virtual void layoutRenamed(VrApDocument*) {}
};

class VrApDocument {
public:
    ~VrApDocument();
    const TkString& fileName() const { return path_; }
    bool isReadOnly() const { return readOnly_; }
    TkDbDatabase* database() const { return db_.get(); }

private:
    friend class VrApDocManager;
    TkString path_;
    bool readOnly_ = false;
    int lockFd_ = -1;  // a drawing open for editing is held: others see it locked
    std::unique_ptr<TkDbDatabase> db_;
};

class VrApDocManager {
public:
    VrApDocManager();
    ~VrApDocManager();
    int documentCount() const { return static_cast<int>(docs_.size()); }
    VrApDocument* document(int i) const { return docs_.at(static_cast<size_t>(i)).get(); }
    VrApDocument* curDocument() const { return current_; }
    VrApDocument* mdiActiveDocument() const { return current_; }
    // Reads the drawing and makes it current; a drawing open already is only activated. False,
    // with the reader's message in `error`, when it cannot be read.
    bool openDocument(const TkString& path, bool readOnly, std::string* error = nullptr);
    void activateDocument(VrApDocument* doc);
    // Makes the layout of that exact name the drawing's current one; false when there is none.
    bool setCurrentLayout(VrApDocument* doc, const TkString& layoutName);
    // The host's layout manager: renames a layout of an open drawing (saved with the drawing).
    bool renameLayout(VrApDocument* doc, const TkString& from, const TkString& to);
    // The open document of that file (letter case aside), or null.
    VrApDocument* findDocument(const TkString& path) const;
    void closeDocument(VrApDocument* doc);
    // Saves the drawing over its file. The save replaces the file by rename, so the document's
    // hold moves to the new file at once: others keep seeing it locked. False, with the reason in
    // `error`, when the drawing is read-only or cannot be written.
    bool saveDocument(VrApDocument* doc, std::string* error = nullptr);
    void closeAll();
    void addReactor(VrApDocManagerReactor* r);
    void removeReactor(VrApDocManagerReactor* r);

private:
    std::vector<std::unique_ptr<VrApDocument>> docs_;
    VrApDocument* current_ = nullptr;
    std::vector<VrApDocManagerReactor*> reactors_;
};

VrApDocManager* vrDocManagerPtr();

// Who holds a drawing for editing, as the holder's note beside it says; empty when nobody holds it
// or the holder left no note.
TkString vrapDrawingHolder(const TkString& path);

// Opens a file the way the host's OPEN does: mode 0 a sheet set (handed to the sheet set service),
// 2 a drawing read-only, 4 a new sheet's drawing, 12 a drawing for editing. True on success.
bool vornOpenFile(const TkString& path, int mode);

// The service through which the host hands sheet set files to the module that manages them.
class INqSheetSetOpen : public CNqUnknown {
public:
    virtual bool openSheetSetFile(const TkString& path) = 0;
};

// The layout manager's rename on a drawing open in the host (the working database).
bool vrRenameLayout(VrApDocument* doc, const TkString& from, const TkString& to);

// Who holds a drawing, when the host knows: true and the holder's name and machine.
bool vrapGetDwgFileInfo(const TkString& path, TkString& holder, TkString& detail);
// The host's default save format code (the SAVEFORMAT variable).
int vrapDefaultSaveFormat();
