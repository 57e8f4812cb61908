#pragma once
// "SheetSet:ResaveReport": the sheets a resave could not write, with why and where, and the log.
#include <QLabel>
#include <QTreeWidget>

#include "host/UiBase.h"
#include "model/ResaveSheets.h"

class CResaveReportDlg : public CVrUiDialog {
public:
    CResaveReportDlg(const TkString& sheetSetName, const std::vector<ResaveEntry>& entries, const TkString& logPath, QWidget* parent = nullptr);
    QTreeWidget* list;
    QLabel* logLabel;
};
