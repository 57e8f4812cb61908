#include "host/UiResponder.h"

#include <QString>

namespace {
VrUiResponder* gActive = nullptr;
std::string utf8(const TkString& s) { return QString::fromStdWString(s).toStdString(); }
}  // namespace

VrUiResponder* VrUiResponder::active() { return gActive; }
void VrUiResponder::install(VrUiResponder* r) { gActive = r; }

void VrUiResponder::clear() {
    boxes_.clear();
    tasks_.clear();
    files_.clear();
    prompts_.clear();
    shown_.clear();
    failures_.clear();
}

void VrUiResponder::unexpected(const std::string& what) { failures_.push_back("unexpected " + what); }

int VrUiResponder::messageBox(const TkString& caption, const TkString& text, unsigned style) {
    shown_.push_back({Kind::MessageBox, caption, text, style});
    if (onShown) onShown(shown_.back());
    if (!boxes_.empty()) {
        int r = boxes_.front();
        boxes_.pop_front();
        return r;
    }
    if (!answerDefaults) unexpected("message box \"" + utf8(caption) + "\": " + utf8(text));
    unsigned buttons = style & 0xF;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

int VrUiResponder::taskDialog(const TkString& title, const TkString& instruction, const TkString& content, int defaultResult) {
    shown_.push_back({Kind::TaskDialog, title, instruction + L"\n" + content, 0});
    if (onShown) onShown(shown_.back());
    if (!tasks_.empty()) {
        int r = tasks_.front();
        tasks_.pop_front();
        return r;
    }
    if (!answerDefaults) unexpected("task dialog \"" + utf8(title) + "\": " + utf8(instruction));
    return defaultResult;
}

VrUiResponder::FileAnswer VrUiResponder::fileDialog(const TkString& title) {
    shown_.push_back({Kind::FileDialog, title, L"", 0});
    if (onShown) onShown(shown_.back());
    if (!files_.empty()) {
        FileAnswer a = files_.front();
        files_.pop_front();
        return a;
    }
    if (!answerDefaults) unexpected("file dialog \"" + utf8(title) + "\"");
    return {};
}

VrUiResponder::PromptAnswer VrUiResponder::prompt(const TkString& text) {
    shown_.push_back({Kind::Prompt, text, L"", 0});
    if (onShown) onShown(shown_.back());
    if (!prompts_.empty()) {
        PromptAnswer a = prompts_.front();
        prompts_.pop_front();
        return a;
    }
    if (!answerDefaults) unexpected("prompt \"" + utf8(text) + "\"");
    return {true, {}};
}

void VrUiResponder::help(const TkString& topic) {
    shown_.push_back({Kind::Help, L"Help", topic, 0});
    if (onShown) onShown(shown_.back());
}
