#pragma once
// How sheets made from drawings are titled and grouped: titles prefixed with the drawing's name,
// subsets that follow the folders, and whether the first top folder is a subset of its own.
#include <QCheckBox>

#include "host/UiBase.h"
#include "model/DrawingFolders.h"

class CImportOptionsDlg : public CVrUiDialog {
public:
    explicit CImportOptionsDlg(const ImportOptions& options, QWidget* parent = nullptr);
    ImportOptions options() const;

    QCheckBox *prefixWithFileName, *subsetsByFolder, *ignoreTopFolder;
};
