#pragma once
// A record of the files one action changes, written and flushed before each change, so that an
// action cut short (the process killed, the disk full) is undone, or finished, by the next one.
//
// While a journal is active, the atomic writer and tkRemoveFile note each file in it before they
// change it: a file about to be replaced or removed is kept as a hard link beside it (a copy where
// the file system has no links), a file about to be made is noted as new. Each file is noted once
// per action, so the kept copy is always the file as it was before the action. Undoing is
// idempotent and goes in reverse: a kept copy is renamed back over the file, a new file removed.
//
//   TkFileJournal journal("/p/Set.dst.journal");
//   TkFileJournal::Scope active(journal);
//   ... write drawings, then the set ...
//   if (journal.failure().empty()) journal.commit(); else journal.rollBack();
#include <mutex>
#include <set>
#include <string>
#include <vector>

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
    // Notes many files about to be written with one flush (an action that writes them all).
    std::string beforeWriteAll(const std::vector<std::string>& paths);
    // A write that failed: the action cannot complete as asked.
    void noteFailure(const std::string& reason);
    std::string failure() const;
    bool started() const;  // a step was written: there is something to undo
    size_t fileCount() const;

    // The action is complete: marked so on disk, then the kept copies and the journal removed.
    // Empty on success; a failure leaves the journal, which the next action finishes.
    std::string commit();
    // Undoes every step in reverse and removes the journal; the problems met (empty when all is back
    // as it was before the action).
    std::vector<std::string> rollBack();

    // A journal left behind by an action that did not end.
    struct Found {
        bool exists = false;
        bool committed = false;  // it reached its end: recovering finishes it
        std::vector<std::string> files;  // the files it changed or made
        std::string error;               // the journal cannot be read
    };
    static Found inspect(const std::string& journalPath);
    // Finishes a committed journal (its kept copies go) or rolls back any other; what was done, as
    // one line, and the problems met in `problems`. Empty when there was no journal.
    static std::string recover(const std::string& journalPath, std::vector<std::string>& problems);

private:
    struct Step {
        char kind;           // 'W' written (replaced or made), 'D' removed
        std::string path;
        std::string backup;  // empty: the file was not there before
    };
    std::string append(const Step& step);
    std::string appendText(const std::string& lines);
    std::string keepCopy(const std::string& path, std::string& backup);
    static std::vector<std::string> undo(const std::vector<Step>& steps);
    static bool read(const std::string& journalPath, std::vector<Step>& steps, bool& committed, std::string& error);
    void close();

    std::string path_;
    mutable std::mutex mutex_;
    int fd_ = -1;
    std::vector<Step> steps_;
    std::set<std::string> noted_;
    std::set<std::string> onlyWithOthers_;
    std::string failure_;
    bool ended_ = false;
    unsigned counter_ = 0;
};
