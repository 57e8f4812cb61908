#include "wizard/BeginPage.h"

#include <QVBoxLayout>

#include "model/SheetSetMessages.h"

CBeginPage::CBeginPage(CCreateShSheet* sheet) : CCreateShPage(sheet) {
    auto* heading = new QLabel(tr("Create a sheet set using"), this);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    exampleOption = new QRadioButton(tr("An &example sheet set"), this);
    drawingsOption = new QRadioButton(tr("E&xisting drawings"), this);
    explanation = new QLabel(this);
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    explanation->setMinimumHeight(90);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addSpacing(6);
    layout->addWidget(exampleOption);
    layout->addWidget(drawingsOption);
    layout->addSpacing(16);
    layout->addWidget(explanation);
    layout->addStretch();
    connect(exampleOption, &QRadioButton::toggled, this, [this] { explain(); });
    (state().settings.methodThroughWizard == 1 ? drawingsOption : exampleOption)->setChecked(true);
    explain();
}

void CBeginPage::explain() {
    explanation->setText(QString::fromStdWString(
        exampleOption->isChecked()
            ? ssMessage(27203, L"This option uses an existing sheet set to provide the organizational structure and default settings for the new "
                               L"sheet set.  The option will not copy any sheets from the existing sheet set.  After you create a sheet set with "
                               L"this option, you can import layouts or create sheets individually.")
            : ssMessage(27205, L"This option lets you specify one or more folders that contain drawing files.  The layouts from these drawings "
                               L"can be imported into the sheet set automatically.")));
}

void CBeginPage::OnSetActive() { explain(); }

int CBeginPage::OnWizardNext() {
    WizardSettings& s = state().settings;
    s.setNumber(WizardSettings::kMethodThroughWizard, s.methodThroughWizard, drawingsOption->isChecked() ? 1 : 0);
    return s.methodThroughWizard == 0 ? CCreateShSheet::kExamplePage : CCreateShSheet::kDetailsPage;
}
