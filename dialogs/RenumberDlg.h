#pragma once
// "SheetSet:RenumberSheets": a subset's sheets numbered by a pattern ("A-1##"), with the old and new
// number of every sheet shown before anything changes, and collisions with other sheets in red
// (OK stays off while there are any).
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <functional>

#include "host/UiBase.h"
#include "model/Renumber.h"

class CRenumberDlg : public CVrUiDialog {
public:
    // `plan` gives the changes for a pattern, start and step (the caller's set and subset).
    using Planner = std::function<RenumberPlan(const TkString& pattern, long long start, long long step)>;
    CRenumberDlg(Planner planner, QWidget* parent = nullptr);
    void refresh();  // the preview for what the fields say now

    TkString pattern;
    long long start = 1, step = 1;
    bool renameLayouts = false, renameFiles = false;

    QLineEdit* patternEdit;
    QSpinBox *startBox, *stepBox;
    QCheckBox *layoutsCheck, *filesCheck;
    QTreeWidget* preview;
    QLabel* problem;
    QPushButton* okButton;

private:
    Planner planner_;
};
