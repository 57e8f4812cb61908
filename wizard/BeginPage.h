#pragma once
// First page: make the new set from an example sheet set or from existing drawings.
#include <QLabel>
#include <QRadioButton>

#include "wizard/CreateShSheet.h"

class CBeginPage : public CCreateShPage {
public:
    explicit CBeginPage(CCreateShSheet* sheet);
    int pageId() const override { return CCreateShSheet::kBeginPage; }
    void OnSetActive() override;
    int OnWizardNext() override;

    QRadioButton *exampleOption, *drawingsOption;
    QLabel* explanation;

private:
    void explain();
};
