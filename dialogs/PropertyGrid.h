#pragma once
// The property grid of the properties dialogs: "Property" and "Value" columns, group rows in bold,
// yes/no and choice rows as drop-down lists, browse rows with a button, read-only rows, the
// description of the current row below, and values the user changed in bold. One table model holds
// the rows of all three dialogs; the dialogs read and write rows by key.
#include <QAbstractTableModel>
#include <QLabel>
#include <QSet>
#include <QTableView>
#include <functional>
#include <vector>

#include "host/VrTypes.h"

struct PropertyRow {
    enum Kind { Group, Plain, ReadOnly, Choice, Browse };
    Kind kind = Plain;
    QString key;          // how the dialog finds the row
    QString label, description;
    QString value, original;
    QStringList choices;  // Choice rows: the texts offered (yes/no: "Yes", "No")
    // Browse rows: asks for a value; returns false when the user cancelled.
    std::function<bool(QString& value)> browse;
    bool modified() const { return kind != Group && value != original; }
};

class CPropertyTableModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setRows(std::vector<PropertyRow> rows);
    const std::vector<PropertyRow>& rows() const { return rows_; }
    PropertyRow* row(const QString& key);
    const PropertyRow* row(const QString& key) const;
    QString value(const QString& key) const;
    void setValue(const QString& key, const QString& value);

private:
    std::vector<PropertyRow> rows_;
};

class CPropertyGrid : public QWidget {
public:
    explicit CPropertyGrid(QWidget* parent = nullptr);
    CPropertyTableModel& model() { return model_; }
    // Opens the chooser of a browse row, as its button does; false when cancelled or no such row.
    bool browse(const QString& key);
    QTableView* view() const { return view_; }
    QLabel* descriptionLabel() const { return description_; }
    void refreshLayout();  // after rows changed: group rows span both columns

    // Group rows fold and unfold their rows as a tree's do: the arrow, a double-click, Left and
    // Right (or - and +) on the group. New rows start unfolded.
    bool isGroupExpanded(int row) const { return !folded_.contains(row); }
    void setGroupExpanded(int row, bool expanded);
    // Where a group row's arrow is drawn and clicked, in the view's viewport.
    QRect groupArrowRect(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void applyFolding();
    CPropertyTableModel model_;
    QTableView* view_;
    QLabel* description_;
    QSet<int> folded_;  // the group rows folded now
};

// Yes/No as the grids show them.
QString yesText();
QString noText();
QStringList yesNoChoices();
