#pragma once
// Message boxes, task dialogs and file dialogs of the host. With a UI responder installed they
// take its answers instead of asking a person.
#include <vector>

#include "host/VrTypes.h"

class QWidget;

// The main window of the host, parent of dialogs; null when the host runs without one.
QWidget* vredGetVornFrame();
void vrSetVornFrame(QWidget* frame);
// The host's default caption of message boxes.
TkString vrHostCaption();

int VrUiMessageBox(const TkString& caption, const TkString& text, unsigned style);

// A question with command links (one choice each, with an explanation) and common buttons.
class CVrUiTaskDialog {
public:
    static constexpr int kButtonOk = 1, kButtonYes = 2, kButtonNo = 4, kButtonCancel = 8, kButtonClose = 32;
    void setWindowTitle(const TkString& t) { title_ = t; }
    void setMainInstruction(const TkString& t) { instruction_ = t; }
    void setContent(const TkString& t) { content_ = t; }
    void addCommandLink(int id, const TkString& text, const TkString& note = L"") { links_.push_back({id, text, note}); }
    void setCommonButtons(int buttons) { buttons_ = buttons; }
    void setOptions(int options) { options_ = options; }
    void setParent(QWidget* parent) { parent_ = parent; }
    // The id of the chosen link, or of the common button (IDOK, IDCANCEL, IDCLOSE ...).
    int doModal();

private:
    struct Link {
        int id;
        TkString text, note;
    };
    TkString title_, instruction_, content_;
    std::vector<Link> links_;
    int buttons_ = 0, options_ = 0;
    QWidget* parent_ = nullptr;
};

// The host's file navigation dialog: filters, a caption, open or save, multiple choice.
class CVrUiNavDialog {
public:
    CVrUiNavDialog(const TkString& caption, bool forOpen) : caption_(caption), forOpen_(forOpen) {}
    void addFilter(const TkString& description, const TkString& pattern) { filters_.push_back({description, pattern}); }
    void setHideReadOnly(bool hide) { hideReadOnly_ = hide; }
    void setMultiple(bool multiple) { multiple_ = multiple; }
    void setInitialFolder(const TkString& folder) { folder_ = folder; }
    void setInitialFileName(const TkString& name) { fileName_ = name; }  // proposed in a save dialog
    int DoModal();  // IDOK with the chosen files, IDCANCEL
    const std::vector<TkString>& fileNames() const { return chosen_; }

private:
    struct Filter {
        TkString description, pattern;
    };
    TkString caption_, folder_, fileName_;
    bool forOpen_, hideReadOnly_ = false, multiple_ = false;
    std::vector<Filter> filters_;
    std::vector<TkString> chosen_;
};

// The screen area a window may use, without task bars: left, top, width, height.
void vrutGetWorkArea(int& left, int& top, int& width, int& height);

// Choosing files: RTNORM with the chosen paths, RTCAN when cancelled. `extension` without dot.
int vredGetFileNavDialog(const TkString& title, const TkString& defaultPath, const TkString& extension, bool multiple,
                         std::vector<TkString>& paths);

// The shell's folder chooser (file-system folders only), opening at `start`. Empty when cancelled.
TkString vrutBrowseForFolder(const TkString& title, const TkString& start);
