#include "dialogs/PickerSupport.h"

#include <cwchar>

#include "host/Dialogs.h"
#include "model/SheetSetMessages.h"

TkString handleText(uint32_t handle) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%X", handle);
    return buf;
}

TkString browseForDrawing(bool templatesFirst) {
    CVrUiNavDialog nav(ssMessage(26009, L"Select Files"), true);
    nav.setHideReadOnly(true);
    TkString drawing = ssMessage(26007, L"Drawing"), tmpl = ssMessage(26006, L"Drawing Template");
    if (templatesFirst) {
        nav.addFilter(tmpl, L"*.dwt");
        nav.addFilter(drawing, L"*.dwg");
        nav.addFilter(ssMessage(26008, L"Standard"), L"*.dws");
    } else {
        nav.addFilter(drawing, L"*.dwg");
        nav.addFilter(tmpl, L"*.dwt");
    }
    if (nav.DoModal() != IDOK || nav.fileNames().empty()) return {};
    return nav.fileNames().front();
}
