#pragma once
// The summary of the new sheet set before Finish. Back lets go of the data file and deletes it;
// the details page writes it again.
#include <QTextBrowser>

#include "wizard/CreateShSheet.h"

class CConfirmPage : public CCreateShPage {
public:
    explicit CConfirmPage(CCreateShSheet* sheet);
    int pageId() const override { return CCreateShSheet::kConfirmPage; }
    void OnSetActive() override;
    int OnWizardNext() override { return 0; }
    void OnWizardBack() override;
    bool isLast() const override { return true; }

    QTextBrowser* summary;
};
