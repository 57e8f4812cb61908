#pragma once
// "Resave Sheets": the progress of resaving, one sheet after another, each named as it is processed
// and resaved ("File 3 of 40 in progress."), off the UI thread so that the window stays responsive.
// Cancel stops after the sheet at hand; the statuses gathered so far are kept. A drawing that may
// not be written is said as it is met.
#include <vector>

#include "model/ResaveSheets.h"

#include <functional>

class CResaveSheetsDlg {
public:
    // `resaveOne(i)` resaves the i-th sheet and gives its status.
    CResaveSheetsDlg(const std::vector<CSheet*>& sheets, std::function<int(size_t)> resaveOne);
    // IDOK after the last sheet, IDCANCEL when the user closed it early.
    int DoModal();
    std::vector<int> statuses;  // one per sheet handled, in the work list's order

private:
    const std::vector<CSheet*>& sheets_;
    std::function<int(size_t)> resaveOne_;
};
