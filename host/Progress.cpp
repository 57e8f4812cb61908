#include "host/Progress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <thread>

#include "host/Dialogs.h"

std::function<void(VrProgress&)> vrProgressTestHook;

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
        if (vrProgressTestHook) vrProgressTestHook(progress);
        if (progress.total() > 0) {
            dialog.setMaximum(progress.total());
            dialog.setValue(progress.done());
        }
        if (finished) loop.quit();
    });
    tick.start(30);
    if (!finished) loop.exec();
    worker.join();
    const bool cancelled = progress.cancelled();
    dialog.disconnect();  // closing the dialog reports a cancel of its own
    dialog.close();
    return !cancelled;
}
