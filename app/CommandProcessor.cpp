#include "app/CommandProcessor.h"

#include <QString>
#include <QStringList>

#include "app/HostCommands.h"
#include "host/CommandStack.h"
#include "host/NqSystem.h"

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
    const auto& hosted = hostCommands();
    if (auto it = hosted.find(name); it != hosted.end()) {
        const bool ok = it->second();
        pending_.clear();
        return ok;
    }
    const VrCommand* cmd = tkedRegCmds()->lookup(name);
    VrResBuf asVariable;
    if (!cmd && CNqSystem::instance().getVar(name, asVariable) == RTNORM) {
        // A system variable's name at the prompt: its value, and a new one when it may be set.
        bool done = editSystemVariable(w(q(name).toUpper()));
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
