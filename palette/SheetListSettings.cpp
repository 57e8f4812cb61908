#include "palette/SheetListSettings.h"

#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "host/UiBase.h"

TkString paletteSettingsKey(const wchar_t* dialog) {
    return vrutProfileFileName() + L"\\" + vrutProfileRootName() + L"\\" + CNqSystem::instance().productName() + L"\\Dialogs\\" +
           dialog + L"\\";
}

void CSheetListSettings::load() {
    CVdUiRegistryAccess key(paletteSettingsKey(L"SheetSet:SheetList"));
    detailsPane = static_cast<int>(key.getInt(L"DetailsPane", detailsPane));
    previewPane = static_cast<int>(key.getInt(L"PreviewPane", previewPane));
    toolTipStyle = static_cast<int>(key.getInt(L"ToolTipStyle", toolTipStyle));
    // Kept as ten-thousandths, truncated.
    percent = static_cast<double>(key.getInt(L"Percent", static_cast<long>(percent * 10000))) / 10000.0;
    collapse = static_cast<int>(key.getInt(L"Collapse", collapse));
    title1 = static_cast<int>(key.getInt(L"Title1", title1));
    prefix1 = static_cast<int>(key.getInt(L"Prefix1", prefix1));
    title2 = static_cast<int>(key.getInt(L"Title2", title2));
    prefix2 = static_cast<int>(key.getInt(L"Prefix2", prefix2));
    if (toolTipStyle < 0 || toolTipStyle > 7) toolTipStyle = 5;
}

void CSheetListSettings::save() const {
    CVdUiRegistryAccess key(paletteSettingsKey(L"SheetSet:SheetList"));
    key.setInt(L"DetailsPane", detailsPane);
    key.setInt(L"PreviewPane", previewPane);
    key.setInt(L"ToolTipStyle", toolTipStyle);
    key.setInt(L"Percent", static_cast<long>(percent * 10000));
    key.setInt(L"Collapse", collapse);
    key.setInt(L"Title1", title1);
    key.setInt(L"Prefix1", prefix1);
    key.setInt(L"Title2", title2);
    key.setInt(L"Prefix2", prefix2);
}
