#pragma once
// The View menu: an entry per palette that modules registered, checked while the palette shows,
// with the palette's own key (Ctrl+4 for the Sheet Set Manager), and the command line. A palette
// closed with its X comes back from here without its command.
#include <QHash>
#include <QMenu>

class QDockWidget;
class QMainWindow;

class ViewMenu : public QMenu {
public:
    ViewMenu(QMainWindow* window, QDockWidget* commandLine);
    void addPalette(QDockWidget* palette);
    void removePalette(QDockWidget* palette);
    QAction* paletteAction(QDockWidget* palette) const { return palettes_.value(palette); }
    QAction* commandLineAction() const { return commandLine_; }

private:
    void sync(QDockWidget* palette);
    QMainWindow* window_;
    QAction* commandLine_;
    QAction* paletteEnd_;  // the separator above the command line's entry
    QHash<QDockWidget*, QAction*> palettes_;
};
