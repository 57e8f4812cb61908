// The palette on big sets: building the sheet tree for a 10,000-sheet set, and one sheet status
// pass over 1,000 drawings with the longest time the user-interface thread is held. Prints figures,
// never fails: run it by hand (`build/bench/palette-bench`); the machine's noise decides what they mean.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "model/SheetSetMgrImpl.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListWnd.h"
#include "palette/SheetsetTree.h"
#include "palette/TreeImages.h"
#include "toolkit/common/TkUtf8.h"

namespace {
namespace fs = std::filesystem;
const fs::path kFolder = fs::temp_directory_path() / "vorn-palette-bench";

// `sheets` sheets in subsets of 100 under groups of 10, spread over `drawings` drawing files that
// exist (their content does not matter: the status pass only probes the files).
TkString writeSet(const std::string& name, int sheets, int drawings) {
    fs::create_directories(kFolder / "Sheets");
    for (int d = 0; d < drawings; ++d) std::ofstream(kFolder / "Sheets" / ("D-" + std::to_string(d) + ".dwg")) << "0\nEOF\n";
    TkString path = tkFromUtf8((kFolder / (name + ".dst")).string());
    CSheetSetMgrImpl mgr;
    CSheetSet* set = mgr.createSheetSet();
    set->setFileName(path.c_str());
    set->setName(tkFromUtf8(name).c_str());
    CSubset* group = nullptr;
    CSubset* subset = nullptr;
    for (int i = 0; i < sheets; ++i) {
        if (i % 1000 == 0) group = set->addNewSubset(-1, (L"Group " + std::to_wstring(i / 1000)).c_str());
        if (i % 100 == 0) subset = group->addNewSubset(-1, (L"Subset " + std::to_wstring(i / 100)).c_str());
        CSheet* s = subset->addNewSheet(-1, (L"Floor plan level " + std::to_wstring(i % 100)).c_str());
        s->setNumber((L"A-" + std::to_wstring(i)).c_str());
        TkString dwg = tkFromUtf8((kFolder / "Sheets" / ("D-" + std::to_string(i % drawings) + ".dwg")).string());
        s->setLayout((L"Layout " + std::to_wstring(i)).c_str(), L"", dwg.c_str());
    }
    set->save();
    mgr.releaseSheetSet(set);
    return path;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fs::remove_all(kFolder);
    treeImage(0);  // the icons are drawn once per process; not part of a build

    TkString big = writeSet("Big Project", 10000, 1000);
    {
        CSheetListWnd wnd(nullptr);
        wnd.resize(340, 800);
        wnd.show();
        QElapsedTimer t;
        t.start();
        wnd.openSheetSet(big);
        double openMs = t.nsecsElapsed() / 1e6;
        std::vector<double> builds;
        for (int i = 0; i < 5; ++i) {
            t.restart();
            wnd.RebuildTree(wnd.currentSheetSet());
            builds.push_back(t.nsecsElapsed() / 1e6);
        }
        std::vector<double> syncs;
        for (int i = 0; i < 5; ++i) {
            t.restart();
            wnd.SyncItem(wnd.tree()->topLevelItem(0), wnd.currentSheetSet());
            syncs.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("10,000 sheets, 1,000 drawings: open and first tree %.0f ms; RebuildTree median %.0f ms (min %.0f, max %.0f); "
                    "SyncItem of the whole tree median %.0f ms\n",
                    openMs, median(builds), *std::min_element(builds.begin(), builds.end()),
                    *std::max_element(builds.begin(), builds.end()), median(syncs));
    }

    TkString status = writeSet("Status Project", 1000, 1000);
    {
        CSheetListWnd wnd(nullptr);
        wnd.resize(340, 800);
        wnd.show();
        wnd.openSheetSet(status);
        wnd.tree()->ExpandAll();
        // A 1 ms timer ticks through the pass; the longest gap between ticks is the stall the user feels.
        std::vector<double> stalls, pieces, walls;
        for (int run = 0; run < 7; ++run) {
            QElapsedTimer wall, tick;
            qint64 longest = 0;
            QTimer probe;
            probe.setInterval(1);
            QObject::connect(&probe, &QTimer::timeout, [&] {
                longest = std::max(longest, tick.nsecsElapsed());
                tick.restart();
            });
            probe.start();
            tick.start();
            wall.start();
            wnd.StartStatusPass();
            while (wnd.statusPassRunning()) app.processEvents(QEventLoop::WaitForMoreEvents);
            app.processEvents();
            probe.stop();
            stalls.push_back(longest / 1e6);
            pieces.push_back(wnd.lastStatusPassStallUs() / 1e3);
            walls.push_back(wall.nsecsElapsed() / 1e6);
        }
        // What the same probes cost when run on the user-interface thread in one go.
        QElapsedTimer t;
        t.start();
        for (int d = 0; d < 1000; ++d)
            sheetImageIndex(tkFromUtf8((kFolder / "Sheets" / ("D-" + std::to_string(d) + ".dwg")).string()));
        double inline1000 = t.nsecsElapsed() / 1e6;
        std::printf("status pass, 1,000 drawings: whole pass median %.1f ms; longest piece on the UI thread median %.2f ms "
                    "(max %.2f); longest gap of a 1 ms UI timer median %.2f ms (max %.2f); the same probes inline: %.1f ms\n",
                    median(walls), median(pieces), *std::max_element(pieces.begin(), pieces.end()), median(stalls),
                    *std::max_element(stalls.begin(), stalls.end()), inline1000);
    }
    fs::remove_all(kFolder);
    return 0;
}
