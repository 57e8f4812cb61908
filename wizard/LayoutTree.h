#pragma once
// The folders, drawings and set-up paper layouts to make sheets of, each with a check box. A parent
// checked or unchecked takes its children with it; a parent with some children checked shows as
// partly checked and still counts as checked. "Remove" in the context menu takes an item out.
#include <QTreeWidget>
#include <vector>

#include "model/DrawingFolders.h"

class CLayoutTree : public QTreeWidget {
public:
    enum Kind { TopFolder, Folder, Drawing, Layout };
    static constexpr int kKindRole = Qt::UserRole, kPathRole = Qt::UserRole + 1, kHandleRole = Qt::UserRole + 2;

    explicit CLayoutTree(QWidget* parent = nullptr);
    // The top-level item of `folder` (letter case ignored), or null.
    QTreeWidgetItem* findTopFolder(const TkString& folder) const;
    // Appends a scanned folder as a top-level item, checked, expanded with its drawings.
    QTreeWidgetItem* addTopFolder(const ScannedFolder& folder);
    // The tree with its check states, as the set builder takes it.
    std::vector<ScannedFolder> checkedTree() const;
    void removeItem(QTreeWidgetItem* item);

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;
};
