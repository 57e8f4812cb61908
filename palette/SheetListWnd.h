#pragma once
// The "Sheet List" page of the palette and its hub: owns the sheet set manager, the drawing cache
// and the layout monitor; lays out the sheet set button, the publish and selection buttons and the
// panes; fills the sheet tree from the model; builds every context menu and routes every command;
// runs the lock poll (1125), the sheet status poll (1126) and the cache purge (1127).
#include <QBasicTimer>
#include <QWidget>
#include <map>
#include <set>
#include <memory>

#include "drawings/LayoutMonitor.h"
#include "actions/SheetSetEdit.h"
#include "palette/MenuRules.h"
#include "palette/NqSheetSetMgr.h"
#include "palette/SheetListSettings.h"
#include "palette/SheetListView.h"
#include "palette/TreeObserver.h"

class CDwgCache;
class CSheetSet;
class CSheetSetMgrImpl;
class CSheetlistButton;
class CSheetSetPanes;
class CSheetsetTree;
class QToolButton;
class QMenu;
class QTreeWidgetItem;
class QThreadPool;

class CSheetListWnd : public QWidget, public CTreeObserver, public CNqSheetSetMgr, public CLayoutMonitorClient, public CSheetListView {
public:
    explicit CSheetListWnd(QWidget* parent);
    ~CSheetListWnd() override;

    // CTreeObserver
    void setTree(CSheetsetTree* tree) override { tree_ = tree; }
    void onSelChanged(CComponent* component) override;
    void onRefresh() override;
    void onDblClick(CComponent* component) override;
    void onContextMenu(CComponent* component, QPoint screenPos) override;
    bool canBeginDrag() override;
    void onDrop(QTreeWidgetItem* target, bool after, const QList<QTreeWidgetItem*>& dragged) override;
    void onEndDrag() override;
    int getToolTipStyle() override { return settings_.toolTipStyle; }

    // CNqSheetSetMgr
    bool openSheetSet(const TkString& path) override;

    // CLayoutMonitorClient
    void RestartStatusPolling() override;
    void EnableButtons() override;
    void EnableSheetList(bool enable) override { setEnabled(enable); }
    void ShowPalette(bool show) override;
    bool IsPaletteShown() const override;
    bool SheetSetListsDrawing(const TkString& sheetSetPath, const TkString& drawingPath) const override;

    // Tree items from the model.
    void RebuildTree(CSheetSet* sheetSet);
    void SyncItem(QTreeWidgetItem* item, CComponent* component);
    QTreeWidgetItem* InsertComponentItem(QTreeWidgetItem* parent, QTreeWidgetItem* after, CComponent* component);
    QTreeWidgetItem* InsertSheetItem(QTreeWidgetItem* parent, QTreeWidgetItem* after, CSheet* sheet);
    void UpdateSubsetImage(QTreeWidgetItem* item, CSubset* subset);

    // A menu or button command (the ids of PaletteIds.h): the window's own, else the operation the
    // command table has for it; unknown ids do nothing.
    void OnCommand(int id);
    // Starts an edit of the current set for an operation: the lock is taken now and held until the
    // session ends, so a dialog shown meanwhile works on the set as it is (the lock poll leaves a
    // set held here alone). Null when the lock cannot be taken: the user was told who holds it.
    std::unique_ptr<EditSession> BeginEdit() override;
    // Ends an operation's edit with its core's result: the tree shows the set as it is now
    // (built anew when the set was read again), and the user is told why it did not land or which
    // drawings were left alone.
    void EndEdit(const ActionResult& result) override;
    // Both in one for a change without a dialog: lock, read again if someone saved, apply, save,
    // title blocks, unlock; then the tree and the messages as EndEdit.
    ActionResult EditCurrentSet(const SheetSetChange& change) override;
    // After the manager's current set changed (opened, switched, closed): the open menu, the
    // selections, the tree, the details and the buttons show the set that is current now.
    void ShowCurrentSheetSet() override;
    // Runs a command of the table with arguments (the host's import of a drawing's layouts).
    void RunCommand(int id, const std::vector<std::wstring>& args);
    // Selects the component's item alone (its parents expanded) and shows it in the details pane.
    void ShowComponent(CComponent* component) override;
    // Selects the items of these components (in tree order; the first component's item gets the
    // focus) and shows the first in the details pane; none found: the set itself.
    void SelectComponents(const std::vector<CComponent*>& components) override;
    // After the set's selections changed: the selections button lists them.
    void UpdateSelectionsMenu() override { rebuildSelectionsMenu(); }
    void UpdatePublishButton() override;

    CSheetSetMgrImpl* manager() const override { return mgr_.get(); }
    CSheetSet* currentSheetSet() const;
    CSheetsetTree* tree() const { return tree_; }
    CSheetSetPanes* panes() const { return panes_; }
    CSheetlistButton* sheetSetButton() const { return sheetSetButton_; }
    QToolButton* publishMenuButton() const { return publishMenuButton_; }
    QToolButton* selectionsButton() const { return selectionsButton_; }
    QToolButton* activePublishButton() const { return publishButtons_[activePublish_]; }
    const CSheetListSettings& settings() const { return settings_; }
    CSheetListSettings& settings() override { return settings_; }  // operations keep their choices in it
    bool isBusy() const { return busy_; }
    int statusPollInterval() const;  // ms, or -1 when the status poll is stopped

    // The context menu for `component` (null: empty tree space) as it would be shown; empty when
    // none is shown. Tests and the menu builder share it.
    MenuSpec contextMenuFor(CComponent* component) const;
    MenuSpec selectionsMenu() const;
    MenuFacts menuFacts() const;
    // Shown context menus go through this hook in tests: it gets the menu and returns the chosen id
    // (0 for none) instead of waiting for a person.
    static std::function<int(const MenuSpec&)> menuTestHook;

    // Timer work, callable directly.
    void OnLockPoll();
    // Starts a status pass: the drawings are probed off the user-interface thread and the icons set
    // when the results come back. False when a pass is still running or there is nothing to do.
    bool StartStatusPass();
    bool statusPassRunning() const { return statusPassRunning_; }
    // Wide enough for a sheet number and a usual title without clipping.
    QSize sizeHint() const override { return {340, 640}; }
    // Narrow enough for the palette's smallest size, wide enough for every button of the strip.
    QSize minimumSizeHint() const override;
    // The longest time one piece of the last status pass held the user-interface thread, in µs.
    qint64 lastStatusPassStallUs() const { return lastStallUs_; }
    // How many times the current set was read again (the poll and the refresh button).
    int reloadCount() const { return reloadCount_; }

protected:
    void timerEvent(QTimerEvent* e) override;
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct TreeState {
        std::set<uint64_t> known, expanded, selected;
        uint64_t caret = 0;
        int scroll = 0;
    };
    // Taken before the set is read again (the tree's items point into the old set), and given
    // back to the new tree: what was expanded and selected (found by stable id) is expanded and
    // selected again, and the scroll position is kept.
    TreeState saveTreeState() const;
    void restoreTreeState(const TreeState& state);
    void RebuildTreeKeepingState(const TreeState& before);
    // Tells the user why an edit did not land, or which drawings it left alone.
    void reportEditFailure(const ActionResult& result);
    // The button strip's measures: h the height (and the publish button's width), w a menu
    // button's width.
    struct Strip {
        int h = 0, w = 0;
    };
    static constexpr int kMinSetButtonWidth = 90;
    Strip strip() const;
    void layoutChildren();
    void rebuildSelectionsMenu();
    void refreshSelectionsEnabling();
    void rebuildPublishMenu();
    void showMenu(const MenuSpec& spec, QPoint screenPos);
    bool isLocked() const;
    bool anyDocumentOpen() const;
    std::vector<CComponent*> selectedComponents() const;
    void applyStatusResults(const std::map<TkString, int>& images);
    void switchCurrent(int index);
    void openRecent(int index);
    void togglePlotSetting(int id);
    void afterSetsChanged();
    void recoverInterruptedAction();  // a journal left beside the set just opened
    void showDocked();

    CSheetListSettings settings_;
    std::unique_ptr<CSheetSetMgrImpl> mgr_;
    std::unique_ptr<CDwgCache> cache_;
    std::unique_ptr<CLayoutMonitor> monitor_;
    CSheetlistButton* sheetSetButton_ = nullptr;
    QToolButton* publishButtons_[3] = {};
    int activePublish_ = 0;
    QToolButton* publishMenuButton_ = nullptr;
    QToolButton* selectionsButton_ = nullptr;
    QMenu* publishMenu_ = nullptr;
    QMenu* selectionsMenu_ = nullptr;
    CSheetSetPanes* panes_ = nullptr;
    CSheetsetTree* tree_ = nullptr;
    QBasicTimer lockPoll_, statusPoll_, cachePurge_;
    int statusInterval_ = -1;
    bool busy_ = false;
    int reloadCount_ = 0;
    // The selection the details last showed: a caret and the selected items.
    struct SelectionSeen {
        CComponent* caret = nullptr;
        QList<QTreeWidgetItem*> selected;
        bool operator==(const SelectionSeen&) const = default;
    };
    SelectionSeen lastSelection_;
    bool statusPassRunning_ = false;
    qint64 lastStallUs_ = 0;
    std::unique_ptr<QThreadPool> probes_;  // the status pass's drawing probes
    TreeState beforeEdit_;                 // the tree as the running edit found it
};
