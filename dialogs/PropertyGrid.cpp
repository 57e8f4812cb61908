#include "dialogs/PropertyGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "model/SheetSetMessages.h"

QString yesText() { return QString::fromStdWString(ssMessage(26109, L"Yes")); }
QString noText() { return QString::fromStdWString(ssMessage(26110, L"No")); }
QStringList yesNoChoices() { return {yesText(), noText()}; }

int CPropertyTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(rows_.size()); }
int CPropertyTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant CPropertyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == 0 ? QObject::tr("Property") : QObject::tr("Value");
}

QVariant CPropertyTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const PropertyRow& r = rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        // A browse row's value is drawn by its cell widget, beside the button.
        if (index.column() == 1 && r.kind == PropertyRow::Browse) return {};
        [[fallthrough]];
    case Qt::EditRole:
        return index.column() == 0 ? r.label : r.kind == PropertyRow::Group ? QVariant() : QVariant(r.value);
    case Qt::FontRole: {
        QFont f;
        f.setBold(r.kind == PropertyRow::Group || (index.column() == 1 && r.modified()));
        return f;
    }
    case Qt::ToolTipRole:
        // A read-only value is mostly a path too long for its cell: the tip holds it whole.
        if (index.column() == 1 && r.kind == PropertyRow::ReadOnly && !r.value.isEmpty()) return r.value;
        return r.description.isEmpty() ? QVariant() : QVariant(r.description);
    case Qt::BackgroundRole:
        return r.kind == PropertyRow::Group ? QVariant(QPalette().color(QPalette::AlternateBase)) : QVariant();
    case Qt::ForegroundRole:
        return r.kind == PropertyRow::ReadOnly && index.column() == 1 ? QVariant(QPalette().color(QPalette::Disabled, QPalette::Text)) : QVariant();
    default: return {};
    }
}

bool CPropertyTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != 1 || index.row() >= rowCount()) return false;
    PropertyRow& r = rows_[static_cast<size_t>(index.row())];
    if (r.kind != PropertyRow::Plain && r.kind != PropertyRow::Choice && r.kind != PropertyRow::Browse) return false;
    if (r.kind == PropertyRow::Choice && !r.choices.contains(value.toString())) return false;
    r.value = value.toString();
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), 1));
    return true;
}

Qt::ItemFlags CPropertyTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    const PropertyRow& r = rows_[static_cast<size_t>(index.row())];
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // Browse rows take their value from their chooser only; yes/no rows from their list.
    if (index.column() == 1 && (r.kind == PropertyRow::Plain || r.kind == PropertyRow::Choice)) f |= Qt::ItemIsEditable;
    return f;
}

void CPropertyTableModel::setRows(std::vector<PropertyRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

PropertyRow* CPropertyTableModel::row(const QString& key) {
    for (PropertyRow& r : rows_)
        if (r.key == key) return &r;
    return nullptr;
}

const PropertyRow* CPropertyTableModel::row(const QString& key) const { return const_cast<CPropertyTableModel*>(this)->row(key); }

QString CPropertyTableModel::value(const QString& key) const {
    const PropertyRow* r = row(key);
    return r ? r->value : QString();
}

void CPropertyTableModel::setValue(const QString& key, const QString& value) {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].key == key) setData(index(static_cast<int>(i), 1), value, Qt::EditRole);
}

namespace {

constexpr int kArrowWidth = 18;

bool isGroup(const CPropertyTableModel& m, int row) {
    return row >= 0 && row < m.rowCount() && m.rows()[static_cast<size_t>(row)].kind == PropertyRow::Group;
}

// Choice rows edit through a drop-down list that cannot be typed into; browse rows show a button;
// group rows show a tree's arrow before their name.
class PropertyDelegate : public QStyledItemDelegate {
public:
    PropertyDelegate(CPropertyGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (index.column() != 0 || !isGroup(grid_->model(), index.row())) return QStyledItemDelegate::paint(painter, option, index);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        // The row's own background under the arrow, then the name beside it.
        QStyleOptionViewItem arrowArea = option;
        initStyleOption(&arrowArea, index);
        arrowArea.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &arrowArea, painter, widget);
        QStyleOptionViewItem name = option;
        name.rect.setLeft(option.rect.left() + kArrowWidth);
        QStyledItemDelegate::paint(painter, name, index);
        QStyleOption arrow;
        arrow.rect = QRect(option.rect.left(), option.rect.top(), kArrowWidth, option.rect.height());
        arrow.palette = option.palette;
        arrow.state = QStyle::State_Item | QStyle::State_Children | QStyle::State_Enabled;
        if (grid_->isGroupExpanded(index.row())) arrow.state |= QStyle::State_Open;
        style->drawPrimitive(QStyle::PE_IndicatorBranch, &arrow, painter, widget);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (index.column() == 0 && isGroup(grid_->model(), index.row())) size.rwidth() += kArrowWidth;
        return size;
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const PropertyRow& r = grid_->model().rows()[static_cast<size_t>(index.row())];
        if (r.kind != PropertyRow::Choice) return QStyledItemDelegate::createEditor(parent, option, index);
        auto* box = new QComboBox(parent);
        box->addItems(r.choices);
        box->setEditable(false);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor)) box->setCurrentText(index.data(Qt::EditRole).toString());
        else QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor)) model->setData(index, box->currentText(), Qt::EditRole);
        else QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    CPropertyGrid* grid_;
};

}  // namespace

CPropertyGrid::CPropertyGrid(QWidget* parent) : QWidget(parent) {
    view_ = new QTableView(this);
    view_->setModel(&model_);
    view_->setItemDelegate(new PropertyDelegate(this));
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 10);
    view_->setWordWrap(false);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    view_->setShowGrid(true);
    description_ = new QLabel(this);
    description_->setWordWrap(true);
    description_->setMinimumHeight(48);
    description_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    description_->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(description_);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (!current.isValid()) return description_->clear();
        const PropertyRow& r = model_.rows()[static_cast<size_t>(current.row())];
        description_->setText("<b>" + r.label.toHtmlEscaped() + "</b><br>" + r.description.toHtmlEscaped());
    });
    // A browse row's chooser opens on a double-click of its value, and from the button beside it.
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const PropertyRow& r = model_.rows()[static_cast<size_t>(index.row())];
        if (r.kind == PropertyRow::Browse) browse(r.key);
    });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        folded_.clear();  // the rows are new: all of them open, as a tree's new items are shown
        refreshLayout();
    });
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
}

QRect CPropertyGrid::groupArrowRect(int row) const {
    const QRect cell = view_->visualRect(model_.index(row, 0));
    return QRect(cell.left(), cell.top(), kArrowWidth, cell.height());
}

void CPropertyGrid::setGroupExpanded(int row, bool expanded) {
    if (!isGroup(model_, row) || isGroupExpanded(row) == expanded) return;
    if (expanded) folded_.remove(row);
    else folded_.insert(row);
    // The current row does not vanish with its group: the group takes it.
    const QModelIndex current = view_->currentIndex();
    applyFolding();
    if (current.isValid() && view_->isRowHidden(current.row())) view_->setCurrentIndex(model_.index(row, 0));
    view_->viewport()->update();
}

void CPropertyGrid::applyFolding() {
    bool hidden = false;
    for (int row = 0; row < model_.rowCount(); ++row) {
        if (isGroup(model_, row)) {
            hidden = folded_.contains(row);
            view_->setRowHidden(row, false);
        } else {
            view_->setRowHidden(row, hidden);
        }
    }
}

bool CPropertyGrid::eventFilter(QObject* watched, QEvent* e) {
    if (watched == view_->viewport() && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
        auto* mouse = static_cast<QMouseEvent*>(e);
        const QPoint pos = mouse->position().toPoint();
        const int row = view_->rowAt(pos.y());
        if (mouse->button() == Qt::LeftButton && isGroup(model_, row)) {
            // As a tree's arrow: it folds at the press, and the double-click that follows adds
            // nothing; elsewhere on the row a double-click folds and a click makes it current.
            const bool onArrow = groupArrowRect(row).contains(pos);
            if (e->type() == QEvent::MouseButtonDblClick && onArrow) return true;
            if (e->type() == QEvent::MouseButtonDblClick || onArrow) {
                view_->setCurrentIndex(model_.index(row, 0));
                setGroupExpanded(row, !isGroupExpanded(row));
                return true;
            }
        }
    } else if (watched == view_ && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        const QModelIndex current = view_->currentIndex();
        if (current.isValid() && key->modifiers() == Qt::NoModifier) {
            const int row = current.row();
            const bool group = isGroup(model_, row);
            switch (key->key()) {
            case Qt::Key_Left:
            case Qt::Key_Minus:
                if (group && isGroupExpanded(row)) {
                    setGroupExpanded(row, false);
                    return true;
                }
                if (!group && current.column() == 0 && key->key() == Qt::Key_Left) {
                    // As in a tree: from a row to its group.
                    for (int g = row - 1; g >= 0; --g)
                        if (isGroup(model_, g)) {
                            view_->setCurrentIndex(model_.index(g, 0));
                            return true;
                        }
                }
                break;
            case Qt::Key_Right:
            case Qt::Key_Plus:
                if (group && !isGroupExpanded(row)) {
                    setGroupExpanded(row, true);
                    return true;
                }
                break;
            default: break;
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}

void CPropertyGrid::refreshLayout() {
    view_->clearSpans();
    for (size_t i = 0; i < model_.rows().size(); ++i) {
        const PropertyRow& r = model_.rows()[i];
        const int row = static_cast<int>(i);
        if (r.kind == PropertyRow::Group) view_->setSpan(row, 0, 1, 2);
        if (r.kind == PropertyRow::Browse) {
            auto* cell = new QWidget(view_);
            auto* h = new QHBoxLayout(cell);
            h->setContentsMargins(0, 0, 0, 0);
            auto* text = new QLabel(r.value, cell);
            text->setContentsMargins(3, 0, 0, 0);
            text->setToolTip(r.value);  // the whole value where the cell cuts it
            QFont f = text->font();
            f.setBold(r.modified());
            text->setFont(f);
            auto* button = new QPushButton("...", cell);
            button->setFixedWidth(26);
            h->addWidget(text, 1);
            h->addWidget(button);
            const QString key = r.key;
            connect(button, &QPushButton::clicked, this, [this, key] { browse(key); });
            view_->setIndexWidget(model_.index(row, 1), cell);
        }
    }
    applyFolding();
    view_->resizeColumnToContents(0);
}

bool CPropertyGrid::browse(const QString& key) {
    PropertyRow* r = model_.row(key);
    if (!r || r->kind != PropertyRow::Browse || !r->browse) return false;
    QString value = r->value;
    if (!r->browse(value)) return false;
    r->value = value;
    refreshLayout();
    emit model_.dataChanged(model_.index(0, 0), model_.index(model_.rowCount() - 1, 1));
    return true;
}
