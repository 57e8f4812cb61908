#pragma once
// One user action's hold on a sheet set, from its first read to its last write: the edit lock
// taken, an interrupted action's journal finished or undone, the set read again if someone saved
// it meanwhile, the core's change applied, then the title blocks of the drawings whose shown
// values changed brought up to date and the set saved, all before the lock is let go. Every file
// the action writes is noted in a journal beside the set first: what is not committed, or fails
// half way, is undone whole, and the set is read again from disk.
//
//   EditSession session(mgr, mgr.getCurrent());       // or EditSession session(L"/p/Set.dst")
//   if (!session.begin(waitMs)) return session.failure();
//   ... find items by id in session.set(), change them ...
//   return session.commit(result);                    // or just return: the destructor drops it
#include <functional>
#include <memory>

#include "actions/ActionResult.h"
#include "model/SheetSetMgrImpl.h"
#include "model/TitleBlocks.h"
#include "toolkit/common/TkFileJournal.h"

class TkDbDatabase;

class EditSession {
public:
    // The set the manager keeps at `index` (the palette's open set). A reload replaces the
    // manager's object, so callers find their items again through `set()` after `begin`.
    EditSession(CSheetSetMgrImpl& mgr, int index);
    // A set file opened for this session alone (scripts, tests).
    explicit EditSession(const TkString& setPath);
    ~EditSession();
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    // Takes the edit lock, waiting up to `waitMs` for another editor, and reads the set again when
    // its file is no longer the one read. False with `failure()` saying why; nothing was written.
    bool begin(int waitMs = 0);
    bool isHeld() const;
    const ActionResult& failure() const { return failure_; }
    // The set under the lock; null before `begin` succeeded and after the session ended.
    CSheetSetImpl* set() const;
    const TkString& setPath() const { return path_; }
    CSheetSetMgrImpl& manager() const { return *mgr_; }
    // Whether the set object was replaced since the session was made (read again, or changes
    // dropped): pointers into the set the caller had before are gone.
    bool replacedSet() const { return replaced_; }

    // Drawings open for editing in the host: their title blocks are updated in the open document.
    std::function<TkDbDatabase*(const TkString& file)> openDrawing;
    // Runs long work (many drawings) where the user sees its progress; by default, right here.
    using Progress = std::function<void(int done, int total)>;
    std::function<void(const TkString& what, const std::function<void(const Progress&)>& work)> runLong;
    // Renames a layout in a drawing open for editing in the host (its tab follows); false when the
    // drawing is not open here, and the layout is then renamed on disk.
    std::function<bool(const TkString& file, const TkString& from, const TkString& to)> renameLayoutOpenHere;
    // The journal of the files this session's action writes; null before `begin` succeeded. A core
    // run through runCore writes into it.
    TkFileJournal* journal() const { return journal_.get(); }
    // Every drawing's title blocks are brought up to date on commit, not only the changed ones.
    void followAllTitleBlocks() { followAll_ = true; }

    // Ends the session with the core's result: when Done, the title blocks that show something
    // else now are updated (drawings held by someone else, or that belong to another set, are named
    // in the result), then the set is saved, then the lock is let go. Any other status, or any file
    // of the action that could not be written, undoes every file the action wrote and drops the
    // change. The result returned says what happened and what is on disk now.
    ActionResult commit(ActionResult result);
    // Lets go of the lock without saving: for a session whose core never ran (a cancelled dialog).
    void abandon();


private:
    void readAgain();
    void release();
    void followTitleBlocks(ActionResult& result);


    std::unique_ptr<CSheetSetMgrImpl> own_;
    CSheetSetMgrImpl* mgr_;
    int index_;
    TkString path_;
    std::unique_ptr<CSheetSetLock> lock_;
    TitleBlockDigest shownBefore_;
    std::unique_ptr<ShownFieldsCache> shownCache_;  // what the drawings' title blocks showed when last read
    ShownByDrawing shown_;                          // the part of it still true on disk
    ActionResult failure_;
    bool replaced_ = false;
    bool followAll_ = false;
    TitleBlockReport titleBlocks_;
    std::unique_ptr<TkFileJournal> journal_;
    TkString recovered_;  // what was done with a journal found at the start

public:
    // After commit: what the title blocks' update did.
    const TitleBlockReport& titleBlockReport() const { return titleBlocks_; }
};

// Runs a core in a session begun; a core that throws has its changes dropped and is refused.
ActionResult runCore(EditSession& session, const std::function<ActionResult(EditSession&)>& core);
// Runs a core on a set file in a session of its own: the shape of every drawkit verb.
ActionResult runAction(const TkString& setPath, int waitMs, const std::function<ActionResult(EditSession&)>& core);
