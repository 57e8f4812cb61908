#include "app/HelpCommands.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <map>

#include "app/HostCommands.h"
#include "host/CommandLine.h"
#include "host/CommandStack.h"
#include "host/HelpTopics.h"
#include "host/PathUtil.h"

namespace {
QString q(const TkString& s) { return QString::fromStdWString(s); }

void printLine(const QString& names, const QString& summary) {
    const QString line = summary.isEmpty() ? names : names.leftJustified(24) + " " + summary;
    vrutPrintf(L"\n  %ls", line.toStdWString().c_str());
}
}  // namespace

bool listCommands() {
    vrutPrintf(L"\nCommands of the host:");
    for (const HostCommandInfo& c : hostCommandTable()) {
        QStringList names;
        for (const TkString& n : c.names) names << q(n);
        printLine(names.join(", "), q(c.summary));
    }
    // Module commands by group, in the order the modules registered them.
    std::vector<TkString> groups;
    std::map<TkString, std::vector<const VrCommand*>> byGroup;
    for (const VrCommand* c : tkedRegCmds()->commands()) {
        if (!byGroup.count(c->group)) groups.push_back(c->group);
        byGroup[c->group].push_back(c);
    }
    for (const TkString& g : groups) {
        vrutPrintf(L"\nCommands of %ls:", g.c_str());
        for (const VrCommand* c : byGroup[g]) {
            QString names = q(c->globalName);
            if (!vrutSameTextNoCase(c->localName, c->globalName)) names += " (" + q(c->localName) + ")";
            printLine(names, {});
        }
    }
    vrutPrintf(L"\nA system variable's name shows its value and asks for a new one; Enter repeats the last command.");
    if (const QString manual = vrHelpFolder(); !manual.isEmpty())
        vrutPrintf(L"\nThe manual: %ls", (manual + "/index.html").toStdWString().c_str());
    return true;
}

bool explainUndo() {
    vrutPrintf(L"\nNothing to undo: Vorn keeps no undo history.");
    vrutPrintf(L"\nSheet set changes, and what they change in the sheets' drawings (layout and file names, title "
               L"blocks), are saved as they are made and cannot be undone here: make the opposite change in the "
               L"Sheet Set Manager.");
    vrutPrintf(L"\nEach sheet set file keeps the version before its last save beside it as NAME.dst.bak.");
    return false;
}

std::vector<TkString> commandLineNames() {
    std::vector<TkString> names;
    for (const HostCommandInfo& c : hostCommandTable()) names.insert(names.end(), c.names.begin(), c.names.end());
    for (const VrCommand* c : tkedRegCmds()->commands()) {
        names.push_back(q(c->globalName).toUpper().toStdWString());
        names.push_back(q(c->localName).toUpper().toStdWString());
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}
