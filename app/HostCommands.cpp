#include "app/HostCommands.h"
#include "app/HelpCommands.h"

#include <QApplication>
#include <QDockWidget>
#include <QFileInfo>
#include <QMouseEvent>
#include <QString>
#include <QTreeWidget>

#include "host/CommandLine.h"
#include "host/Documents.h"
#include "host/ModuleApi.h"
#include "host/NqSystem.h"
#include "toolkit/db/TkDbDatabase.h"

namespace {

QString q(const TkString& s) { return QString::fromStdWString(s); }
TkString w(const QString& s) { return s.toStdWString(); }

bool setVar() {
    TkString answer;
    if (vredGetStringB(0, L"\nEnter variable name: ", answer) != RTNORM) return false;
    TkString var = w(q(answer).toUpper());
    VrResBuf current;
    if (CNqSystem::instance().getVar(var, current) != RTNORM) {
        vrutPrintf(L"\nUnknown variable name.");
        return false;
    }
    return editSystemVariable(var);
}

bool getVar() {
    TkString answer;
    if (vredGetStringB(0, L"\nEnter variable name: ", answer) != RTNORM) return false;
    VrResBuf v;
    if (vredGetVar(answer.c_str(), v) != RTNORM) {
        vrutPrintf(L"\nUnknown variable name.");
        return false;
    }
    vrutPrintf(L"\n%ls = \"%ls\"", w(q(answer).toUpper()).c_str(), v.toText().c_str());
    return true;
}

void printItems(QTreeWidgetItem* item, int depth) {
    vrutPrintf(L"\n%ls%ls%ls%ls", std::wstring(static_cast<size_t>(depth) * 2, L' ').c_str(),
               item->childCount() ? (item->isExpanded() ? L"- " : L"+ ") : L"  ", item->text(0).toStdWString().c_str(),
               item->isSelected() ? L"  [selected]" : L"");
    for (int i = 0; i < item->childCount(); ++i) printItems(item->child(i), depth + 1);
}

// What each palette shows, trees included: scripts and tests read palettes this way.
bool listPalettes() {
    for (QWidget* palette : CNqSystem::instance().palettes()) {
        auto* dock = qobject_cast<QDockWidget*>(palette);
        vrutPrintf(L"\nPalette \"%ls\" (%ls)", w(dock ? dock->windowTitle() : palette->objectName()).c_str(),
                   dock && !dock->isHidden() ? L"shown" : L"hidden");
        for (QTreeWidget* tree : palette->findChildren<QTreeWidget*>())
            for (int i = 0; i < tree->topLevelItemCount(); ++i) printItems(tree->topLevelItem(i), 1);
    }
    return true;
}

void doubleClick(QTreeWidget* tree, QTreeWidgetItem* item) {
    const QPointF at = tree->visualItemRect(item).center();
    const QPointF global = tree->viewport()->mapToGlobal(at);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, at, global, Qt::LeftButton, t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &e);
    }
}

// Clicks (or double-clicks) an item of a palette's tree by its text, as a user would: for scripts
// and demos.
bool clickPaletteItem(bool open) {
    TkString answer;
    if (vredGetStringB(1, open ? L"\nItem to open: " : L"\nItem to select: ", answer) != RTNORM) return false;
    for (QWidget* palette : CNqSystem::instance().palettes())
        for (QTreeWidget* tree : palette->findChildren<QTreeWidget*>())
            for (QTreeWidgetItem* item : tree->findItems(q(answer), Qt::MatchExactly | Qt::MatchRecursive)) {
                for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
                tree->setCurrentItem(item);
                tree->scrollToItem(item);
                if (open) doubleClick(tree, item);
                return true;
            }
    vrutPrintf(L"\nNo palette shows \"%ls\".", answer.c_str());
    return false;
}

// Publishes the palette's current sheet set to a PDF, for scripts: the file, then subsets or
// sheets one per prompt, an empty answer ending the list (none: the whole set).
bool publish() {
    CNqSystem& sys = CNqSystem::instance();
    if (!sys.hasFunction(L"key_PublishSheetSet")) {
        vrutPrintf(L"\nNo module publishes sheet sets.");
        return false;
    }
    TkString answer;
    if (vredGetStringB(1, L"\nEnter PDF file to publish to: ", answer) != RTNORM || answer.empty()) return false;
    std::vector<TkString> items;
    TkString item;
    while (vredGetStringB(1, L"\nEnter subset or sheet to publish <whole set>: ", item) == RTNORM && !item.empty()) items.push_back(item);
    const TkString pdf = w(QFileInfo(q(answer)).absoluteFilePath());
    const NqValue r = sys.callFunction(L"key_PublishSheetSet", {NqValue(pdf), NqValue(items)});
    const long long code = std::holds_alternative<long long>(r) ? std::get<long long>(r) : 3;
    const wchar_t* said[] = {L"every sheet published", L"some sheets skipped, see the log", L"nothing could be written",
                             L"nothing to publish: open a sheet set first"};
    vrutPrintf(L"\n%ls: %ls.", pdf.c_str(), said[code >= 0 && code <= 3 ? code : 3]);
    return code == 0;
}

// The window hides its bars itself; modules follow CLEANSCREENSTATE for their palettes.
bool cleanScreen(bool on) {
    CNqSystem::instance().setHostVar(L"CLEANSCREENSTATE", VrResBuf::ofShort(on ? 1 : 0));
    return true;
}

bool openFile() {
    TkString answer;
    if (vredGetStringB(1, L"\nEnter name of drawing to open: ", answer) != RTNORM) return false;
    QFileInfo fi(q(answer));
    int mode = fi.suffix().compare("dst", Qt::CaseInsensitive) == 0 ? 0 : 12;
    const bool ok = vornOpenFile(w(fi.absoluteFilePath()), mode);
    if (!ok) vrutPrintf(L"\nCannot open \"%ls\".", answer.c_str());
    return ok;
}

bool switchLayout() {
    VrApDocument* doc = vrDocManagerPtr()->curDocument();
    if (!doc) {
        vrutPrintf(L"\nNo drawing is open.");
        return false;
    }
    TkString answer;
    if (vredGetStringB(0, L"\nEnter layout option [?/Set] <Set>: ", answer) != RTNORM) return false;
    TkDbDatabase* db = doc->database();
    if (answer == L"?") {
        std::string current = db->currentLayoutName();
        for (const TkDbLayout& l : db->layouts())
            vrutPrintf(L"\n  %ls%ls  %g x %g mm  %ls", QString::fromStdString(l.name()).toStdWString().c_str(),
                       l.name() == current ? L" (current)" : L"", l.paperWidth(), l.paperHeight(),
                       db->isInitialized(l) ? L"initialized" : L"not initialized");
        return true;
    }
    if (vredGetStringB(1, L"\nEnter layout to make current: ", answer) != RTNORM) return false;
    const bool ok = vrDocManagerPtr()->setCurrentLayout(doc, answer);
    if (!ok) vrutPrintf(L"\nNo layout \"%ls\".", answer.c_str());
    return ok;
}

bool saveDrawing() {
    VrApDocument* d = vrDocManagerPtr()->curDocument();
    if (!d) return false;
    std::string error;
    const bool ok = vrDocManagerPtr()->saveDocument(d, &error);
    if (!ok) vrutPrintf(L"\nCannot save %ls: %ls", d->fileName().c_str(), QString::fromStdString(error).toStdWString().c_str());
    return ok;
}

bool closeDrawing() {
    if (VrApDocument* d = vrDocManagerPtr()->curDocument()) vrDocManagerPtr()->closeDocument(d);
    return true;
}

bool loadModule() {
    TkString answer;
    if (vredGetStringB(1, L"\nEnter module file to load: ", answer) != RTNORM) return false;
    std::string error;
    const bool ok = VrModuleLoader::instance().load(q(answer).toStdString(), &error);
    if (!ok) vrutPrintf(L"\n%ls", QString::fromStdString(error).toStdWString().c_str());
    else vrutPrintf(L"\nModule loaded.");
    return ok;
}

bool unloadModule() {
    TkString answer;
    if (vredGetStringB(1, L"\nEnter module to unload: ", answer) != RTNORM) return false;
    const bool ok = VrModuleLoader::instance().unload(q(answer).toStdString());
    vrutPrintf(ok ? L"\nModule unloaded." : L"\nThat module is not loaded.");
    return ok;
}

}  // namespace

const std::vector<HostCommandInfo>& hostCommandTable() {
    static const std::vector<HostCommandInfo> table = {
        {{L"OPEN", L"-OPEN"}, L"Opens a drawing, or a sheet set in its palette", openFile},
        {{L"QSAVE", L"SAVE"}, L"Saves the current drawing", saveDrawing},
        {{L"CLOSE"}, L"Closes the current drawing", closeDrawing},
        {{L"LAYOUT", L"-LAYOUT"}, L"Lists the layouts (?) or makes one current", switchLayout},
        {{L"SETVAR", L"-SETVAR"}, L"Shows a system variable and sets a new value", setVar},
        {{L"GETVAR"}, L"Shows a system variable", getVar},
        {{L"APPLOAD", L"ARX"}, L"Loads a module", loadModule},
        {{L"APPUNLOAD"}, L"Unloads a module", unloadModule},
        {{L"PALETTES"}, L"Lists the palettes and what they show", listPalettes},
        {{L"PALETTESELECT"}, L"Selects a palette's item by its text", [] { return clickPaletteItem(false); }},
        {{L"PALETTEOPEN"}, L"Opens (double-clicks) a palette's item by its text", [] { return clickPaletteItem(true); }},
        {{L"-PUBLISH"}, L"Publishes the palette's sheet set to a PDF", publish},
        {{L"CLEANSCREENON"}, L"Hides the palettes for a clean screen", [] { return cleanScreen(true); }},
        {{L"CLEANSCREENOFF"}, L"Brings back what the clean screen hid", [] { return cleanScreen(false); }},
        {{L"HELP", L"?"}, L"Lists the commands", listCommands},
        {{L"UNDO", L"U"}, L"Says what can and cannot be undone", explainUndo},
    };
    return table;
}

const std::map<TkString, HostCommand>& hostCommands() {
    static const std::map<TkString, HostCommand> byName = [] {
        std::map<TkString, HostCommand> m;
        for (const HostCommandInfo& c : hostCommandTable())
            for (const TkString& name : c.names) m.emplace(name, c.run);
        return m;
    }();
    return byName;
}

bool editSystemVariable(const TkString& var) {
    CNqSystem& sys = CNqSystem::instance();
    VrResBuf current;
    if (sys.getVar(var, current) != RTNORM) return false;
    if (sys.isReadOnlyVar(var)) {
        vrutPrintf(L"\n%ls = %ls (read only)", var.c_str(), current.toText().c_str());
        return true;
    }
    TkString answer;
    TkString prompt = L"\nEnter new value for " + var + L" <" + current.toText() + L">: ";
    if (vredGetStringB(1, prompt.c_str(), answer) != RTNORM) return false;
    if (answer.empty()) return true;
    if (sys.setVar(var, answer) != RTNORM) {
        vrutPrintf(L"\nInvalid value for %ls.", var.c_str());
        return false;
    }
    return true;
}
