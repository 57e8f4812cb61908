#pragma once
// Long work off the UI thread: the work runs on a thread of its own and reports how far it got,
// while a progress dialog with Cancel keeps the window responsive. The work reads `cancelled()`
// and stops early; what it finished stays done.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

#include "host/VrTypes.h"

class VrProgress {
public:
    void set(int done, int total) {
        total_ = total;
        done_ = done;
    }
    bool cancelled() const { return cancel_.load(); }
    void cancel() { cancel_ = true; }
    int done() const { return done_.load(); }
    int total() const { return total_.load(); }
    std::atomic<bool>* cancelFlag() { return &cancel_; }
    // The dialog's text from now on (the work names what it is doing).
    void setText(const TkString& text) {
        std::lock_guard<std::mutex> g(mutex_);
        text_ = text;
    }
    // A message box the UI thread shows; the work waits until the user has closed it.
    void tell(const TkString& caption, const TkString& text);
    // For the UI thread: the text to show when it changed, and the pending message answered.
    std::optional<TkString> takeText();
    void answerPendingMessage();

private:
    std::mutex mutex_;
    std::condition_variable answered_;
    std::optional<TkString> text_;
    std::optional<std::pair<TkString, TkString>> message_;

    std::atomic<int> done_{0}, total_{0};
    std::atomic<bool> cancel_{false};
};

// Runs `work` and returns when it has ended; false when the user cancelled. The dialog shows
// `label` and only appears when the work takes longer than a moment.
bool vrRunWithProgress(const TkString& caption, const TkString& label, const std::function<void(VrProgress&)>& work);

// Tests set this to play the user: called on the UI thread at every tick while the work runs.
extern std::function<void(VrProgress&)> vrProgressTestHook;
