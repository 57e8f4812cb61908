#include "actions/EditSession.h"

#include <optional>

#include "host/PathUtil.h"
#include "model/SheetSetCheck.h"
#include "toolkit/common/TkFileJournal.h"
#include "toolkit/common/TkSafeOpen.h"
#include "toolkit/common/TkUtf8.h"

namespace {
std::set<TkString> drawingsOf(CSheetSetImpl* set) {
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    std::set<TkString> files;
    for (CSheet* s : sheets)
        if (!s->getFileName().empty()) files.insert(s->getFileName());
    return files;
}
}  // namespace

EditSession::EditSession(CSheetSetMgrImpl& mgr, int index) : mgr_(&mgr), index_(index) {
    if (index >= 0 && index < mgr.getCount()) path_ = mgr.getSheetSet(index)->getFileName();
}

EditSession::EditSession(const TkString& setPath) : own_(std::make_unique<CSheetSetMgrImpl>()), mgr_(own_.get()), index_(0),
                                                     path_(vrutAbsolutePath(setPath)) {}

EditSession::~EditSession() { abandon(); }

CSheetSetImpl* EditSession::set() const {
    if (!lock_ || index_ < 0 || index_ >= mgr_->getCount()) return nullptr;
    return mgr_->sheetSetImpl(index_);
}

bool EditSession::isHeld() const { return lock_ && lock_->isHeld(); }

bool EditSession::begin(int waitMs) {
    failure_ = {};
    if (path_.empty()) {
        failure_.status = ActionResult::ReadFailed;
        failure_.message = L"no sheet set is open";
        return false;
    }
    if (own_ && own_->getCount() == 0) {
        if (!vrutPathExists(path_)) {
            failure_.status = ActionResult::ReadFailed;
            failure_.message = path_ + L": no such sheet set file";
            return false;
        }
        if (!own_->openSheetSet(path_.c_str())) {
            failure_.status = ActionResult::ReadFailed;
            failure_.message = own_->lastError();
            return false;
        }
        path_ = own_->getSheetSet(0)->getFileName();  // through a link, the file it names
    }
    if (index_ < 0 || index_ >= mgr_->getCount()) {
        failure_.status = ActionResult::ReadFailed;
        failure_.message = L"the sheet set is no longer open";
        return false;
    }
    CSheetSetImpl* current = mgr_->sheetSetImpl(index_);
    auto lock = std::make_unique<CSheetSetLock>(current);
    if (!lock->lockWaiting(waitMs)) {
        failure_.status = ActionResult::Locked;
        failure_.holder = CSheetSetLock::holder(path_);
        if (!failure_.holder.held) {
            failure_.status = ActionResult::Unwritable;
            const TkString dbl = CSheetSetLock::lockFileName(current->lockDataFileName());
            failure_.message = tkIsNotRegularFile(tkToUtf8(dbl))
                                   ? L"the lock file " + dbl + L" is not a plain file (a link, a pipe or a device): nothing was changed; remove it, then try again"
                                   : L"the sheet set data file cannot be written: " + path_;
        }
        return false;
    }
    lock_ = std::move(lock);
    // An action of this set that was cut short is finished or undone before anything else: the
    // set and its drawings are then as one action left them.
    std::vector<std::string> problems;
    const std::string journalPath = tkToUtf8(sheetSetJournalPath(path_));
    if (const std::string done = TkFileJournal::recover(journalPath, problems); !done.empty()) recovered_ = tkFromUtf8(done);
    if (!problems.empty()) {
        failure_.status = ActionResult::Unwritable;
        failure_.message = L"an interrupted action could not be undone: " + tkFromUtf8(problems.front());
        release();
        return false;
    }
    journal_ = std::make_unique<TkFileJournal>(journalPath);
    journal_->noteOnlyWithOthers(tkToUtf8(path_));
    journal_->noteOnlyWithOthers(tkToUtf8(path_) + ".bak");
    if (current->isChangedOnDisk()) {
        // Someone saved since this process read it: the change applies to what is on disk now.
        if (!mgr_->reloadSheetSet(index_)) {
            failure_.status = ActionResult::ReadFailed;
            failure_.message = mgr_->lastError();
            release();
            return false;
        }
        replaced_ = true;
        lock_->transferTo(mgr_->sheetSetImpl(index_));
    }
    shownCache_ = std::make_unique<ShownFieldsCache>(path_);
    shown_ = shownCache_->current(drawingsOf(set()));
    shownBefore_ = titleBlockDigest(set(), &shown_);
    return true;
}

void EditSession::readAgain() {
    if (!mgr_->reloadSheetSet(index_)) {
        // The open copy keeps what was not saved; it must never be saved as it is.
        if (CSheetSetImpl* s = set()) s->markStale();
        return;
    }
    replaced_ = true;
    if (lock_) lock_->transferTo(mgr_->sheetSetImpl(index_));
}

void EditSession::release() {
    // Files the change wrote are put back unless it was committed.
    if (journal_) journal_->rollBack();  // nothing once committed
    journal_.reset();
    lock_.reset();  // removes the ".dbl" while still holding it, then lets go
}

void EditSession::abandon() { release(); }



ActionResult EditSession::commit(ActionResult result) {
    result.reloaded = result.reloaded || replaced_;
    CSheetSetImpl* s = set();
    if (!s) {
        if (result.landed()) result = failure_.status != ActionResult::NothingToDo ? failure_ : ActionResult::refused(L"the sheet set is not held");
        return result;
    }
    if (!recovered_.empty()) result.leftAlone.push_back({recovered_, kRecovered, false});
    // The title blocks first, then the set: every file of the action is in the journal, and the
    // set's save is its last step, so a crash anywhere before the journal's end is undone whole.
    // Nothing more is written once a file could not be: the action is undone whole.
    if ((result.status == ActionResult::Done || followAll_) && journal_->failure().empty()) followTitleBlocks(result);
    if (result.status == ActionResult::Done && journal_->failure().empty() && !s->save()) {
        result.status = ActionResult::SaveFailed;
        result.message = s->lastSaveError();
    }
    // A file that could not be written fails the action whatever the core made of it.
    if (!journal_->failure().empty() && result.status != ActionResult::SaveFailed) {
        result.status = ActionResult::SaveFailed;
        result.message = tkFromUtf8(journal_->failure());
    }
    // The journal's end marks the action done; a mark that cannot be written undoes it instead.
    if (result.landed())
        if (const std::string e = journal_->commit(); !e.empty()) {
            result.status = ActionResult::SaveFailed;
            result.message = tkFromUtf8(e);
        }
    // What the title blocks were seen to show is kept for the next edit. Each drawing is kept with
    // the state it was seen in, so a file put back below simply is not recognised.
    if (shownCache_) {
        for (auto& [file, seen] : titleBlocks_.seen) shownCache_->remember(file, std::move(seen));
        shownCache_->save();
    }
    if (!result.landed() && !journal_->started()) {
        if (result.status == ActionResult::SaveFailed) result.message += L"; the sheet set on disk is as it was before";
    } else if (!result.landed()) {
        const std::vector<std::string> problems = journal_->rollBack();
        const size_t files = journal_->filesUndone();
        if (problems.empty()) {
            if (result.status == ActionResult::SaveFailed)
                result.message += L"; nothing was changed: the sheet set and its drawings are as they were (" + std::to_wstring(files) +
                                  L" file" + (files == 1 ? L"" : L"s") + L" put back)";
        } else {
            result.message += L"; not every file could be put back, and the next edit of the set tries again: " + tkFromUtf8(problems.front());
        }
    }
    // A core that refused, or a change that could not be saved, leaves nothing behind: what is
    // shown is what is on disk again. A set opened for this session alone is simply dropped.
    if (!result.landed() && !own_) readAgain();
    release();
    result.reloaded = result.reloaded || replaced_;
    return result;
}

void EditSession::followTitleBlocks(ActionResult& result) {
    CSheetSetImpl* s = set();
    std::set<TkString> changed;
    if (!followAll_) {
        changed = changedDrawings(shownBefore_, titleBlockDigest(s, &shown_));
        // A drawing the action wrote itself may show other names now: it is looked at again.
        for (const auto& [file, seen] : shown_)
            if (TkFileIdentity::ofPath(tkToUtf8(file)) != seen.identity) changed.insert(file);
    }
    std::vector<TitleBlockJob> jobs = followAll_ ? titleBlockPlan(s) : changed.empty() ? std::vector<TitleBlockJob>{} : titleBlockPlan(s, &changed);
    if (jobs.empty()) return;
    // Drawings open here are updated in their documents on this thread; the rest on disk, where
    // the caller shows the progress.
    std::vector<TitleBlockJob> open;
    if (openDrawing) {
        for (auto it = jobs.begin(); it != jobs.end();) {
            if (!openDrawing(it->file)) {
                ++it;
                continue;
            }
            open.push_back(std::move(*it));
            it = jobs.erase(it);
        }
    }
    TitleBlockReport report = updateTitleBlocks(open, path_, {}, openDrawing), onDisk;
    // The drawings that may be written are noted in the journal with one flush, so that their saves,
    // several at a time, do not wait on the journal one by one.
    if (journal_ && !jobs.empty()) {
        std::vector<std::string> paths;
        for (const TitleBlockJob& job : jobs) paths.push_back(tkToUtf8(job.file));
        if (const std::string e = journal_->beforeWriteAll(paths); !e.empty()) {
            journal_->noteFailure(e);
            return;
        }
    }
    auto work = [&](const Progress& progress) { onDisk = updateTitleBlocks(jobs, path_, progress); };
    if (runLong && !jobs.empty()) runLong(L"Updating the title blocks of the sheet set's drawings...", work);
    else work({});
    report.drawingsChanged += onDisk.drawingsChanged;
    report.textsChanged += onDisk.textsChanged;
    report.drawingsCurrent += onDisk.drawingsCurrent;
    report.problems.insert(report.problems.end(), onDisk.problems.begin(), onDisk.problems.end());
    report.notes.insert(report.notes.end(), onDisk.notes.begin(), onDisk.notes.end());
    report.seen = std::move(onDisk.seen);
    for (const TkString& p : report.problems) result.leftAlone.push_back({p, kTitleBlockNotUpdated, true});
    for (const TkString& n : report.notes) result.leftAlone.push_back({n, L"title block left as it is", false});
    if (report.drawingsChanged)
        result.changed.push_back(L"title blocks: " + std::to_wstring(report.drawingsChanged) + L" drawing" +
                                 (report.drawingsChanged == 1 ? L"" : L"s") + L" updated (" + std::to_wstring(report.textsChanged) + L" texts)");
    titleBlocks_ = report;
}

ActionResult runCore(EditSession& session, const std::function<ActionResult(EditSession&)>& core) {
    // The files the core and its commit write go into the set's journal; a dialog shown before
    // the core ran wrote none, and nothing written meanwhile by other work lands in it.
    std::optional<TkFileJournal::Scope> active;
    if (TkFileJournal* journal = session.journal()) active.emplace(*journal);
    try {
        return core(session);
    } catch (const std::exception& e) {
        // Whatever the core changed before it failed is dropped with the refusal.
        return session.commit(ActionResult::refused(L"the change failed: " + tkFromUtf8(e.what())));
    }
}

ActionResult runAction(const TkString& setPath, int waitMs, const std::function<ActionResult(EditSession&)>& core) {
    EditSession session(setPath);
    if (!session.begin(waitMs)) return session.failure();
    return runCore(session, core);
}
