#include "app/RecentFilesMenu.h"

#include <QDir>
#include <QFileInfo>

#include "app/CommandProcessor.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/PathUtil.h"
#include "host/RecentFiles.h"

RecentFilesMenu::RecentFilesMenu(QWidget* parent) : QMenu(tr("Recent &Files"), parent) {
    connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::fill);
    fill();
}

void RecentFilesMenu::fill() {
    clear();
    const std::vector<TkString> files = vrRecentFiles();
    if (files.empty()) addAction(tr("(none)"))->setEnabled(false);
    int n = 0;
    for (const TkString& f : files) {
        const QString path = QDir::toNativeSeparators(QString::fromStdWString(f));
        const QString shown = fontMetrics().elidedText(path, Qt::ElideMiddle, 520);
        QAction* a = addAction(QString("&%1  %2").arg(++n).arg(QString(shown).replace('&', "&&")));
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [f] { openRecent(f); });
    }
}

void RecentFilesMenu::openRecent(const TkString& path) {
    if (!QFileInfo(QString::fromStdWString(path)).isFile()) {
        vrRemoveRecentFile(path);
        VrUiMessageBox(vrHostCaption(), L"Cannot find the file\n" + path + L"\nIt has been removed from the recent files.",
                       MB_OK | MB_ICONWARNING);
        return;
    }
    // Through the command line, so that the history shows it; a name the command line cannot quote
    // is opened directly.
    if (path.find(L'"') == TkString::npos) commandProcessor().run(L"OPEN \"" + path + L"\"");
    else vornOpenFile(path, vrutHasExtension(path, L".dst") ? 0 : 12);
}
