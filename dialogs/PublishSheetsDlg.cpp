#include "dialogs/PublishSheetsDlg.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>
#include <functional>

#include "model/ItemLookup.h"
#include "model/NewSheet.h"

namespace {

constexpr int kIdRole = Qt::UserRole, kFlagRole = Qt::UserRole + 1, kKindRole = Qt::UserRole + 2;
enum Kind { Root, Subset, Sheet };

void forEachBelow(QTreeWidgetItem* item, const std::function<void(QTreeWidgetItem*)>& f) {
    for (int i = 0; i < item->childCount(); ++i) {
        f(item->child(i));
        forEachBelow(item->child(i), f);
    }
}

}  // namespace

CPublishSheetsDlg::CPublishSheetsDlg(CSheetSet* set, QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:PublishSheets");
    setHelpTopic(L"publish-settings");
    setWindowTitle(tr("Subset and Sheet Publish Settings"));
    tree = new QTreeWidget(this);
    tree->setHeaderHidden(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updating_ = true;
    auto* root = new QTreeWidgetItem(tree, QStringList{QString::fromStdWString(set->getName())});
    root->setData(0, kKindRole, Root);
    root->setData(0, kIdRole, QVariant::fromValue<qulonglong>(componentId(set)));
    root->setFlags(root->flags() | Qt::ItemIsUserCheckable);
    fill(root, set);
    bool any = false;
    forEachBelow(root, [&](QTreeWidgetItem* i) { any = any || i->checkState(0) == Qt::Checked; });
    root->setCheckState(0, any ? Qt::Checked : Qt::Unchecked);
    root->setExpanded(true);
    tree->setCurrentItem(root);
    updating_ = false;
    connect(tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* i) { onChanged(i); });
    resize(420, 480);
}

void CPublishSheetsDlg::setComponentTips(Tips tips, int style) {
    delete tip_;
    tip_ = nullptr;
    if (!tips) return;
    tip_ = new CComponentToolTipCtrl(
        tree, [tips](QTreeWidgetItem* item, int s) { return tips(item->data(0, kIdRole).toULongLong(), item->text(0), s); },
        [style] { return style; });
}

void CPublishSheetsDlg::fill(QTreeWidgetItem* parent, CSubset* subset) {
    for (int i = 0; i < subset->getCount(); ++i) {
        CComponent* c = subset->getAt(i);
        auto* item = new QTreeWidgetItem(parent);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setData(0, kIdRole, QVariant::fromValue<qulonglong>(componentId(c)));
        bool flag;
        if (c->getType() == kComponentSheet) {
            auto* sheet = static_cast<CSheet*>(c);
            item->setText(0, QString::fromStdWString(sheetDisplayName(sheet->getNumber(), sheet->getTitle())));
            item->setData(0, kKindRole, Sheet);
            flag = sheet->getIncludeForPublish();
        } else {
            auto* sub = static_cast<CSubset*>(c);
            item->setText(0, QString::fromStdWString(sub->getName()));
            item->setData(0, kKindRole, Subset);
            flag = sub->getIncludeForPublish();
            fill(item, sub);
            item->setExpanded(true);
        }
        item->setData(0, kFlagRole, flag);
        item->setCheckState(0, flag ? Qt::Checked : Qt::Unchecked);
    }
}

void CPublishSheetsDlg::onChanged(QTreeWidgetItem* item) {
    if (updating_) return;
    updating_ = true;
    QTreeWidgetItem* root = tree->topLevelItem(0);
    const bool on = item->checkState(0) == Qt::Checked;
    if (item == root) {
        // Every sheet takes the root's state; every subset is checked.
        forEachBelow(root, [&](QTreeWidgetItem* i) {
            i->setCheckState(0, i->data(0, kKindRole).toInt() == Sheet ? (on ? Qt::Checked : Qt::Unchecked) : Qt::Checked);
        });
    } else if (item->data(0, kKindRole).toInt() == Sheet) {
        bool anySheet = on;
        if (!on)
            forEachBelow(root, [&](QTreeWidgetItem* i) {
                anySheet = anySheet || (i->data(0, kKindRole).toInt() == Sheet && i->checkState(0) == Qt::Checked);
            });
        root->setCheckState(0, anySheet ? Qt::Checked : Qt::Unchecked);
    }
    updating_ = false;
}

void CPublishSheetsDlg::OnOK() {
    changes.clear();
    forEachBelow(tree->topLevelItem(0), [&](QTreeWidgetItem* i) {
        const bool on = i->checkState(0) == Qt::Checked;
        if (on != i->data(0, kFlagRole).toBool()) changes.emplace_back(i->data(0, kIdRole).toULongLong(), on);
    });
    done(QDialog::Accepted);
}
