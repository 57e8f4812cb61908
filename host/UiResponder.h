#pragma once
// Answers for the host's modal questions when no person is there: tests queue them, the batch
// runner answers with defaults. Every text shown is recorded, so a test can check the exact
// caption and message; a question nobody expected is recorded as a failure.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/VrTypes.h"

class VrUiResponder {
public:
    enum class Kind { MessageBox, TaskDialog, FileDialog, Prompt, Help };
    struct Shown {
        Kind kind;
        TkString caption;  // message box caption, task dialog title, prompt text
        TkString text;     // message text, or main instruction then "\n" then content
        unsigned style = 0;
    };
    struct FileAnswer {
        bool chosen = false;
        std::vector<TkString> paths;
    };
    struct PromptAnswer {
        bool cancel = false;
        TkString text;
    };

    static VrUiResponder* active();
    static void install(VrUiResponder* r);  // null uninstalls

    // Batch use: questions without a queued answer get their default (OK, first command link,
    // cancelled file dialog) instead of a failure, and are printed through this function.
    bool answerDefaults = false;
    // Told of every question as it is shown (the batch runner prints them).
    std::function<void(const Shown&)> onShown;

    void queueMessageBox(int result) { boxes_.push_back(result); }
    void queueTaskDialog(int result) { tasks_.push_back(result); }
    void queueFileDialog(std::vector<TkString> paths) { files_.push_back({true, std::move(paths)}); }
    void queueFileDialogCancel() { files_.push_back({false, {}}); }
    void queuePrompt(const TkString& text) { prompts_.push_back({false, text}); }
    void queuePromptCancel() { prompts_.push_back({true, {}}); }

    const std::vector<Shown>& shown() const { return shown_; }
    const std::vector<std::string>& failures() const { return failures_; }
    bool allAnswersUsed() const { return boxes_.empty() && tasks_.empty() && files_.empty() && prompts_.empty(); }
    void clear();

    // Called by the host's dialogs.
    int messageBox(const TkString& caption, const TkString& text, unsigned style);
    int taskDialog(const TkString& title, const TkString& instruction, const TkString& content, int defaultResult);
    FileAnswer fileDialog(const TkString& title);
    PromptAnswer prompt(const TkString& text);
    // The manual asked for at a topic: recorded (caption "Help", the topic as text), no window.
    void help(const TkString& topic);

private:
    void unexpected(const std::string& what);
    std::deque<int> boxes_, tasks_;
    std::deque<FileAnswer> files_;
    std::deque<PromptAnswer> prompts_;
    std::vector<Shown> shown_;
    std::vector<std::string> failures_;
};
