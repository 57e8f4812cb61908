#include "wizard/ConfirmPage.h"

#include <QLabel>
#include <QVBoxLayout>

CConfirmPage::CConfirmPage(CCreateShSheet* sheet) : CCreateShPage(sheet) {
    summary = new QTextBrowser(this);
    summary->setOpenLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Sheet Set Preview:"), this));
    layout->addWidget(summary, 1);
}

void CConfirmPage::OnSetActive() { summary->setHtml(QString::fromStdWString(state().summary(sheet()->fromDrawings()))); }

void CConfirmPage::OnWizardBack() { state().dropDataFile(); }
