#pragma once
// The command line of the host window: a history of what was printed above an input line with the
// current prompt. Enter runs the command (an empty line repeats the last one), Escape cancels a
// prompt, Up and Down walk the history of typed commands; at the command prompt the names of
// commands complete as they are typed, and with Tab.
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

#include "host/CommandLine.h"

class CommandCompleter;

class CommandLineWidget : public QWidget, public VrCommandLineIo {
public:
    explicit CommandLineWidget(QWidget* parent = nullptr);
    ~CommandLineWidget() override;
    // Ends a prompt that is waiting, as Escape does (the window is closing).
    void cancelPrompt();
    void print(const TkString& text) override;
    int prompt(const TkString& text, bool allowSpaces, TkString& answer) override;
    QLineEdit* input() const { return input_; }
    CommandCompleter* completer() const { return completer_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    // Tab completes a command's name instead of leaving the command line.
    bool focusNextPrevChild(bool next) override;

private:
    void submit();
    void showCommandPrompt();
    QPlainTextEdit* history_;
    QLabel* prompt_;
    QLineEdit* input_;
    CommandCompleter* completer_;
    QEventLoop* waiting_ = nullptr;  // set while a command waits for an answer
    bool cancelled_ = false;
    bool allowSpaces_ = true;
    QStringList typed_;
    int typedPos_ = 0;
};
