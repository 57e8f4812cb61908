#include "dialogs/ResaveSheetsDlg.h"

#include <string>

#include "host/Dialogs.h"
#include "host/Progress.h"
#include "host/Resources.h"

CResaveSheetsDlg::CResaveSheetsDlg(const std::vector<CSheet*>& sheets, std::function<int(size_t)> resaveOne)
    : sheets_(sheets), resaveOne_(std::move(resaveOne)) {}

int CResaveSheetsDlg::DoModal() {
    statuses.clear();
    const bool finished = vrRunWithProgress(L"Resave Sheets", L"Resaving the sheets' drawings...", [&](VrProgress& p) {
        const TkString count = std::to_wstring(sheets_.size());
        for (size_t i = 0; i < sheets_.size() && !p.cancelled(); ++i) {
            const TkString layout = sheets_[i]->getLayoutName(), nth = std::to_wstring(i + 1);
            p.setText(vrFormatMessage(L"%s is being processed.\n\nFile %s of %s in progress.", {layout, nth, count}));
            statuses.push_back(resaveOne_(i));
            if (statuses.back() == kResaveInUse) p.tell(L"", L"Drawing file is write protected.");
            p.setText(vrFormatMessage(L"Currently resaving %s.\n\nFile %s of %s in progress.", {layout, nth, count}));
            p.set(static_cast<int>(i + 1), static_cast<int>(sheets_.size()));
        }
    });
    return finished ? IDOK : IDCANCEL;
}
