// The sheet list window's tree items: built from the model, synced by position, and the sheet
// status pass that re-tests every drawing.
#include <QElapsedTimer>
#include <QScrollBar>
#include <QThreadPool>

#include "model/ItemLookup.h"
#include "model/SheetImpl.h"
#include "model/SheetSetMgrImpl.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListWnd.h"
#include "palette/SheetsetTree.h"
#include "palette/TreeImages.h"

using namespace pal;

namespace {
QString label(CComponent* c) {
    if (c->getType() == kComponentSheet) return QString::fromStdWString(sheetDisplayName(static_cast<CSheet*>(c)));
    return QString::fromStdWString(static_cast<CSubset*>(c)->getName());
}

QTreeWidgetItem* newItem(QTreeWidgetItem* parent, QTreeWidgetItem* after) {
    // After null means first; the caller passes the last child to append.
    return after ? new QTreeWidgetItem(parent, after) : (parent->insertChild(0, new QTreeWidgetItem), parent->child(0));
}

QTreeWidgetItem* lastChild(QTreeWidgetItem* parent) { return parent->childCount() ? parent->child(parent->childCount() - 1) : nullptr; }
}  // namespace

void CSheetListWnd::RebuildTree(CSheetSet* sheetSet) {
    lastSelection_ = {};  // new items and model objects may come back at old addresses
    tree_->setDrawing(false);
    tree_->DeleteAllItems();
    if (!sheetSet) {
        tree_->setDrawing(true);
        onSelChanged(nullptr);
        return;
    }
    auto* root = new QTreeWidgetItem(tree_);
    root->setText(0, QString::fromStdWString(sheetSet->getName()));
    CSheetsetTree::setImage(root, kImgSheetSet);
    CSheetsetTree::setComponent(root, sheetSet);
    for (int i = 0; i < sheetSet->getCount(); ++i) InsertComponentItem(root, lastChild(root), sheetSet->getAt(i));
    root->setExpanded(true);
    tree_->ClearSelectedItems();
    tree_->SelectItem(root);
    tree_->setDrawing(true);
}

QTreeWidgetItem* CSheetListWnd::InsertSheetItem(QTreeWidgetItem* parent, QTreeWidgetItem* after, CSheet* sheet) {
    QTreeWidgetItem* item = newItem(parent, after);
    item->setText(0, label(sheet));
    CSheetsetTree::setImage(item, sheetImageIndex(sheet));
    CSheetsetTree::setComponent(item, sheet);
    return item;
}

QTreeWidgetItem* CSheetListWnd::InsertComponentItem(QTreeWidgetItem* parent, QTreeWidgetItem* after, CComponent* component) {
    if (component->getType() == kComponentSheet) return InsertSheetItem(parent, after, static_cast<CSheet*>(component));
    auto* subset = static_cast<CSubset*>(component);
    QTreeWidgetItem* item = newItem(parent, after);
    item->setText(0, label(subset));
    CSheetsetTree::setImage(item, kImgSubset);
    UpdateSubsetImage(item, subset);
    CSheetsetTree::setComponent(item, subset);
    for (int i = 0; i < subset->getCount(); ++i) InsertComponentItem(item, lastChild(item), subset->getAt(i));
    // The sheet set and its first-level subsets open; deeper ones stay closed.
    if (!parent->parent() && item->childCount()) item->setExpanded(true);
    return item;
}

void CSheetListWnd::UpdateSubsetImage(QTreeWidgetItem* item, CSubset* subset) { CSheetsetTree::setImage(item, subsetImageIndex(subset)); }

void CSheetListWnd::SyncItem(QTreeWidgetItem* item, CComponent* component) {
    CSheetsetTree::setComponent(item, component);
    if (component->getType() == kComponentSheet) {
        item->setText(0, label(component));
        CSheetsetTree::setImage(item, sheetImageIndex(static_cast<CSheet*>(component)));
        qDeleteAll(item->takeChildren());
        return;
    }
    auto* subset = static_cast<CSubset*>(component);
    item->setText(0, label(subset));
    if (component->getType() == kComponentSubset) UpdateSubsetImage(item, subset);
    const int want = subset->getCount();
    while (item->childCount() > want) {
        QTreeWidgetItem* surplus = item->child(item->childCount() - 1);
        for (QTreeWidgetItem* c = tree_->currentItem(); c; c = c->parent())
            if (c == surplus) {
                tree_->setCurrentItem(tree_->GetFirstItem(), 0, QItemSelectionModel::NoUpdate);
                break;
            }
        delete surplus;
    }
    while (item->childCount() < want) new QTreeWidgetItem(item);  // placeholders, filled below
    for (int i = 0; i < want; ++i) SyncItem(item->child(i), subset->getAt(i));
}

CSheetListWnd::TreeState CSheetListWnd::saveTreeState() const {
    TreeState st;
    for (QTreeWidgetItem* i = tree_->GetFirstItem(); i; i = tree_->GetNextItem(i)) {
        uint64_t id = componentId(CSheetsetTree::componentOf(i));
        st.known.insert(id);
        if (i->isExpanded()) st.expanded.insert(id);
        if (i->isSelected()) st.selected.insert(id);
    }
    st.caret = componentId(tree_->caretComponent());
    st.scroll = tree_->verticalScrollBar()->value();
    return st;
}

void CSheetListWnd::restoreTreeState(const TreeState& st) {
    tree_->setDrawing(false);
    QTreeWidgetItem* caret = nullptr;
    for (QTreeWidgetItem* i = tree_->GetFirstItem(); i; i = tree_->GetNextItem(i)) {
        uint64_t id = componentId(CSheetsetTree::componentOf(i));
        // Items new to this tree (a colleague's new subset) open as a fresh tree would show them.
        if (i->childCount() && st.known.count(id)) i->setExpanded(st.expanded.count(id) > 0);
        if (id == st.caret) caret = i;
    }
    tree_->ClearSelectedItems();
    if (caret) tree_->setCurrentItem(caret, 0, QItemSelectionModel::NoUpdate);
    else if (tree_->GetFirstItem()) tree_->SelectItem(tree_->GetFirstItem());  // what the caret was on is gone
    for (QTreeWidgetItem* i = tree_->GetFirstItem(); i; i = tree_->GetNextItem(i))
        if (st.selected.count(componentId(CSheetsetTree::componentOf(i)))) i->setSelected(true);
    tree_->verticalScrollBar()->setValue(st.scroll);
    tree_->setDrawing(true);
}

void CSheetListWnd::RebuildTreeKeepingState(const TreeState& before) {
    RebuildTree(currentSheetSet());
    restoreTreeState(before);
}

std::vector<CComponent*> CSheetListWnd::selectedComponents() const {
    std::vector<CComponent*> out;
    QList<QTreeWidgetItem*> items;
    tree_->GetSelectedItems(items);
    for (QTreeWidgetItem* i : items)
        if (CComponent* c = CSheetsetTree::componentOf(i)) out.push_back(c);
    return out;
}

bool CSheetListWnd::StartStatusPass() {
    if (statusPassRunning_ || !currentSheetSet() || !tree_->GetFirstItem()) return false;
    QElapsedTimer t;
    t.start();
    // The paths are gathered here; the probes (a stat, an open and a lock test each, slow on a
    // file server) run on a pool thread, so the palette never waits for the disk.
    std::vector<TkString> paths;
    for (QTreeWidgetItem* i = tree_->GetFirstItem(); i; i = tree_->GetNextItem(i)) {
        CComponent* c = CSheetsetTree::componentOf(i);
        if (c && c->getType() == kComponentSheet) paths.push_back(static_cast<CSheet*>(c)->getFileName());
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());  // one probe per drawing
    statusPassRunning_ = true;
    lastStallUs_ = t.nsecsElapsed() / 1000;
    // The window waits for its pool before it goes, so `self` outlives the task; the result is
    // posted to the window, and a window that is gone drops it with its other events.
    CSheetListWnd* self = this;
    probes_->start([self, paths = std::move(paths)] {
        auto images = std::make_shared<std::map<TkString, int>>();
        for (const TkString& p : paths) (*images)[p] = sheetImageIndex(p);
        QMetaObject::invokeMethod(self, [self, images] { self->applyStatusResults(*images); }, Qt::QueuedConnection);
    });
    return true;
}

void CSheetListWnd::applyStatusResults(const std::map<TkString, int>& images) {
    QElapsedTimer t;
    t.start();
    statusPassRunning_ = false;
    // Items may have changed meanwhile: each is looked up by its sheet's drawing now.
    for (QTreeWidgetItem* i = tree_->GetFirstItem(); i; i = tree_->GetNextItem(i)) {
        CComponent* c = CSheetsetTree::componentOf(i);
        if (!c || c->getType() != kComponentSheet) continue;
        auto it = images.find(static_cast<CSheet*>(c)->getFileName());
        if (it != images.end() && CSheetsetTree::imageOf(i) != it->second) CSheetsetTree::setImage(i, it->second);
    }
    lastStallUs_ = std::max(lastStallUs_, t.nsecsElapsed() / 1000);
}
