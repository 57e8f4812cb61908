#pragma once
// Runs what is typed or scripted at the command line: the host's own commands (SETVAR, OPEN,
// APPLOAD, ...) and every command modules registered. Words after the command name on the same
// line answer its first prompts, as in CAD scripts.
#include <deque>
#include <string>

#include "host/CommandLine.h"

class CommandProcessor {
public:
    // Runs one command line. False when the command failed or is unknown.
    bool run(const TkString& line);
    const TkString& lastCommand() const { return last_; }
    // Answers that the rest of a command line gives to the prompts that follow.
    std::deque<TkString>& pendingAnswers() { return pending_; }
    // The next answer the command line gave: one word, or for prompts that take blanks the rest
    // of the line. Words in double quotes keep their blanks.
    bool takePending(TkString& answer, bool allowSpaces);

private:
    TkString last_;
    std::deque<TkString> pending_;
};

CommandProcessor& commandProcessor();
