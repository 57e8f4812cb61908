#pragma once
// "Resave Sheets": the progress of resaving, each drawing named as it is resaved ("File 3 of 40 in
// progress."), off the UI thread so that the window stays responsive. Cancel stops after the
// drawings at hand; what was resaved so far is kept.
#include <vector>

#include "host/VrTypes.h"

#include <functional>
#include <vector>

class CResaveSheetsDlg {
public:
    // `work` resaves the drawings and calls its tick before the first and after each: (done, total,
    // drawing, the statuses of its sheets); the tick answers false once the user cancelled. A held
    // drawing is said for each of its sheets as it is met.
    using Tick = std::function<bool(int done, int total, const TkString& drawing, const std::vector<int>& statuses)>;
    explicit CResaveSheetsDlg(std::function<void(const Tick&)> work);
    // IDOK after the last drawing, IDCANCEL when the user closed it early.
    int DoModal();

private:
    std::function<void(const Tick&)> work_;
};
