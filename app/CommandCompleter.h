#pragma once
// Completion of command names on the command line: a list pops up under what is typed (letter
// case ignored) with the host's and the modules' commands, and Tab completes the name as far as
// the commands that start so agree.
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

class CommandCompleter : public QCompleter {
public:
    // Owned by `parent`, not by the line edit: the line edit deletes a completer it owns when it
    // is taken away during a prompt.
    CommandCompleter(QLineEdit* input, QObject* parent);
    // Takes the names again: modules come and go while the window is open.
    void refresh();
    // Tab: the typed name completed as far as it is unique; the choices pop up where several
    // commands still start so. False when no command starts with what is typed.
    bool completeTyped();

private:
    QLineEdit* input_;
    QStringListModel* names_;
};
