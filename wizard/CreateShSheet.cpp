#include "wizard/CreateShSheet.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "host/Dialogs.h"
#include "host/Documents.h"
#include "host/HelpBrowser.h"
#include "host/NqSystem.h"
#include "host/Progress.h"
#include "model/SheetSetMessages.h"
#include "wizard/BeginPage.h"
#include "wizard/ChooseLayoutsPage.h"
#include "wizard/ConfirmPage.h"
#include "wizard/DetailsPage.h"
#include "wizard/ExamplePage.h"

namespace {
QString text(int id, const wchar_t* def) { return QString::fromStdWString(ssMessage(id, def)); }
}  // namespace

CCreateShPage::CCreateShPage(CCreateShSheet* sheet) : QWidget(sheet), sheet_(sheet) {}

CreateShSheetState& CCreateShPage::state() const { return sheet_->state(); }

CCreateShSheet::CCreateShSheet(QWidget* parent) : CVrUiDialog(parent), state_(std::make_unique<CreateShSheetState>()) {
    setDialogName("SheetSet:CreateSheetSet");
    setHelpTopic(L"new-sheet-set");
    setWindowTitle(tr("Create Sheet Set"));
    setMinimumSize(720, 520);

    auto* stepsPanel = new QFrame(this);
    stepsPanel->setFrameShape(QFrame::StyledPanel);
    stepsPanel->setMinimumWidth(170);
    auto* stepsLayout = new QVBoxLayout(stepsPanel);
    for (QLabel*& l : steps_) {
        l = new QLabel(stepsPanel);
        l->setWordWrap(true);
        stepsLayout->addWidget(l);
    }
    stepsLayout->addStretch();

    stack_ = new QStackedWidget(this);
    beginPage = new CBeginPage(this);
    examplePage = new CExamplePage(this);
    detailsPage = new CDetailsPage(this);
    layoutsPage = new CChooseLayoutsPage(this);
    confirmPage = new CConfirmPage(this);
    pages_ = {beginPage, examplePage, detailsPage, layoutsPage, confirmPage};
    for (CCreateShPage* p : pages_) stack_->addWidget(p);

    backButton = new QPushButton(tr("< &Back"), this);
    nextButton = new QPushButton(tr("&Next >"), this);
    finishButton = new QPushButton(tr("&Finish"), this);
    cancelButton = new QPushButton(text(27301, L"Cancel"), this);
    connect(backButton, &QPushButton::clicked, this, [this] { OnBack(); });
    connect(nextButton, &QPushButton::clicked, this, [this] { OnNext(); });
    connect(finishButton, &QPushButton::clicked, this, [this] { OnFinish(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { OnCancel(); });
    auto* helpButton = new QPushButton(tr("&Help"), this);
    connect(helpButton, &QPushButton::clicked, this, [this] { vrShowHelp(helpTopic()); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(helpButton);
    buttons->addStretch();
    for (QPushButton* b : {backButton, nextButton, finishButton, cancelButton}) buttons->addWidget(b);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* body = new QHBoxLayout;
    body->addWidget(stepsPanel);
    body->addWidget(stack_, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body, 1);
    outer->addWidget(line);
    outer->addLayout(buttons);
    showPage(kBeginPage);
}

CCreateShSheet::~CCreateShSheet() = default;

CCreateShPage* CCreateShSheet::page(int id) const {
    for (CCreateShPage* p : pages_)
        if (p->pageId() == id) return p;
    return nullptr;
}

int CCreateShSheet::currentPageId() const { return static_cast<CCreateShPage*>(stack_->currentWidget())->pageId(); }

void CCreateShSheet::showPage(int id) {
    CCreateShPage* p = page(id);
    stack_->setCurrentWidget(p);
    p->OnSetActive();
    backButton->setEnabled(!history_.empty());
    nextButton->setEnabled(!p->isLast());
    finishButton->setEnabled(p->isLast());
    (p->isLast() ? finishButton : nextButton)->setDefault(true);
    updateSteps();
}

// The steps of the chosen method, the one shown in bold.
void CCreateShSheet::updateSteps() {
    const bool drawings = fromDrawings();
    const QString names[4] = {tr("Begin"), drawings ? text(27202, L"Sheet Set Details") : text(27201, L"Sheet Set Example"),
                              drawings ? text(27204, L"Choose Layouts") : text(27202, L"Sheet Set Details"), tr("Confirm")};
    const int id = currentPageId();
    int current = 0;
    if (id == kExamplePage || (drawings && id == kDetailsPage)) current = 1;
    else if (id == kLayoutsPage || (!drawings && id == kDetailsPage)) current = 2;
    else if (id == kConfirmPage) current = 3;
    for (int i = 0; i < 4; ++i) {
        steps_[i]->setText(names[i]);
        QFont f = steps_[i]->font();
        f.setBold(i == current);
        steps_[i]->setFont(f);
        steps_[i]->setEnabled(i <= current);
    }
}

void CCreateShSheet::OnNext() {
    CCreateShPage* p = static_cast<CCreateShPage*>(stack_->currentWidget());
    if (p->isLast()) return;
    int next = p->OnWizardNext();
    if (!next) return;
    history_.push_back(p->pageId());
    showPage(next);
}

void CCreateShSheet::OnBack() {
    if (history_.empty()) return;
    static_cast<CCreateShPage*>(stack_->currentWidget())->OnWizardBack();
    int previous = history_.back();
    history_.pop_back();
    showPage(previous);
}

void CCreateShSheet::OnFinish() {
    std::vector<TkString> problems;
    const TkString file = state_->dataFile();
    const bool saved = state_->finish(problems);
    if (!problems.empty()) {
        TkString list;
        for (const TkString& p : problems) list += L"\n" + p;
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), L"The sheet set could not be saved:" + list, MB_OK | MB_ICONWARNING);
    }
    if (saved) newPath_ = file;
    done(saved ? QDialog::Accepted : QDialog::Rejected);
}

void CCreateShSheet::OnCancel() {
    if (VrUiMessageBox(ssMessage(27301, L"Cancel"), ssMessage(27302, L"Are you sure you want to quit the Create Sheet Set wizard?"),
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    state_->cancel();
    done(QDialog::Rejected);
}

void CCreateShSheet::reject() { OnCancel(); }

TkString runNewSheetSetWizard() {
    VrApDocManager* docs = vrDocManagerPtr();
    if (!docs || docs->documentCount() == 0) {
        VrUiMessageBox(ssMessage(26703, L"Sheet Set Manager Error"), ssMessage(26731, L"Not available with no open documents."),
                       MB_OK | MB_ICONWARNING);
        return TkString();
    }
    TkString created;
    {
        CNqResourceScope resources(kSheetSetRes);
        CCreateShSheet wizard(vredGetVornFrame());
        if (wizard.DoModal() == QDialog::Accepted) created = wizard.newSheetSetPath();
    }
    if (!created.empty()) vornOpenFile(created, 0);
    return created;
}
