// The sheet list window's commands: tree notifications, context menus, the drop that moves sheets
// and subsets, and the routing of every menu and button id.
#include <QTreeWidgetItem>

#include "drawings/FileLocks.h"
#include "drawings/SheetSetLock.h"
#include "host/CommandLine.h"
#include "host/Dialogs.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "host/PlotService.h"
#include "host/Progress.h"
#include "host/Documents.h"
#include "model/ItemLookup.h"
#include "actions/MoveItems.h"
#include "actions/SheetSetEdit.h"
#include "model/SheetSetMessages.h"
#include "model/SheetSetMgrImpl.h"
#include "model/SubsetImpl.h"
#include "palette/CommandTable.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListWnd.h"

#include <algorithm>
#include "palette/SheetSetPanes.h"
#include "palette/SheetlistButton.h"
#include "palette/SheetsetTree.h"

using namespace pal;

namespace {

bool openInHost(const TkString& path) {
    VrApDocManager* dm = vrDocManagerPtr();
    for (int i = 0; i < dm->documentCount(); ++i)
        if (sameTextNoCase(dm->document(i)->fileName(), path)) return true;
    return false;
}
}  // namespace

void CSheetListWnd::onSelChanged(CComponent* component) {
    QList<QTreeWidgetItem*> selected;
    tree_->GetSelectedItems(selected);
    // One click tells of the same selection several times (press, caret, release): it is shown once.
    SelectionSeen now{component, selected};
    if (now == lastSelection_) return;
    lastSelection_ = now;
    UpdatePublishButton();
    panes_->detailsPane()->Update(component, selected.size() > 1);
}

void CSheetListWnd::onRefresh() {
    if (mgr_->getCount() == 0 || mgr_->sheetSetImpl(mgr_->getCurrent())->isLockedHere()) return;
    ++reloadCount_;
    TreeState before = saveTreeState();
    if (!mgr_->reloadSheetSet(mgr_->getCurrent())) {
        // The open copy stays as it was; the next change on disk is tried again.
        vrutPrintf(L"\n%ls\n", mgr_->lastError().c_str());
        return;
    }
    afterSetsChanged();
    // The reload replaced every model object: the tree is built anew and the details follow the
    // caret's new one.
    RebuildTreeKeepingState(before);
    onSelChanged(tree_->caretComponent());
}

void CSheetListWnd::reportEditFailure(const ActionResult& r) {
    CSheetSet* set = currentSheetSet();
    const TkString text = r.failureText(set ? set->getFileName() : TkString());
    if (!text.empty()) {
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), text, MB_OK | MB_ICONERROR);
        return;
    }
    // Missing drawings show as missing in the tree already; the others are said here. What else
    // an operation left alone it says itself.
    TkString list;
    for (const ActionResult::LeftAlone& l : r.leftAlone)
        if (l.problem && l.reason == kTitleBlockNotUpdated) list += L"\n" + l.item;
    if (!list.empty())
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), L"These drawings' title blocks could not be brought up to date:" + list,
                       MB_OK | MB_ICONWARNING);
}

void CSheetListWnd::onDblClick(CComponent* component) {
    if (component && component->getType() == kComponentSheet) OnCommand(kCmdOpenSheets);
}

MenuSpec CSheetListWnd::contextMenuFor(CComponent* component) const {
    MenuFacts f = menuFacts();
    if (!component) return currentSheetSet() ? emptySpaceMenu(f) : MenuSpec{};
    std::vector<CComponent*> selected = selectedComponents();
    MenuSpec publish;
    if (tree_->currentItem()) {
        CSheetSet* set = currentSheetSet();
        std::vector<TkString> setups = set ? set->getPageSetupNames() : std::vector<TkString>{};
        publish = publishMenu(selected, tree_->caretComponent(), setups, f);
    }
    if (selected.size() > 1) return multiSelectionMenu(selected, f, publish);
    switch (component->getType()) {
    case 0: return sheetSetMenu(static_cast<CSubset*>(component), f, publish);
    case 1: {
        QTreeWidgetItem* item = tree_->findItem(component);
        return subsetMenu(static_cast<CSubset*>(component), item && item->isExpanded() && item->childCount() > 0, f, publish);
    }
    default: {
        TkString path = static_cast<CSheet*>(component)->getFileName();
        bool exists = vrutPathExists(path);
        return sheetMenu(exists, f.docs && openInHost(path), f, publish);
    }
    }
}

void CSheetListWnd::onContextMenu(CComponent* component, QPoint screenPos) { showMenu(contextMenuFor(component), screenPos); }

bool CSheetListWnd::canBeginDrag() {
    CSheetSet* set = currentSheetSet();
    if (!set) return false;
    int status = set->getLockStatus();
    if (status == 2 || status == 3) return false;
    busy_ = true;  // the lock poll keeps off until the drag ends
    sheetSetButton_->SetStateImage(1);
    return true;
}

void CSheetListWnd::onEndDrag() { busy_ = false; }

void CSheetListWnd::onDrop(QTreeWidgetItem* target, bool after, const QList<QTreeWidgetItem*>& dragged) {
    onEndDrag();
    lastSelection_ = {};
    CComponent* targetComp = CSheetsetTree::componentOf(target);
    if (!currentSheetSet() || !targetComp) return;
    // With no parent to go after, a drop below the sheet set's own row goes into it.
    if (!target->parent()) after = false;
    // The move is applied to the set as it is on disk, which may have been read again under the
    // lock: the items are carried over by stable id, not by pointer.
    std::vector<uint64_t> draggedIds;
    QList<QTreeWidgetItem*> oldItems;
    for (QTreeWidgetItem* i : dragged) {
        bool underDragged = false;
        for (QTreeWidgetItem* p = i->parent(); p; p = p->parent()) underDragged = underDragged || dragged.contains(p);
        if (underDragged) continue;  // it goes with its subset
        draggedIds.push_back(componentId(CSheetsetTree::componentOf(i)));
        oldItems.push_back(i);
    }
    const uint64_t targetId = componentId(targetComp);
    const bool besideTarget = targetComp->getType() == kComponentSheet || after;
    MoveRequest request;
    for (uint64_t id : draggedIds) request.items.push_back(ItemRef::byId(id));
    (besideTarget ? request.after : request.into) = ItemRef::byId(targetId);
    std::unique_ptr<EditSession> session = BeginEdit();
    if (!session) return;
    TreeState before = beforeEdit_;
    const bool rebuilt = session->replacedSet();
    std::vector<uint64_t> movedIds;
    ActionResult r = moveItems(*session, request, &movedIds);
    session.reset();
    std::vector<CComponent*> moved;
    if (CSheetSet* now = currentSheetSet())
        for (uint64_t id : movedIds)
            if (CComponent* c = findComponentById(static_cast<CSheetSetImpl*>(now), id)) moved.push_back(c);
    if (r.reloaded || rebuilt) {
        // The tree shows an older set: build it anew, with the moved items selected.
        afterSetsChanged();
        RebuildTreeKeepingState(before);
        if (r.status == ActionResult::Done) {
            tree_->ClearSelectedItems();
            for (CComponent* c : moved)
                if (QTreeWidgetItem* i = tree_->findItem(c)) i->setSelected(true);
            if (!moved.empty()) tree_->SelectItem(tree_->findItem(moved.back()));
        }
        onSelChanged(tree_->caretComponent());
    } else if (r.status == ActionResult::Done) {
        QTreeWidgetItem* destItem = besideTarget ? target->parent() : target;
        tree_->setDrawing(false);
        tree_->ClearSelectedItems();
        QTreeWidgetItem* prev = besideTarget ? target : nullptr;
        QList<QTreeWidgetItem*> newItems;
        for (CComponent* c : moved) newItems.push_back(prev = InsertComponentItem(destItem, prev, c));
        for (QTreeWidgetItem* i : newItems) i->setSelected(true);
        tree_->SelectItem(newItems.back());  // the copy of the last dragged item
        qDeleteAll(oldItems);
        SyncItem(tree_->GetFirstItem(), currentSheetSet());
        tree_->setDrawing(true);
    }
    if (CSheetSet* set = currentSheetSet()) sheetSetButton_->SetStateImage(set->getLockStatus());
    reportEditFailure(r);
}

void CSheetListWnd::switchCurrent(int index) {
    if (index < 0 || index >= mgr_->getCount()) return;
    mgr_->setCurrent(index);
    ShowCurrentSheetSet();
}

void CSheetListWnd::ShowCurrentSheetSet() {
    afterSetsChanged();
    CSheetSet* set = currentSheetSet();
    sheetSetButton_->SetStateImage(set ? set->getLockStatus() : 0);
    RebuildTree(set);
    if (set) onSelChanged(tree_->caretComponent());
    EnableButtons();
}

void CSheetListWnd::openRecent(int index) {
    const auto& recent = sheetSetButton_->recent();
    if (index < 0 || index >= static_cast<int>(recent.size())) return;
    TkString path = recent[static_cast<size_t>(index)];
    if (vrutPathExists(path)) {
        // Under the host's own caption; only a file that is gone is the manager's error (below).
        if (!vornOpenFile(path, 0)) VrUiMessageBox(vrHostCaption(), ssMessage(26729, L"Sheet Set file is not valid."), MB_OK);
        return;
    }
    sheetSetButton_->RemoveRecent(index);
    sheetSetButton_->RebuildMenu(mgr_.get());
    VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"),
                   ssMessage(26730, L"Cannot find the specified file.\nPlease verify that the file exists."), MB_OK | MB_ICONERROR);
    OnCommand(kCmdOpen);
}

void CSheetListWnd::togglePlotSetting(int id) {
    CNqPlotSvr* plot = vrPlotService();
    if (!plot) return;
    if (id == kCmdReverseOrder) plot->setPublishInReverseOrder(!plot->getPublishInReverseOrder());
    else plot->setIncludePlotStamp(!plot->getIncludePlotStamp());
}

std::unique_ptr<EditSession> CSheetListWnd::BeginEdit() {
    if (!currentSheetSet()) return nullptr;
    auto session = std::make_unique<EditSession>(*mgr_, mgr_->getCurrent());
    // Drawings open for editing here get their title blocks in the open document; the others are
    // written off the UI thread with the progress shown.
    session->openDrawing = [](const TkString& file) -> TkDbDatabase* {
        VrApDocument* doc = vrDocManagerPtr()->findDocument(file);
        return doc && !doc->isReadOnly() ? doc->database() : nullptr;
    };
    session->renameLayoutOpenHere = [](const TkString& file, const TkString& from, const TkString& to) {
        VrApDocument* doc = vrDocManagerPtr()->findDocument(file);
        return doc && !doc->isReadOnly() && vrDocManagerPtr()->renameLayout(doc, from, to);
    };
    session->runLong = [](const TkString& what, const std::function<void(const EditSession::Progress&)>& work) {
        vrRunWithProgress(L"Sheet Set Manager", what, [&](VrProgress& p) { work([&](int done, int total) { p.set(done, total); }); });
    };
    lastSelection_ = {};
    beforeEdit_ = saveTreeState();
    if (!session->begin()) {
        sheetSetButton_->SetStateImage(currentSheetSet()->getLockStatus());
        reportEditFailure(session->failure());
        return nullptr;
    }
    sheetSetButton_->SetStateImage(1);
    if (session->replacedSet()) {
        // Someone saved since the tree was built: it shows the set the dialog will show.
        afterSetsChanged();
        RebuildTreeKeepingState(beforeEdit_);
        onSelChanged(tree_->caretComponent());
        beforeEdit_ = saveTreeState();
    }
    return session;
}

void CSheetListWnd::EndEdit(const ActionResult& r) {
    lastSelection_ = {};
    if (r.reloaded) {
        afterSetsChanged();
        RebuildTreeKeepingState(beforeEdit_);
        onSelChanged(tree_->caretComponent());
    } else if (QTreeWidgetItem* root = tree_->GetFirstItem()) {
        SyncItem(root, currentSheetSet());  // labels and images follow the change
    }
    if (CSheetSet* set = currentSheetSet()) sheetSetButton_->SetStateImage(set->getLockStatus());
    reportEditFailure(r);
}

ActionResult CSheetListWnd::EditCurrentSet(const SheetSetChange& change) {
    std::unique_ptr<EditSession> session = BeginEdit();
    if (!session) return {};
    ActionResult r = runCore(*session, [&](EditSession& s) { return applyChange(s, change); });
    session.reset();
    EndEdit(r);
    return r;
}

void CSheetListWnd::OnCommand(int id) {
    if (id >= kCmdOpenSetFirst && id < kCmdOpenSetFirst + kRangeSize) return switchCurrent(id - kCmdOpenSetFirst);
    if (id >= kCmdRecentFirst && id < kCmdRecentFirst + kRangeSize) return openRecent(id - kCmdRecentFirst);
    switch (id) {
    case kCmdCollapse:
    case kCmdExpand:
        if (QTreeWidgetItem* caret = tree_->currentItem()) caret->setExpanded(id == kCmdExpand);
        return;
    case kCmdExpandAll: tree_->ExpandAll(); return;
    case kCmdCollapseAll: tree_->CollapseAll(); return;
    case kCmdDetailsPane: {
        panes_->ShowBottomPane(!panes_->bottomShown());
        if (panes_->bottomShown() && tree_->currentItem()) {
            QList<QTreeWidgetItem*> selected;
            tree_->GetSelectedItems(selected);
            panes_->detailsPane()->Update(tree_->caretComponent(), selected.size() > 1);
        }
        return;
    }
    case kCmdClosePalette: ShowPalette(false); return;
    case kCmdReverseOrder:
    case kCmdPlotStamp: togglePlotSetting(id); return;
    case kCmdPlotStampSettings:
        if (CNqPlotSvr* plot = vrPlotService()) plot->plotStampSettings();
        return;
    default: break;
    }
    if (id >= kCmdToolTipStyleFirst && id <= kCmdToolTipStyleLast) {
        settings_.toolTipStyle = id - kCmdToolTipStyleFirst;
        return;
    }
    // The sheet set operations (new, open, close, new sheet and subset, rename, remove, import,
    // resave, publish, transmit, properties, selections) are in the command table as each is built;
    // until then their ids do nothing.
    RunCommand(id, {});
}

void CSheetListWnd::RunCommand(int id, const std::vector<std::wstring>& args) {
    if (const SheetListOperation* operation = SheetListCommands::find(id)) {
        SheetListContext ctx{*this, *mgr_, currentSheetSet(), selectedComponents(), tree_->caretComponent(), id, args};
        for (CComponent* c : ctx.selected) ctx.selectedIds.push_back(componentId(c));
        ctx.caretId = componentId(ctx.caret);
        (*operation)(ctx);
    }
}

void CSheetListWnd::SelectComponents(const std::vector<CComponent*>& components) {
    tree_->ClearSelectedItems();
    QTreeWidgetItem* first = nullptr;
    QTreeWidgetItem* focus = nullptr;
    int count = 0;
    for (QTreeWidgetItem* i = tree_->GetFirstItem(); i; i = tree_->GetNextItem(i)) {
        CComponent* c = CSheetsetTree::componentOf(i);
        if (std::find(components.begin(), components.end(), c) == components.end()) continue;
        for (QTreeWidgetItem* p = i->parent(); p; p = p->parent()) p->setExpanded(true);
        tree_->SelectItem(i);
        tree_->scrollToItem(i);
        if (!first) first = i;
        if (!components.empty() && c == components.front()) focus = i;
        ++count;
    }
    lastSelection_ = {};
    if (!first) return ShowComponent(currentSheetSet());
    tree_->setCurrentItem(focus ? focus : first, 0, QItemSelectionModel::NoUpdate);
    panes_->detailsPane()->Update(CSheetsetTree::componentOf(first), count > 1);
}

void CSheetListWnd::ShowComponent(CComponent* component) {
    QTreeWidgetItem* item = component ? tree_->findItem(component) : nullptr;
    if (!item) return;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    tree_->ClearSelectedItems();
    tree_->SelectItem(item);
    tree_->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    tree_->scrollToItem(item);
    lastSelection_ = {};
    onSelChanged(component);
}
