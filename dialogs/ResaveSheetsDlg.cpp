#include "dialogs/ResaveSheetsDlg.h"

#include <string>

#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "host/Progress.h"
#include "host/Resources.h"
#include "model/ResaveSheets.h"

CResaveSheetsDlg::CResaveSheetsDlg(std::function<void(const Tick&)> work) : work_(std::move(work)) {}

int CResaveSheetsDlg::DoModal() {
    const bool finished = vrRunWithProgress(L"Resave Sheets", L"Resaving the sheets' drawings...", [&](VrProgress& p) {
        work_([&p](int done, int total, const TkString& drawing, const std::vector<int>& statuses) {
            for (int status : statuses)
                if (status == kResaveInUse) p.tell(L"", L"Drawing file is write protected.");
            if (done == 0) return !p.cancelled();
            TkString folder, file;
            vrutSplitPath(drawing, folder, file);
            p.setText(vrFormatMessage(L"Currently resaving %s.\n\nFile %s of %s in progress.", {file, std::to_wstring(done), std::to_wstring(total)}));
            p.set(done, total);
            return !p.cancelled();
        });
    });
    return finished ? IDOK : IDCANCEL;
}
