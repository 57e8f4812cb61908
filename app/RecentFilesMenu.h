#pragma once
// File > Recent Files: the drawings and sheet sets opened lately (the host's list, which the
// sheet set palette adds to), filled afresh each time the menu opens.
#include <QMenu>

#include "host/VrTypes.h"

class RecentFilesMenu : public QMenu {
public:
    explicit RecentFilesMenu(QWidget* parent = nullptr);
    // Opens an entry as OPEN does: a drawing in a window, a sheet set in its palette. An entry
    // whose file is gone is said and taken off the list.
    static void openRecent(const TkString& path);

private:
    void fill();
};
