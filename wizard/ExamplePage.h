#pragma once
// The example sheet set whose settings and subsets the new set copies: one of the examples in the
// host's example folder, or another sheet set browsed for.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include "wizard/CreateShSheet.h"

class CExamplePage : public CCreateShPage {
public:
    explicit CExamplePage(CCreateShSheet* sheet);
    int pageId() const override { return CCreateShSheet::kExamplePage; }
    void OnSetActive() override;
    int OnWizardNext() override;
    void OnBrowse();

    QRadioButton *listOption, *browseOption;
    QListWidget* exampleList;  // item data: the example's data file
    QLineEdit* pathEdit;
    QPushButton* browseButton;
    QTextEdit* about;

private:
    void show(const TkString& path);
    void enableOptions();
    bool filled_ = false;
};
