#include "app/CommandProcessor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

#include "host/CommandStack.h"
#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/ModuleApi.h"
#include "host/NqSystem.h"
#include "toolkit/db/TkDbDatabase.h"

namespace {
QString q(const TkString& s) { return QString::fromStdWString(s); }
TkString w(const QString& s) { return s.toStdWString(); }
}  // namespace

CommandProcessor& commandProcessor() {
    static CommandProcessor p;
    return p;
}

bool CommandProcessor::takePending(TkString& answer, bool allowSpaces) {
    if (pending_.empty()) return false;
    answer = pending_.front();
    pending_.pop_front();
    while (allowSpaces && !pending_.empty()) {
        answer += L" " + pending_.front();
        pending_.pop_front();
    }
    return true;
}

namespace {
// Words of a command line; "double quoted words" keep their blanks.
QStringList words(const QString& line) {
    QStringList out;
    QString cur;
    bool quoted = false, any = false;
    for (QChar c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) out << cur;
            cur.clear();
            any = false;
        } else {
            cur += c;
            any = true;
        }
    }
    if (any) out << cur;
    return out;
}
}  // namespace

bool CommandProcessor::run(const TkString& line) {
    QString text = q(line).trimmed();
    if (text.isEmpty()) text = q(last_);  // Enter repeats the last command
    if (text.isEmpty()) return true;
    QStringList parts = words(text);
    if (parts.isEmpty()) return true;
    TkString name = w(parts.takeFirst().toUpper());
    pending_.clear();
    for (const QString& word : parts) pending_.push_back(w(word));
    vrutPrintf(L"\nCommand: %ls", name.c_str());
    last_ = name;
    bool ok = true;
    if (builtin(name, ok)) {
        pending_.clear();
        return ok;
    }
    const VrCommand* cmd = tkedRegCmds()->lookup(name);
    VrResBuf asVariable;
    if (!cmd && CNqSystem::instance().getVar(name, asVariable) == RTNORM) {
        // A system variable's name at the prompt: its value, and a new one when it may be set.
        bool done = editVariable(w(q(name).toUpper()));
        pending_.clear();
        return done;
    }
    if (!cmd) {
        pending_.clear();
        vrutPrintf(L"\nUnknown command \"%ls\".", name.c_str());
        return false;
    }
    VrResBuf blockEditor;
    CNqSystem::instance().getVar(L"BLOCKEDITOR", blockEditor);
    if ((cmd->flags & 0x02000000) && blockEditor.integer != 0) {
        vrutPrintf(L"\n** Command not allowed in the block editor **");
        return false;
    }
    {
        CNqResourceScope scope(cmd->resource);
        VrCommandFunction fn = cmd->function;  // the command may unload its own module
        fn();
    }
    pending_.clear();
    return true;
}

namespace {
void printItems(QTreeWidgetItem* item, int depth) {
    vrutPrintf(L"\n%ls%ls%ls%ls", std::wstring(static_cast<size_t>(depth) * 2, L' ').c_str(),
               item->childCount() ? (item->isExpanded() ? L"- " : L"+ ") : L"  ", item->text(0).toStdWString().c_str(),
               item->isSelected() ? L"  [selected]" : L"");
    for (int i = 0; i < item->childCount(); ++i) printItems(item->child(i), depth + 1);
}

void printTree(QTreeWidget* tree) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i) printItems(tree->topLevelItem(i), 1);
}
}  // namespace

bool CommandProcessor::editVariable(const TkString& var) {
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

bool CommandProcessor::builtin(const TkString& name, bool& ok) {
    CNqSystem& sys = CNqSystem::instance();
    TkString answer;
    if (name == L"SETVAR" || name == L"-SETVAR") {
        if (vredGetStringB(0, L"\nEnter variable name: ", answer) != RTNORM) return ok = false, true;
        TkString var = w(q(answer).toUpper());
        VrResBuf current;
        if (sys.getVar(var, current) != RTNORM) {
            vrutPrintf(L"\nUnknown variable name.");
            return ok = false, true;
        }
        ok = editVariable(var);
        return true;
    }
    if (name == L"PALETTES") {
        // What each palette shows, trees included: scripts and tests read palettes this way.
        for (QWidget* palette : sys.palettes()) {
            auto* dock = qobject_cast<QDockWidget*>(palette);
            vrutPrintf(L"\nPalette \"%ls\" (%ls)", w(dock ? dock->windowTitle() : palette->objectName()).c_str(),
                       dock && !dock->isHidden() ? L"shown" : L"hidden");
            for (QTreeWidget* tree : palette->findChildren<QTreeWidget*>()) printTree(tree);
        }
        return true;
    }
    if (name == L"-PUBLISH") {
        // Publishes the palette's current sheet set to a PDF, for scripts: the file, then
        // subsets or sheets one per prompt, an empty answer ending the list (none: the whole set).
        if (!sys.hasFunction(L"key_PublishSheetSet")) {
            vrutPrintf(L"\nNo module publishes sheet sets.");
            return ok = false, true;
        }
        if (vredGetStringB(1, L"\nEnter PDF file to publish to: ", answer) != RTNORM || answer.empty()) return ok = false, true;
        std::vector<TkString> items;
        TkString item;
        while (vredGetStringB(1, L"\nEnter subset or sheet to publish <whole set>: ", item) == RTNORM && !item.empty()) items.push_back(item);
        const TkString pdf = w(QFileInfo(q(answer)).absoluteFilePath());
        const NqValue r = sys.callFunction(L"key_PublishSheetSet", {NqValue(pdf), NqValue(items)});
        const long long code = std::holds_alternative<long long>(r) ? std::get<long long>(r) : 3;
        const wchar_t* said[] = {L"every sheet published", L"some sheets skipped, see the log", L"nothing could be written",
                                 L"nothing to publish: open a sheet set first"};
        vrutPrintf(L"\n%ls: %ls.", pdf.c_str(), said[code >= 0 && code <= 3 ? code : 3]);
        ok = code == 0;
        return true;
    }
    if (name == L"PALETTESELECT" || name == L"PALETTEOPEN") {
        // Clicks (or double-clicks) an item of a palette's tree by its text, as a user would: for
        // scripts and demos.
        const bool open = name == L"PALETTEOPEN";
        if (vredGetStringB(1, open ? L"\nItem to open: " : L"\nItem to select: ", answer) != RTNORM) return ok = false, true;
        for (QWidget* palette : sys.palettes())
            for (QTreeWidget* tree : palette->findChildren<QTreeWidget*>())
                for (QTreeWidgetItem* item : tree->findItems(q(answer), Qt::MatchExactly | Qt::MatchRecursive)) {
                    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
                    tree->setCurrentItem(item);
                    tree->scrollToItem(item);
                    if (open) {
                        const QPointF at = tree->visualItemRect(item).center();
                        const QPointF global = tree->viewport()->mapToGlobal(at);
                        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                               QEvent::MouseButtonRelease}) {
                            QMouseEvent e(t, at, global, Qt::LeftButton, t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                                          Qt::NoModifier);
                            QApplication::sendEvent(tree->viewport(), &e);
                        }
                    }
                    return true;
                }
        vrutPrintf(L"\nNo palette shows \"%ls\".", answer.c_str());
        return ok = false, true;
    }
    if (name == L"CLEANSCREENON" || name == L"CLEANSCREENOFF") {
        // The window hides its bars itself; modules follow CLEANSCREENSTATE for their palettes.
        sys.setHostVar(L"CLEANSCREENSTATE", VrResBuf::ofShort(name == L"CLEANSCREENON" ? 1 : 0));
        return true;
    }
    if (name == L"GETVAR") {
        if (vredGetStringB(0, L"\nEnter variable name: ", answer) != RTNORM) return ok = false, true;
        VrResBuf v;
        if (vredGetVar(answer.c_str(), v) != RTNORM) {
            vrutPrintf(L"\nUnknown variable name.");
            return ok = false, true;
        }
        vrutPrintf(L"\n%ls = \"%ls\"", w(q(answer).toUpper()).c_str(), v.toText().c_str());
        return true;
    }
    if (name == L"OPEN" || name == L"-OPEN") {
        if (vredGetStringB(1, L"\nEnter name of drawing to open: ", answer) != RTNORM) return ok = false, true;
        QFileInfo fi(q(answer));
        int mode = fi.suffix().compare("dst", Qt::CaseInsensitive) == 0 ? 0 : 12;
        ok = vornOpenFile(w(fi.absoluteFilePath()), mode);
        if (!ok) vrutPrintf(L"\nCannot open \"%ls\".", answer.c_str());
        return true;
    }
    if (name == L"-LAYOUT" || name == L"LAYOUT") {
        VrApDocument* doc = vrDocManagerPtr()->curDocument();
        if (!doc) {
            vrutPrintf(L"\nNo drawing is open.");
            return ok = false, true;
        }
        if (vredGetStringB(0, L"\nEnter layout option [?/Set] <Set>: ", answer) != RTNORM) return ok = false, true;
        TkDbDatabase* db = doc->database();
        if (answer == L"?") {
            std::string current = db->currentLayoutName();
            for (const TkDbLayout& l : db->layouts())
                vrutPrintf(L"\n  %ls%ls  %g x %g mm  %ls", QString::fromStdString(l.name()).toStdWString().c_str(),
                           l.name() == current ? L" (current)" : L"", l.paperWidth(), l.paperHeight(),
                           db->isInitialized(l) ? L"initialized" : L"not initialized");
            return true;
        }
        if (vredGetStringB(1, L"\nEnter layout to make current: ", answer) != RTNORM) return ok = false, true;
        ok = vrDocManagerPtr()->setCurrentLayout(doc, answer);
        if (!ok) vrutPrintf(L"\nNo layout \"%ls\".", answer.c_str());
        return true;
    }
    if (name == L"QSAVE" || name == L"SAVE") {
        VrApDocument* d = vrDocManagerPtr()->curDocument();
        if (!d) return ok = false, true;
        std::string error;
        ok = vrDocManagerPtr()->saveDocument(d, &error);
        if (!ok) vrutPrintf(L"\nCannot save %ls: %ls", d->fileName().c_str(), QString::fromStdString(error).toStdWString().c_str());
        return true;
    }
    if (name == L"CLOSE") {
        if (VrApDocument* d = vrDocManagerPtr()->curDocument()) vrDocManagerPtr()->closeDocument(d);
        return true;
    }
    if (name == L"APPLOAD" || name == L"ARX" || name == L"APPUNLOAD") {
        bool unload = name == L"APPUNLOAD";
        if (vredGetStringB(1, unload ? L"\nEnter module to unload: " : L"\nEnter module file to load: ", answer) != RTNORM)
            return ok = false, true;
        std::string error;
        std::string path = q(answer).toStdString();
        ok = unload ? VrModuleLoader::instance().unload(path) : VrModuleLoader::instance().load(path, &error);
        if (!ok) vrutPrintf(L"\n%ls", unload ? L"That module is not loaded." : QString::fromStdString(error).toStdWString().c_str());
        else vrutPrintf(unload ? L"\nModule unloaded." : L"\nModule loaded.");
        return true;
    }
    return false;
}
