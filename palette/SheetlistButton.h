#pragma once
// The sheet set button: names the current sheet set, shows its lock state, and drops down the menu
// of open sheet sets, recent files, "New Sheet Set..." and "Open...". Keeps the recent list per user.
#include <QToolButton>
#include <functional>
#include <vector>

#include "host/VrTypes.h"

class CSheetSetMgr;
class QMenu;

class CSheetlistButton : public QToolButton {
public:
    static constexpr int kMaxRecent = 10;
    explicit CSheetlistButton(QWidget* parent);
    ~CSheetlistButton() override;

    void RebuildMenu(CSheetSetMgr* mgr);
    // The file of the last sheet set in the manager goes to the top of the recent list.
    void AddRecent(CSheetSetMgr* mgr);
    void RemoveRecent(int index);
    const std::vector<TkString>& recent() const { return recent_; }
    void LoadRecent();
    void SaveRecent() const;

    // 0 writable (no image), 1 held here, 2 another user, 3 read-only.
    void SetStateImage(int state);
    int stateImage() const { return state_; }
    QMenu* dropDownMenu() const { return menu_; }
    // Called with the command id of the chosen item.
    std::function<void(int)> onCommand;

private:
    std::vector<TkString> recent_;
    int state_ = 0;
    QMenu* menu_;
};
