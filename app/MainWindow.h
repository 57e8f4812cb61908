#pragma once
// The host window: a tab per open drawing with its layout tabs, the command line at the bottom,
// a dock area on the right where palettes live, and the File, View and Help menus.
#include <QMainWindow>
#include <QTabWidget>

#include "host/Documents.h"

class CommandLineWidget;
class ViewMenu;

class MainWindow : public QMainWindow, public VrApDocManagerReactor {
public:
    MainWindow();
    ~MainWindow() override;
    CommandLineWidget* commandLine() const { return commandLine_; }
    ViewMenu* viewMenu() const { return view_; }

    void documentCreated(VrApDocument* doc) override;
    void documentToBeDestroyed(VrApDocument* doc) override;
    void documentBecameCurrent(VrApDocument* doc) override;
    void layoutSwitched(VrApDocument* doc) override;
    void layoutRenamed(VrApDocument* doc) override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void openDrawing();
    void loadModule();
    void about();
    QTabWidget* documents_;
    CommandLineWidget* commandLine_;
    ViewMenu* view_;
    QAction* close_;
};
