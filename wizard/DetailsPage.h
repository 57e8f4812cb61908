#pragma once
// Name, description and storage location of the new sheet set. Next checks them and writes the
// new data file, which the wizard then holds.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "wizard/CreateShSheet.h"

class CDetailsPage : public CCreateShPage {
public:
    explicit CDetailsPage(CCreateShSheet* sheet);
    int pageId() const override { return CCreateShSheet::kDetailsPage; }
    void OnSetActive() override;
    int OnWizardNext() override;
    void OnBrowseLocation();
    void OnProperties();  // the set's properties dialog for the new set

    QLineEdit* nameEdit;
    QPlainTextEdit* descriptionEdit;
    QLineEdit* locationEdit;
    QPushButton* browseButton;
    QPushButton* propertiesButton;
    QCheckBox* folderHierarchy;  // example method only; remembered, creates nothing

private:
    bool checkLocation(TkString& location);
    bool filled_ = false;
};
