#include "palette/SheetListWnd.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QThreadPool>
#include <QTimerEvent>
#include <QToolButton>

#include "drawings/DwgCache.h"
#include "drawings/FileLocks.h"
#include "host/CommandLine.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "host/PlotService.h"
#include "host/RecentFiles.h"
#include "host/Dialogs.h"
#include "host/UiBase.h"
#include "actions/EditSession.h"
#include "model/SheetSetCheck.h"
#include "model/SheetSetListsDrawing.h"
#include "model/SheetSetMessages.h"
#include "model/SheetSetMgrImpl.h"
#include "palette/PaletteIds.h"
#include "palette/PaletteText.h"
#include "palette/SheetSetBar.h"
#include "palette/SheetSetPanes.h"
#include "palette/SheetlistButton.h"
#include "palette/SheetsetTree.h"
#include "palette/TreeImages.h"
#include "toolkit/common/TkFileJournal.h"
#include "toolkit/common/TkUtf8.h"

using namespace pal;

namespace {



QToolButton* menuButton(QWidget* parent, const char* name, int art, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setPopupMode(QToolButton::InstantPopup);
    b->setIcon(QIcon(paneButtonImage(art)));
    b->setToolTip(tip);
    b->setEnabled(false);
    return b;
}
}  // namespace

std::function<int(const MenuSpec&)> CSheetListWnd::menuTestHook;

CSheetListWnd::CSheetListWnd(QWidget* parent) : QWidget(parent) {
    setObjectName("SheetList");
    setWindowTitle("Sheet List");
    setAutoFillBackground(false);
    // The drawing cache first: the model's previews find it by name.
    cache_ = std::make_unique<CDwgCache>();
    CNqSystem::instance().registerService(CDwgCache::kServiceName, cache_.get());
    settings_.load();
    mgr_ = std::make_unique<CSheetSetMgrImpl>();

    sheetSetButton_ = new CSheetlistButton(this);
    sheetSetButton_->onCommand = [this](int id) { OnCommand(id); };

    const int art[3] = {kArtPublish, kArtPublish, kArtPublish};
    const char* names[3] = {"PublishDwfx", "PublishDwf", "PublishPdf"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(names[i]);
        b->setIcon(QIcon(paneButtonImage(art[i])));
        b->setEnabled(false);
        b->setVisible(i == 0);
        connect(b, &QToolButton::clicked, this, [this] { OnCommand(kCmdPublishDefault); });
        publishButtons_[i] = b;
    }
    publishButtons_[0]->setToolTip(paletteText(26953, L"Exports the selection to DWFx Files"));

    publishMenuButton_ = menuButton(this, "PublishMenu", kArtPublish, paletteText(26954, L"Publish"));
    publishMenu_ = new QMenu(publishMenuButton_);
    publishMenuButton_->setMenu(publishMenu_);
    connect(publishMenu_, &QMenu::aboutToShow, this, [this] { rebuildPublishMenu(); });
    selectionsButton_ = menuButton(this, "SheetSelections", kArtSelections, paletteText(26955, L"Sheet Selections"));
    selectionsMenu_ = new QMenu(selectionsButton_);
    selectionsButton_->setMenu(selectionsMenu_);
    connect(selectionsMenu_, &QMenu::aboutToShow, this, [this] { refreshSelectionsEnabling(); });
    for (QMenu* m : {publishMenu_, selectionsMenu_})
        connect(m, &QMenu::triggered, this, [this](QAction* a) {
            if (a->data().isValid()) OnCommand(a->data().toInt());
        });

    panes_ = new CSheetSetPanes(this, settings_.detailsPane != 0, settings_.percent, settings_.collapse, settings_.previewPane != 0);
    CSheetsetTree* tree = panes_->sheetsPane()->tree();
    tree->setObserver(this);
    setTree(tree);
    panes_->detailsPane()->currentSelection = [this] {
        QList<QTreeWidgetItem*> selected;
        tree_->GetSelectedItems(selected);
        return std::make_pair(tree_->caretComponent(), selected.size() > 1);
    };
    tree_->installEventFilter(this);

    sheetSetButton_->RebuildMenu(mgr_.get());
    rebuildSelectionsMenu();
    RebuildTree(nullptr);

    probes_ = std::make_unique<QThreadPool>();
    probes_->setMaxThreadCount(1);
    lockPoll_.start(kLockPollMs, this);
    cachePurge_.start(kCachePurgeMs, this);
    RestartStatusPolling();
    monitor_ = std::make_unique<CLayoutMonitor>(this);
    CNqSystem::instance().registerService(L"CNqSheetSetMgr", static_cast<CNqSheetSetMgr*>(this));
    setMinimumWidth(minimumSizeHint().width());  // a floating palette too keeps the strip whole
    layoutChildren();
}

CSheetListWnd::~CSheetListWnd() {
    CNqSystem::instance().removeService(L"CNqSheetSetMgr");
    monitor_.reset();
    lockPoll_.stop();
    statusPoll_.stop();
    cachePurge_.stop();
    probes_->waitForDone();  // a pass still probing must not outlive the window (or the module)
    settings_.detailsPane = panes_->bottomShown() ? 1 : 0;
    settings_.percent = panes_->splitRatio();
    settings_.collapse = panes_->collapseState();
    settings_.previewPane = panes_->detailsPane()->previewMode() ? 1 : 0;
    tree_->setObserver(nullptr);
    delete panes_;  // the tree goes with it, before the model it points into
    panes_ = nullptr;
    tree_ = nullptr;
    delete sheetSetButton_;  // writes the recent list
    sheetSetButton_ = nullptr;
    while (mgr_->getCount() > 0) mgr_->closeSheetSet(0);
    mgr_.reset();
    settings_.save();
    if (CNqSystem::instance().findService(CDwgCache::kServiceName) == cache_.get())
        CNqSystem::instance().removeService(CDwgCache::kServiceName);
    cache_.reset();
}

CSheetSet* CSheetListWnd::currentSheetSet() const {
    int i = mgr_->getCurrent();
    return i >= 0 && i < mgr_->getCount() ? mgr_->getSheetSet(i) : nullptr;
}

// ---- layout

CSheetListWnd::Strip CSheetListWnd::strip() const {
    const int b = fontMetrics().averageCharWidth();
    Strip s;
    // No button is smaller than its icon (and a menu button's drop-down arrow) needs.
    const QSize publish = publishButtons_[0]->sizeHint();
    s.h = std::max({b * 12 / 4, publish.width(), publish.height()});
    s.w = std::max({b * 20 / 4, publishMenuButton_->sizeHint().width(), selectionsButton_->sizeHint().width()});
    return s;
}

QSize CSheetListWnd::minimumSizeHint() const {
    // The button strip whole, with the sheet set button at its narrowest.
    const Strip s = strip();
    return {8 + kMinSetButtonWidth + 8 + s.h + 2 * s.w + 8, s.h + 36 + 8};
}

void CSheetListWnd::layoutChildren() {
    const Strip st = strip();
    const int h = st.h, w = st.w;
    const int W = width(), H = height();
    // The strip ends where the panes end, 8 from the right edge, so its last button is never cut
    // by the palette's edge; the sheet set button takes what the others leave.
    const int setWidth = std::max(W - 8 - (8 + h + 2 * w) - 8, kMinSetButtonWidth);
    sheetSetButton_->setGeometry(8, 8, setWidth, h);
    for (QToolButton* p : publishButtons_) p->setGeometry(8 + setWidth + 8, 8, h, h);
    publishMenuButton_->setGeometry(8 + setWidth + 8 + h, 8, w, h);
    selectionsButton_->setGeometry(8 + setWidth + 8 + h + w, 8, w, h);
    int right = W - 8 < 8 ? 28 : W - 8;
    int bottom = H - 8 < h + 16 ? h + 36 : H - 8;
    panes_->setGeometry(QRect(QPoint(8, h + 16), QPoint(right - 1, bottom - 1)));
    update();
}

void CSheetListWnd::resizeEvent(QResizeEvent*) { layoutChildren(); }

void CSheetListWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), vrPaletteBackground());
}

void CSheetListWnd::contextMenuEvent(QContextMenuEvent* e) { showMenu(viewMenu(menuFacts()), e->globalPos()); }

bool CSheetListWnd::eventFilter(QObject* watched, QEvent* e) {
    // Delete does nothing anywhere in the window, the tree included.
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) return true;
    return QWidget::eventFilter(watched, e);
}

// ---- palette and buttons

void CSheetListWnd::ShowPalette(bool show) {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* bar = dynamic_cast<CVdUiPaletteSet*>(w)) {
            bar->Show(show, !show, show);
            return;
        }
}

void CSheetListWnd::showDocked() {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* bar = dynamic_cast<CSheetSetBar*>(w)) return bar->showDocked();
}

bool CSheetListWnd::IsPaletteShown() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* bar = dynamic_cast<CVdUiPaletteSet*>(w)) return bar->IsVisible();
    return false;
}

bool CSheetListWnd::SheetSetListsDrawing(const TkString& sheetSetPath, const TkString& drawingPath) const {
    return sheetSetListsDrawing(sheetSetPath, drawingPath);
}

bool CSheetListWnd::anyDocumentOpen() const { return vrDocManagerPtr()->documentCount() > 0; }

bool CSheetListWnd::isLocked() const {
    CSheetSet* set = currentSheetSet();
    if (!set) return false;
    int status = set->getLockStatus();
    return status == 2 || status == 3;  // another user holds it, or it cannot be written
}

void CSheetListWnd::UpdatePublishButton() {
    CNqPlotSvr* plot = vrPlotService();
    if (!plot) return;  // the button keeps its look and state
    bool hasSheet = false;
    for (CComponent* c : selectedComponents())
        hasSheet = hasSheet || c->getType() == kComponentSheet || static_cast<CSubset*>(c)->hasSheets();
    int format = plot->getDefaultPublishFormat();
    int index = format == 1 ? 1 : format == 2 ? 0 : 2;
    const int tipIds[3] = {26953, 26956, 26957};
    const wchar_t* tips[3] = {L"Exports the selection to DWFx Files", L"Exports the selection to DWF Files",
                              L"Exports the selection to PDF Files"};
    for (int i = 0; i < 3; ++i) publishButtons_[i]->setVisible(i == index);
    activePublish_ = index;
    publishButtons_[index]->setToolTip(paletteText(tipIds[index], tips[index]));
    publishButtons_[index]->setEnabled(anyDocumentOpen() && hasSheet);
}

void CSheetListWnd::EnableButtons() {
    if (anyDocumentOpen() && currentSheetSet()) {
        UpdatePublishButton();
        publishMenuButton_->setEnabled(true);
        selectionsButton_->setEnabled(true);
    } else {
        activePublishButton()->setEnabled(false);
        publishMenuButton_->setEnabled(false);
        selectionsButton_->setEnabled(false);
    }
}

MenuFacts CSheetListWnd::menuFacts() const {
    MenuFacts f;
    f.docs = anyDocumentOpen();
    f.locked = isLocked();
    f.toolTipStyle = settings_.toolTipStyle;
    f.detailsShown = panes_ && panes_->bottomShown();
    if (CNqPlotSvr* plot = vrPlotService()) {
        f.reverseOrder = plot->getPublishInReverseOrder();
        f.plotStamp = plot->getIncludePlotStamp();
        f.dwf = plot->canPublish(1);
        f.dwfx = plot->canPublish(2);
    }
    return f;
}

void CSheetListWnd::rebuildPublishMenu() {
    publishMenu_->clear();
    if (!tree_->currentItem()) return;  // built only with a caret
    CSheetSet* set = currentSheetSet();
    std::vector<TkString> setups = set ? set->getPageSetupNames() : std::vector<TkString>{};
    fillMenu(publishMenu_, publishMenu(selectedComponents(), tree_->caretComponent(), setups, menuFacts()));
}

MenuSpec CSheetListWnd::selectionsMenu() const {
    MenuSpec m;
    CSheetSet* set = currentSheetSet();
    CSheetSelSetsImpl* sel = set ? set->getSheetSelSets() : nullptr;
    const int count = sel ? sel->getCount() : 0;
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return QString::compare(QString::fromStdWString(sel->getName(a)), QString::fromStdWString(sel->getName(b)),
                                Qt::CaseInsensitive) < 0;
    });
    for (int i : order) {
        if (i >= kRangeSize) continue;
        MenuItem item;
        item.id = kCmdSelectionFirst + i;
        item.text = QString::fromStdWString(sel->getName(i));
        m.push_back(item);
    }
    if (set) m.push_back(MenuItem{MenuItem::Separator});
    const bool locked = isLocked();
    MenuItem manage;
    manage.id = kCmdManageSelections;
    manage.text = paletteText(26601, L"&Manage...");
    manage.enabled = count > 0 && !locked;
    MenuItem create;
    create.id = kCmdSaveSelection;
    create.text = paletteText(26602, L"&Create...");
    create.enabled = !locked;
    m.push_back(manage);
    m.push_back(create);
    return m;
}

void CSheetListWnd::rebuildSelectionsMenu() {
    selectionsMenu_->clear();
    fillMenu(selectionsMenu_, selectionsMenu());
}

void CSheetListWnd::refreshSelectionsEnabling() {
    MenuSpec spec = selectionsMenu();
    for (QAction* a : selectionsMenu_->actions())
        if (a->data().isValid())
            if (const MenuItem* m = findMenuItem(spec, a->data().toInt())) a->setEnabled(m->enabled);
}

void CSheetListWnd::showMenu(const MenuSpec& spec, QPoint screenPos) {
    if (spec.empty()) return;
    if (menuTestHook) {
        if (int id = menuTestHook(spec)) OnCommand(id);
        return;
    }
    std::unique_ptr<QMenu> menu(buildMenu(spec, this));
    QAction* chosen = menu->exec(screenPos);
    if (chosen && chosen->data().isValid()) OnCommand(chosen->data().toInt());
}

// ---- service

bool CSheetListWnd::openSheetSet(const TkString& path) {
    int before = mgr_->getCurrent();
    if (!mgr_->openSheetSet(path.c_str())) return false;
    vrAddRecentFile(path);  // the host's File menu lists the sets opened here too
    recoverInterruptedAction();
    if (mgr_->getCurrent() != before) {
        sheetSetButton_->AddRecent(mgr_.get());
        afterSetsChanged();
        RebuildTree(currentSheetSet());
        publishMenuButton_->setEnabled(true);
        selectionsButton_->setEnabled(true);
    } else {
        tree_->setDrawing(false);
        if (QTreeWidgetItem* root = tree_->GetFirstItem()) SyncItem(root, currentSheetSet());
        tree_->setDrawing(true);
    }
    showDocked();
    return true;
}

void CSheetListWnd::recoverInterruptedAction() {
    const int current = mgr_->getCurrent();
    if (current < 0 || !TkFileJournal::inspect(tkToUtf8(sheetSetJournalPath(mgr_->getSheetSet(current)->getFileName()))).exists) return;
    // Taking the set finishes or undoes the action first; someone holding it does so themselves.
    EditSession session(*mgr_, current);
    if (!session.begin(0)) {
        reportEditFailure(session.failure());  // the half-done set is not shown as if all were well
        return;
    }
    const ActionResult r = session.commit(ActionResult::nothingToDo());
    for (const ActionResult::LeftAlone& l : r.leftAlone)
        if (l.reason == kRecovered) VrUiMessageBox(L"Sheet Set Manager", l.item, MB_OK | MB_ICONINFORMATION);
}

void CSheetListWnd::afterSetsChanged() {
    sheetSetButton_->RebuildMenu(mgr_.get());
    rebuildSelectionsMenu();
}

// ---- timers

int CSheetListWnd::statusPollInterval() const { return statusPoll_.isActive() ? statusInterval_ : -1; }

void CSheetListWnd::RestartStatusPolling() {
    statusPoll_.stop();
    statusInterval_ = -1;
    if (vredGetShortVar(L"SSMSHEETSTATUS") != 2) return;
    // A time of zero or less would poll without pause, probing every drawing on the file server
    // over and over: the usual minute stands in for it.
    int seconds = vredGetShortVar(L"SSMPOLLTIME");
    statusInterval_ = (seconds > 0 ? seconds : 60) * 1000;
    statusPoll_.start(statusInterval_, this);
}

void CSheetListWnd::timerEvent(QTimerEvent* e) {
    if (e->timerId() == lockPoll_.timerId()) OnLockPoll();
    else if (e->timerId() == statusPoll_.timerId()) StartStatusPass();
    else if (e->timerId() == cachePurge_.timerId()) cache_->purge();
    else QWidget::timerEvent(e);
}

void CSheetListWnd::OnLockPoll() {
    if (busy_) return;
    CSheetSet* set = currentSheetSet();
    // A set an operation of this process holds is read by that operation, never under it.
    if (!set || static_cast<CSheetSetImpl*>(set)->isLockedHere()) return;
    int status = set->getLockStatus();
    if (status != sheetSetButton_->stateImage()) sheetSetButton_->SetStateImage(status);
    if (set->isModifiedOnDisk()) onRefresh();
}
