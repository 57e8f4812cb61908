// vorn: the CAD host. vorn [--batch SCRIPT] [--no-module] [--run COMMAND]... [--screenshot PNG] [FILE ...]
// A FILE is a drawing, or a sheet set (.dst) that opens in the sheet set palette.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/services/PlotService.h"
#include "app/services/TransmitService.h"
#include "app/BatchRunner.h"
#include "app/CommandProcessor.h"
#include "app/MainWindow.h"
#include "host/CommandLine.h"
#include "host/Documents.h"
#include "host/ModuleApi.h"
#include "host/NqSystem.h"
#include "toolkit/common/TkIdentity.h"
#include "host/PathUtil.h"
#include "VornVersion.h"

namespace {
// A batch run has no window to raise or size, and the offscreen platform says so on every palette
// it shows; those notes and the runtime folder's are noise in a script's output. Everything else
// Qt reports still goes to standard error.
QtMessageHandler qtDefaultHandler = nullptr;
void quietBatchMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtCriticalMsg && type != QtFatalMsg &&
        (text.startsWith("This plugin does not support") || text.startsWith("QStandardPaths: ")))
        return;
    if (qtDefaultHandler) qtDefaultHandler(type, context, text);
    else std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}
}  // namespace

int main(int argc, char** argv) {
    tkEnsureRuntimeDir();  // cron and ssh sessions: no Qt warning on the terminal
    std::string batch;
    bool loadModule = true;
    std::vector<std::string> files, startup;
    std::string screenshot;  // grab the window into this PNG once it is shown, then quit
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--batch" && i + 1 < argc) batch = argv[++i];
        else if (a == "--no-module") loadModule = false;
        else if (a == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
        else if (a == "--run" && i + 1 < argc) startup.push_back(argv[++i]);
        else if (a == "--help" || a == "-h") {
            std::cout << "usage: vorn [--batch SCRIPT] [--no-module] [--run COMMAND]... [--screenshot PNG] [FILE ...]\n"
                         "  FILE: a drawing (DXF), or a sheet set (.dst) to open in the sheet set palette\n"
                         "  --version: print the version and exit\n";
            return 0;
        } else if (a == "--version") {
            std::cout << "vorn " VORN_VERSION "\n";
            return 0;
        } else files.push_back(a);
    }
    // A batch run needs no display.
    if (!batch.empty() && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!batch.empty()) qtDefaultHandler = qInstallMessageHandler(quietBatchMessages);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vorn");
    QApplication::setOrganizationName("Vorn");
    // The desktop entry and the icon: the theme's when installed, else the installed or built bitmap.
    QGuiApplication::setDesktopFileName("vorn");
    {
        const QDir bin(QCoreApplication::applicationDirPath());
        QIcon icon = QIcon::fromTheme("vorn");
        for (const char* png : {VORN_BIN_TO_DATA "/../icons/hicolor/256x256/apps/vorn.png", "../dist/icons/256x256/apps/vorn.png"})
            if (icon.isNull() && QFileInfo::exists(bin.filePath(png))) icon = QIcon(bin.filePath(png));
        QApplication::setWindowIcon(icon);
    }

    // The host's publishing and transmittal, for the modules that find them by name.
    VornPlotService plotService;
    VornTransmitService transmitService;
    CNqSystem::instance().registerService(L"CNqPlotSvr", &plotService);
    CNqSystem::instance().registerService(L"IVrTransmitService", &transmitService);

    std::unique_ptr<MainWindow> window;
    if (batch.empty()) {
        window = std::make_unique<MainWindow>();
        window->show();
    }
    // The sheet set module lives beside the host in a build, in the private library folder when
    // installed.
    if (loadModule) {
        const QDir bin(QCoreApplication::applicationDirPath());
        std::string module = bin.filePath("sheetset.vrx").toStdString();
        if (!QFileInfo::exists(QString::fromStdString(module)))
            module = QDir::cleanPath(bin.filePath(VORN_BIN_TO_PRIVATE "/sheetset.vrx")).toStdString();
        std::string error;
        if (!VrModuleLoader::instance().load(module, &error)) vrutPrintf(L"\n%ls", QString::fromStdString(error).toStdWString().c_str());
    }
    // The picture is of the whole screen, so that a dialog a startup command opened is in it; taking
    // it ends every event loop, the dialog's too.
    bool shotTaken = false;
    if (window && !screenshot.empty())
        QTimer::singleShot(1500, window.get(), [&] {
            QScreen* screen = QGuiApplication::primaryScreen();
            (screen ? screen->grabWindow(0) : window->grab()).save(QString::fromStdString(screenshot));
            shotTaken = true;
            QApplication::quit();
        });
    // A sheet set opens in the palette (as a file manager's double-click asks); a drawing in a window.
    // A batch script runs them first, at its command line.
    std::vector<TkString> opening;
    for (const std::string& f : files) {
        const TkString path = QFileInfo(QString::fromLocal8Bit(f.c_str())).absoluteFilePath().toStdWString();
        // The command line cannot quote a double quote, and a missing set would leave its command
        // asking for another name: both are said here and left out.
        if (path.find(L'"') != TkString::npos || !QFileInfo::exists(QString::fromStdWString(path))) {
            std::cerr << "vorn: cannot open " << f << (path.find(L'"') != TkString::npos ? ": a double quote in the name" : ": no such file") << "\n";
            continue;
        }
        opening.push_back((vrutHasExtension(path, L".dst") ? L"-OPENSHEETSET \"" : L"OPEN \"") + path + L"\"");
    }
    for (const std::string& c : startup) opening.push_back(QString::fromStdString(c).toStdWString());
    if (batch.empty())
        for (const TkString& line : opening) commandProcessor().run(line);

    int rc = !batch.empty() ? runBatch(batch, opening) : shotTaken ? 0 : app.exec();
    VrModuleLoader::instance().unloadAll();
    vrDocManagerPtr()->closeAll();
    CNqSystem::instance().removeService(L"CNqPlotSvr");
    CNqSystem::instance().removeService(L"IVrTransmitService");
    return rc;
}
