#pragma once
// The new sheet set wizard: a dialog of pages with Back, Next, Finish and Cancel, the steps of the
// chosen method listed on its left. The pages share the wizard's state (CreateShSheetState), which
// does every step that needs no widget.
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <memory>
#include <vector>

#include "host/UiBase.h"
#include "wizard/WizardState.h"

class CCreateShSheet;

class CCreateShPage : public QWidget {
public:
    explicit CCreateShPage(CCreateShSheet* sheet);
    CCreateShSheet* sheet() const { return sheet_; }
    CreateShSheetState& state() const;
    virtual int pageId() const = 0;
    virtual void OnSetActive() {}
    // The page to go to next, or 0 to stay on this page (a check failed and said so).
    virtual int OnWizardNext() = 0;
    virtual void OnWizardBack() {}
    virtual bool isLast() const { return false; }

private:
    CCreateShSheet* sheet_;
};

class CBeginPage;
class CExamplePage;
class CDetailsPage;
class CChooseLayoutsPage;
class CConfirmPage;

class CCreateShSheet : public CVrUiDialog {
public:
    static constexpr int kBeginPage = 31501, kExamplePage = 31601, kDetailsPage = 31801, kLayoutsPage = 31701,
                         kConfirmPage = 31401;

    explicit CCreateShSheet(QWidget* parent = nullptr);
    ~CCreateShSheet() override;
    CreateShSheetState& state() { return *state_; }
    bool fromDrawings() const { return state_->settings.methodThroughWizard == 1; }

    // The buttons, public so that tests can play the user.
    void OnNext();
    void OnBack();
    void OnFinish();
    void OnCancel();  // asks first
    int currentPageId() const;
    CCreateShPage* page(int id) const;
    // The new data file, once the wizard finished.
    const TkString& newSheetSetPath() const { return newPath_; }

    CBeginPage* beginPage;
    CExamplePage* examplePage;
    CDetailsPage* detailsPage;
    CChooseLayoutsPage* layoutsPage;
    CConfirmPage* confirmPage;
    QPushButton *backButton, *nextButton, *finishButton, *cancelButton;

protected:
    void reject() override;  // Esc and the window's close button ask as Cancel does

private:
    void showPage(int id);
    void updateSteps();
    std::unique_ptr<CreateShSheetState> state_;
    QStackedWidget* stack_;
    std::vector<CCreateShPage*> pages_;
    std::vector<int> history_;
    QLabel* steps_[4];
    TkString newPath_;
};

// The NEWSHEETSET command and the palette's "New Sheet Set...": the wizard, then the new set opened
// in the palette. Needs an open document. Returns the new data file, empty when none was made.
TkString runNewSheetSetWizard();
