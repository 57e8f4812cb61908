#include "host/Progress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <thread>
#include <utility>

#include "host/Dialogs.h"

std::function<void(VrProgress&)> vrProgressTestHook;

void VrProgress::tell(const TkString& caption, const TkString& text) {
    std::unique_lock<std::mutex> g(mutex_);
    message_ = std::make_pair(caption, text);
    answered_.wait(g, [this] { return !message_; });
}

std::optional<TkString> VrProgress::takeText() {
    std::lock_guard<std::mutex> g(mutex_);
    return std::exchange(text_, std::nullopt);
}

void VrProgress::answerPendingMessage() {
    std::optional<std::pair<TkString, TkString>> message;
    {
        std::lock_guard<std::mutex> g(mutex_);
        message = message_;
    }
    if (!message) return;
    VrUiMessageBox(message->first, message->second, MB_OK);
    {
        std::lock_guard<std::mutex> g(mutex_);
        message_.reset();
    }
    answered_.notify_all();
}

bool vrRunWithProgress(const TkString& caption, const TkString& label, const std::function<void(VrProgress&)>& work) {
    VrProgress progress;
    std::atomic<bool> finished{false};
    if (vrProgressTestHook) vrProgressTestHook(progress);  // a test may cancel before the work begins
    std::thread worker([&] {
        work(progress);
        finished = true;
    });
    QProgressDialog dialog(QString::fromStdWString(label), QObject::tr("Cancel"), 0, 0, vredGetVornFrame());
    dialog.setWindowTitle(QString::fromStdWString(caption));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(400);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    QObject::connect(&dialog, &QProgressDialog::canceled, [&] { progress.cancel(); });
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        tick.stop();  // a message box runs its own loop: no tick inside it
        if (vrProgressTestHook) vrProgressTestHook(progress);
        if (auto text = progress.takeText()) dialog.setLabelText(QString::fromStdWString(*text));
        if (progress.total() > 0) {
            dialog.setMaximum(progress.total());
            dialog.setValue(progress.done());
        }
        progress.answerPendingMessage();
        // `finished` is read once: the work may end at any moment, and then the next tick ends the loop.
        if (finished) loop.quit();
        else tick.start(30);
    });
    tick.start(30);
    if (!finished) loop.exec();
    worker.join();
    const bool cancelled = progress.cancelled();
    dialog.disconnect();  // closing the dialog reports a cancel of its own
    dialog.close();
    return !cancelled;
}
