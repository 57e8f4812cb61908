#pragma once
// A record of the files one action changes, written and flushed before each change, so that an
// action cut short (the process killed, the disk full) is undone, or finished, by the next one.
//
// While a journal is active, the atomic writer and tkRemoveFile note each file in it before they
// change it: a file about to be replaced or removed is kept as a hard link beside it (a copy where
// the file system has no links), a file about to be made is noted as new; after a write the new
// file's identity is noted too, before it is put in place. Each file is noted once per action, so the kept copy is always the
// file as it was before the action. Undoing goes in reverse and touches only what the action left:
// a file someone changed since keeps their change (its earlier copy stays beside it, and is named).
//
// Only files inside the journal's folder are journaled (the set's project folder): a journal lies
// in a shared folder, so whoever planted one can make recovery touch nothing outside it. The writer
// holds a lock on the journal while it lives: no recovery runs under a live action.
//
//   TkFileJournal journal("/p/Set.dst.journal");
//   TkFileJournal::Scope active(journal);
//   ... write drawings, then the set ...
//   if (journal.failure().empty() && journal.commit().empty()) ... else journal.rollBack();
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "toolkit/common/TkFileIdentity.h"

class TkFileJournal {
public:
    explicit TkFileJournal(std::string journalPath);
    ~TkFileJournal();  // a journal neither committed nor rolled back is rolled back
    TkFileJournal(const TkFileJournal&) = delete;
    TkFileJournal& operator=(const TkFileJournal&) = delete;

    // Makes the journal the one the writers note their changes in, for the scope's life.
    class Scope {
    public:
        explicit Scope(TkFileJournal& journal);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        TkFileJournal* previous_;
    };
    static TkFileJournal* active();

    // A file whose change alone needs no journal (the set's own save, atomic by itself): it is
    // noted only once some other file was.
    void noteOnlyWithOthers(const std::string& path);

    // Called by the writers before they change `path`; an empty string when they may go on, else
    // why not (the journal could not be written: nothing may change then).
    std::string beforeWrite(const std::string& path);
    std::string beforeRemove(const std::string& path);
    // Notes many existing files about to be written with one flush (an action that writes them all).
    std::string beforeWriteAll(const std::vector<std::string>& paths);
    // Called by the writer just before it puts a finished file in place at `path` (the identity
    // stays the same through the rename).
    void beforePlace(const std::string& path, const TkFileIdentity& written);
    // A write that failed: the action cannot complete as asked.
    void noteFailure(const std::string& reason);
    std::string failure() const;
    bool started() const;  // a step was written: there is something to undo
    size_t fileCount() const;

    // The action is complete: marked so on disk, then the kept copies and the journal removed.
    // Empty on success; on failure nothing is marked and the caller rolls back.
    std::string commit();
    // Undoes every step in reverse (once: later calls do nothing) and removes the journal unless
    // something could not be put back; the problems met, empty when all is as before the action.
    std::vector<std::string> rollBack();
    // How many files the last rollBack put back or removed.
    size_t filesUndone() const { return undone_; }

    // A journal left behind by an action that did not end.
    struct Found {
        bool exists = false;
        bool running = false;    // its action's process is still at work
        bool committed = false;  // it reached its end: recovering finishes it
        std::vector<std::string> files;  // the files it changed or made
        std::string error;               // the journal cannot be read, or names what it may not
    };
    static Found inspect(const std::string& journalPath);
    // Finishes a committed journal (its kept copies go) or rolls back any other; what was done, as
    // one line, and the problems met in `problems` (then the journal stays for another try). Empty
    // when there was no journal. A journal whose action still runs is left alone, with a problem.
    static std::string recover(const std::string& journalPath, std::vector<std::string>& problems);

private:
    struct Step {
        char kind;           // 'W' written (replaced or made), 'D' removed
        std::string path;
        std::string backup;  // empty: the file was not there before
        std::vector<TkFileIdentity> written;  // the files the action put there, when known
    };
    std::string relative(const std::string& path) const;
    std::string lineOf(const Step& step) const;
    std::string append(const Step& step);
    std::string appendText(const std::string& lines, bool flush);
    Step makeStep(char kind, const std::string& path);
    bool inside(const std::string& path) const;
    static std::vector<std::string> undo(const std::vector<Step>& steps, size_t& undone);
    static bool parse(const std::string& text, const std::string& journalPath, std::vector<Step>& steps, bool& committed, std::string& error);
    void close();

    std::string path_, folder_;
    mutable std::mutex mutex_;
    int fd_ = -1;
    std::vector<Step> steps_;
    std::set<std::string> noted_;
    std::set<std::string> onlyWithOthers_;
    std::string failure_;
    bool ended_ = false;
    unsigned counter_ = 0;
    size_t undone_ = 0;
};
