#include "wizard/LayoutTree.h"

#include <QContextMenuEvent>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMenu>

#include "host/PathUtil.h"
#include "model/SheetSetMessages.h"

namespace {

QTreeWidgetItem* makeItem(const QString& text, CLayoutTree::Kind kind, const TkString& path, const QIcon& icon) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, CLayoutTree::kKindRole, kind);
    item->setData(0, CLayoutTree::kPathRole, QString::fromStdWString(path));
    item->setIcon(0, icon);
    item->setCheckState(0, Qt::Checked);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (kind != CLayoutTree::Layout) flags |= Qt::ItemIsAutoTristate;
    item->setFlags(flags);
    return item;
}

void addFolderContents(QTreeWidgetItem* parent, const ScannedFolder& f, const QFileIconProvider& icons) {
    for (const ScannedFolder& sub : f.folders) {
        QTreeWidgetItem* item = makeItem(QString::fromStdWString(sub.name), CLayoutTree::Folder, sub.path, icons.icon(QFileIconProvider::Folder));
        parent->addChild(item);
        addFolderContents(item, sub, icons);
    }
    for (const ScannedDrawing& d : f.drawings) {
        QTreeWidgetItem* item = makeItem(QString::fromStdWString(d.name), CLayoutTree::Drawing, d.path, icons.icon(QFileIconProvider::File));
        parent->addChild(item);
        for (const ScannedLayout& l : d.layouts) {
            QTreeWidgetItem* layout = makeItem(QString::fromStdWString(l.name), CLayoutTree::Layout, d.path, QIcon::fromTheme("x-office-drawing"));
            layout->setData(0, CLayoutTree::kHandleRole, static_cast<uint>(l.handle));
            item->addChild(layout);
        }
    }
}

void expandDrawings(QTreeWidgetItem* item) {
    item->setExpanded(true);
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->data(0, CLayoutTree::kKindRole).toInt() != CLayoutTree::Layout) expandDrawings(item->child(i));
}

bool isChecked(const QTreeWidgetItem* item) { return item->checkState(0) != Qt::Unchecked; }

ScannedFolder folderOf(const QTreeWidgetItem* item) {
    ScannedFolder f;
    f.path = item->data(0, CLayoutTree::kPathRole).toString().toStdWString();
    f.name = item->text(0).toStdWString();
    f.checked = isChecked(item);
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* c = item->child(i);
        if (c->data(0, CLayoutTree::kKindRole).toInt() == CLayoutTree::Folder) {
            f.folders.push_back(folderOf(c));
            continue;
        }
        ScannedDrawing d;
        d.path = c->data(0, CLayoutTree::kPathRole).toString().toStdWString();
        d.name = c->text(0).toStdWString();
        d.checked = isChecked(c);
        for (int j = 0; j < c->childCount(); ++j)
            d.layouts.push_back(ScannedLayout{c->child(j)->text(0).toStdWString(),
                                              c->child(j)->data(0, CLayoutTree::kHandleRole).toUInt(), isChecked(c->child(j))});
        f.drawings.push_back(std::move(d));
    }
    return f;
}

}  // namespace

CLayoutTree::CLayoutTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
}

QTreeWidgetItem* CLayoutTree::findTopFolder(const TkString& folder) const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (vrutSameTextNoCase(topLevelItem(i)->data(0, kPathRole).toString().toStdWString(), folder)) return topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* CLayoutTree::addTopFolder(const ScannedFolder& folder) {
    QFileIconProvider icons;
    QString name = QString::fromStdWString(folder.name.empty() ? folder.path : folder.name);
    QTreeWidgetItem* top = makeItem(name, TopFolder, folder.path, icons.icon(QFileIconProvider::Folder));
    addTopLevelItem(top);
    addFolderContents(top, folder, icons);
    expandDrawings(top);
    return top;
}

std::vector<ScannedFolder> CLayoutTree::checkedTree() const {
    std::vector<ScannedFolder> tops;
    for (int i = 0; i < topLevelItemCount(); ++i) tops.push_back(folderOf(topLevelItem(i)));
    return tops;
}

void CLayoutTree::removeItem(QTreeWidgetItem* item) {
    QTreeWidgetItem* parent = item->parent();
    delete item;
    // A parent's partial check state follows what is left under it.
    if (parent && parent->childCount()) parent->child(0)->setCheckState(0, parent->child(0)->checkState(0));
}

void CLayoutTree::contextMenuEvent(QContextMenuEvent* e) {
    QTreeWidgetItem* item = itemAt(e->pos());
    if (!item) return;
    setCurrentItem(item);
    QMenu menu(this);
    QAction* remove = menu.addAction(QString::fromStdWString(ssMessage(27801, L"Remove")));
    if (menu.exec(e->globalPos()) == remove) removeItem(item);
}
