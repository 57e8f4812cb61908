#pragma once
// The palette's per-user settings ("SheetList"): read when the sheet list window is created and
// written back when it is destroyed.
#include "host/VrTypes.h"

struct CSheetListSettings {
    int detailsPane = 0;
    int previewPane = 0;
    int toolTipStyle = 5;
    double percent = 0.5;
    int collapse = 0;
    int title1 = 0, prefix1 = 0, title2 = 0, prefix2 = 0;

    void load();
    void save() const;
};

// "<profile file>\<profile root>\<product>\Dialogs\<dialog>\": the per-user key of a palette dialog.
TkString paletteSettingsKey(const wchar_t* dialog);
