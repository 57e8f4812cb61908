#include "app/MainWindow.h"

#include <QApplication>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include "app/CommandLineWidget.h"
#include "app/CommandProcessor.h"
#include "app/LayoutView.h"
#include "app/RecentFilesMenu.h"
#include "app/ViewMenu.h"
#include "host/Dialogs.h"
#include "host/HelpBrowser.h"
#include "host/ModuleApi.h"
#include "host/NqSystem.h"
#include "host/RecentFiles.h"
#include "VornVersion.h"
#include "toolkit/db/TkDbDatabase.h"

MainWindow::MainWindow() {
    setWindowTitle("Vorn");
    documents_ = new QTabWidget;
    documents_->setDocumentMode(true);
    documents_->setTabsClosable(true);
    setCentralWidget(documents_);
    // Palettes on the sides run the full height; the command line sits between them.
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    connect(documents_, &QTabWidget::tabCloseRequested, this, [this](int i) {
        if (i < vrDocManagerPtr()->documentCount()) vrDocManagerPtr()->closeDocument(vrDocManagerPtr()->document(i));
    });
    connect(documents_, &QTabWidget::currentChanged, this, [this](int i) {
        VrApDocManager* dm = vrDocManagerPtr();
        if (i >= 0 && i < dm->documentCount() && dm->curDocument() != dm->document(i)) dm->activateDocument(dm->document(i));
    });

    commandLine_ = new CommandLineWidget;
    auto* dock = new QDockWidget("Command Line");
    dock->setObjectName("CommandLine");
    dock->setWidget(commandLine_);
    // Closed with its X, it comes back from the View menu (Ctrl+9).
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    vrSetCommandLine(commandLine_);

    vrKeepRecentFiles(true);
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Open drawing...", QKeySequence::Open, this, &MainWindow::openDrawing);
    file->addMenu(new RecentFilesMenu(file));
    close_ = file->addAction("&Close", QKeySequence::Close, this, [] { commandProcessor().run(L"CLOSE"); });
    close_->setEnabled(false);
    file->addSeparator();
    file->addAction("&Load module...", this, &MainWindow::loadModule);
    file->addSeparator();
    file->addAction("E&xit", QKeySequence::Quit, this, &QWidget::close);
    view_ = new ViewMenu(this, dock);
    menuBar()->addMenu(view_);
    QMenu* help = menuBar()->addMenu("&Help");
    // F1 opens the topic of the palette that has the focus, else the contents.
    help->addAction("Vorn &Help", QKeySequence::HelpContents, this,
                    [] { vrShowHelp(vrHelpTopicOf(QApplication::focusWidget())); });
    help->addSeparator();
    help->addAction("&About Vorn", this, &MainWindow::about);
    statusBar()->showMessage("Ready");

    vrDocManagerPtr()->addReactor(this);
    vrSetVornFrame(this);
    // Palettes that modules add are docked on the right.
    CNqSystem::instance().onPaletteChanged = [this](QWidget* w, bool add) {
        if (auto* d = qobject_cast<QDockWidget*>(w)) {
            if (add) {
                // A palette that saved itself floating stays floating.
                bool floating = d->isFloating();
                QRect where = d->geometry();
                addDockWidget(Qt::RightDockWidgetArea, d);
                if (floating) {
                    d->setFloating(true);
                    d->setGeometry(where);
                }
                view_->addPalette(d);
            } else {
                view_->removePalette(d);
                removeDockWidget(d);
            }
        }
    };
    resize(1280, 800);
}

MainWindow::~MainWindow() {
    vrKeepRecentFiles(false);
    CNqSystem::instance().onPaletteChanged = nullptr;
    vrDocManagerPtr()->removeReactor(this);
    vrSetVornFrame(nullptr);
    vrSetCommandLine(nullptr);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    commandLine_->cancelPrompt();  // a command waiting for input must not outlive the window
    QMainWindow::closeEvent(e);
}

void MainWindow::documentCreated(VrApDocument* doc) {
    auto* layouts = new QTabWidget;
    layouts->setTabPosition(QTabWidget::South);
    const TkDbDatabase* db = doc->database();
    std::string current = db->currentLayoutName();
    for (const TkDbLayout& l : db->layouts()) {
        layouts->addTab(new LayoutView(*db, l.name()), QString::fromStdString(l.name()));
        if (l.name() == current) layouts->setCurrentIndex(layouts->count() - 1);
    }
    QFileInfo fi(QString::fromStdWString(doc->fileName()));
    documents_->addTab(layouts, fi.fileName() + (doc->isReadOnly() ? " [Read Only]" : ""));
    documents_->setCurrentWidget(layouts);
    close_->setEnabled(true);
    vrAddRecentFile(doc->fileName());
}

void MainWindow::documentToBeDestroyed(VrApDocument* doc) {
    for (int i = 0; i < vrDocManagerPtr()->documentCount(); ++i)
        if (vrDocManagerPtr()->document(i) == doc) {
            QWidget* w = documents_->widget(i);
            documents_->removeTab(i);
            delete w;
            close_->setEnabled(documents_->count() > 0);
            return;
        }
}

void MainWindow::layoutSwitched(VrApDocument* doc) {
    for (int i = 0; i < vrDocManagerPtr()->documentCount(); ++i) {
        if (vrDocManagerPtr()->document(i) != doc) continue;
        auto* layouts = qobject_cast<QTabWidget*>(documents_->widget(i));
        const QString current = QString::fromStdString(doc->database()->currentLayoutName());
        for (int t = 0; layouts && t < layouts->count(); ++t)
            if (layouts->tabText(t) == current) layouts->setCurrentIndex(t);
    }
}

void MainWindow::layoutRenamed(VrApDocument* doc) {
    // The tabs follow the drawing's layouts, in their order.
    for (int i = 0; i < vrDocManagerPtr()->documentCount(); ++i) {
        if (vrDocManagerPtr()->document(i) != doc) continue;
        auto* layouts = qobject_cast<QTabWidget*>(documents_->widget(i));
        const std::vector<TkDbLayout> all = doc->database()->layouts();
        for (int t = 0; layouts && t < layouts->count() && t < static_cast<int>(all.size()); ++t)
            layouts->setTabText(t, QString::fromStdString(all[static_cast<size_t>(t)].name()));
    }
}

void MainWindow::documentBecameCurrent(VrApDocument* doc) {
    for (int i = 0; i < vrDocManagerPtr()->documentCount(); ++i)
        if (vrDocManagerPtr()->document(i) == doc) documents_->setCurrentIndex(i);
    setWindowTitle(doc ? "Vorn - [" + QString::fromStdWString(doc->fileName()) + "]" : "Vorn");
}

void MainWindow::openDrawing() {
    QString path = QFileDialog::getOpenFileName(this, "Open", QString(), "Drawings (*.dwg *.dxf *.dwt);;Sheet sets (*.dst)");
    if (!path.isEmpty()) commandProcessor().run(L"OPEN \"" + path.toStdWString() + L"\"");
}

void MainWindow::loadModule() {
    QString path = QFileDialog::getOpenFileName(this, "Load module", QString(), "Vorn modules (*.vrx)");
    if (!path.isEmpty()) commandProcessor().run(L"APPLOAD \"" + path.toStdWString() + L"\"");
}

void MainWindow::about() {
    QStringList modules;
    for (const std::string& m : VrModuleLoader::instance().loaded()) modules << QFileInfo(QString::fromStdString(m)).fileName();
    QMessageBox::about(this, "About Vorn",
                       QString("<h3>Vorn %1</h3>"
                               "<p>A CAD host with a sheet set manager: DXF drawings and their layouts, sheet sets "
                               "(.dst) with subsets, publishing to PDF and transmittal packages.</p>"
                               "<p>Modules loaded: %2<br>Qt %3</p>")
                           .arg(VORN_VERSION, modules.isEmpty() ? QString("none") : modules.join(", ").toHtmlEscaped(), qVersion()));
}
