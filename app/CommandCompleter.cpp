#include "app/CommandCompleter.h"

#include "app/HelpCommands.h"

CommandCompleter::CommandCompleter(QLineEdit* input, QObject* parent) : QCompleter(parent), input_(input), names_(new QStringListModel(this)) {
    setModel(names_);
    setCaseSensitivity(Qt::CaseInsensitive);
    setCompletionMode(QCompleter::PopupCompletion);
    setMaxVisibleItems(12);
    refresh();
    // Before the completer hears of the edit, so that it filters the names of now.
    connect(input, &QLineEdit::textEdited, this, [this] { refresh(); });
    input->setCompleter(this);
}

void CommandCompleter::refresh() {
    QStringList names;
    for (const TkString& n : commandLineNames()) names << QString::fromStdWString(n);
    if (names != names_->stringList()) names_->setStringList(names);
}

bool CommandCompleter::completeTyped() {
    const QString typed = input_->text();
    if (typed.trimmed().isEmpty() || typed.contains(' ')) return false;  // only the command's name completes
    refresh();
    QStringList matches;
    for (const QString& n : names_->stringList())
        if (n.startsWith(typed, Qt::CaseInsensitive)) matches << n;
    if (matches.isEmpty()) return false;
    QString common = matches.front();
    for (const QString& m : matches) {
        int same = 0;
        while (same < common.size() && same < m.size() && common[same].toUpper() == m[same].toUpper()) ++same;
        common.truncate(same);
    }
    if (common != typed) input_->setText(common);  // the commands' own letter case
    if (matches.size() > 1) {
        setCompletionPrefix(common);
        complete();
    }
    return true;
}
