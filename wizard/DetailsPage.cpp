#include "wizard/DetailsPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <filesystem>

#include "dialogs/NameValidation.h"
#include "dialogs/SheetsetPropertiesDlg.h"
#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "model/NameRules.h"
#include "model/SheetSetMessages.h"
#include "toolkit/common/TkUtf8.h"

namespace {

// The longest file name the file system takes, in bytes.
constexpr size_t kMaxFileNameBytes = 255;

}  // namespace

CDetailsPage::CDetailsPage(CCreateShSheet* sheet) : CCreateShPage(sheet) {
    nameEdit = new QLineEdit(this);
    descriptionEdit = new QPlainTextEdit(this);
    descriptionEdit->setTabChangesFocus(true);
    locationEdit = new QLineEdit(this);
    browseButton = new QPushButton(tr("..."), this);
    browseButton->setFixedWidth(32);
    folderHierarchy = new QCheckBox(tr("Create &folder hierarchy based on subsets"), this);
    propertiesButton = new QPushButton(tr("Sheet Set &Properties"), this);
    descriptionEdit->setMaximumHeight(90);
    auto* where = new QHBoxLayout;
    where->addWidget(locationEdit, 1);
    where->addWidget(browseButton);
    auto* note = new QLabel(tr("Note: The sheet set data file should be stored in a location that all contributors to the sheet set can reach."), this);
    note->setWordWrap(true);
    // Labels above their fields, each the buddy of its field.
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(tr("&Name of new sheet set:"), nameEdit));
    layout->addWidget(nameEdit);
    layout->addSpacing(8);
    layout->addWidget(label(tr("&Description (optional):"), descriptionEdit));
    layout->addWidget(descriptionEdit);
    layout->addSpacing(8);
    layout->addWidget(label(tr("&Store sheet set data file (.dst) here:"), locationEdit));
    layout->addLayout(where);
    layout->addWidget(folderHierarchy);
    layout->addSpacing(8);
    layout->addWidget(note);
    layout->addStretch();
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(propertiesButton);
    layout->addLayout(buttonRow);
    connect(browseButton, &QPushButton::clicked, this, [this] { OnBrowseLocation(); });
    connect(propertiesButton, &QPushButton::clicked, this, [this] { OnProperties(); });
}

void CDetailsPage::OnSetActive() {
    CreateShSheetState& st = state();
    folderHierarchy->setVisible(!sheet()->fromDrawings());
    // The description follows the example until the user types one.
    if (!descriptionEdit->document()->isModified()) descriptionEdit->setPlainText(QString::fromStdWString(st.newSet()->getDesc()));
    if (filled_) return;
    filled_ = true;
    const TkString location = st.proposedLocation();
    locationEdit->setText(QString::fromStdWString(location));
    nameEdit->setText(QString::fromStdWString(CreateShSheetState::proposedName(location, ssMessage(27501, L"New Sheet Set"))));
    folderHierarchy->setChecked(st.settings.folderHierarchyCreation != 0);
    selectAndFocus(nameEdit);
}

void CDetailsPage::OnBrowseLocation() {
    TkString chosen = vrutBrowseForFolder(L"Browse for Sheet Set Folder", locationEdit->text().toStdWString());
    if (!chosen.empty()) locationEdit->setText(QString::fromStdWString(chosen));
}

void CDetailsPage::OnProperties() {
    CSheetSetImpl* set = state().newSet();
    if (!set) return;
    CSheetsetPropertiesDlg dlg(this);
    static_cast<SheetSetPropertyValues&>(dlg) = readSheetSetProperties(set);
    // What the page shows is what the set will be called and where it will be kept, as the
    // confirm page will show it: the folder chosen here, never the example's it was copied from.
    dlg.name = nameEdit->text().toStdWString();
    dlg.description = descriptionEdit->toPlainText().toStdWString();
    const TkString chosen = locationEdit->text().trimmed().toStdWString();
    if (!chosen.empty()) {
        dlg.location = vrutAbsolutePath(chosen);
        dlg.dataFile = CreateShSheetState::dataFilePath(dlg.location, dlg.name);
    }
    if (dlg.templateFile.empty()) CreateShSheetState::proposedTemplate(dlg.templateLayout, dlg.templateHandle, dlg.templateFile);
    if (dlg.DoModal() != QDialog::Accepted) return;
    // Everything as the dialog left it; the inherited settings for the set alone.
    SheetSetSettingsChange all;
    all.location = all.sheetTemplate = all.prompt = all.customProperties = true;
    applySheetSetProperties(*set, dlg, all, false);
    nameEdit->setText(QString::fromStdWString(set->getName()));
    descriptionEdit->setPlainText(QString::fromStdWString(set->getDesc()));
    descriptionEdit->document()->setModified(true);  // typed by the user now, not the example's
    if (!set->getNewSheetLocation().empty()) locationEdit->setText(QString::fromStdWString(set->getNewSheetLocation()));
}

// The location checks, in order; a missing folder may be created on the user's word.
bool CDetailsPage::checkLocation(TkString& location) {
    location = locationEdit->text().trimmed().toStdWString();
    if (location.empty()) {
        VrUiMessageBox(vrHostCaption(), L"Enter the root folder for your sheet set.", MB_OK | MB_ICONWARNING);
        selectAndFocus(locationEdit);
        return false;
    }
    location = vrutAbsolutePath(location);
    if (CreateShSheetState::locationHasInvalidCharacters(location)) {
        VrUiMessageBox(L"Invalid Characters", L"Invalid characters in the file name: " + location, MB_OK | MB_ICONWARNING);
        selectAndFocus(locationEdit);
        return false;
    }
    std::error_code ec;
    const std::filesystem::path folder(tkToUtf8(location));
    if (!std::filesystem::is_directory(folder, ec)) {
        if (VrUiMessageBox(L"Folder Does Not Exist",
                           L"The location entered is not an existing folder.  Do you want to create the folder?",
                           MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        // Only this folder: its parent must be there already.
        if (!std::filesystem::create_directory(folder, ec) || ec) {
            VrUiMessageBox(L"Cannot Create Folder", L"Unable to create folder: " + location, MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    return true;
}

int CDetailsPage::OnWizardNext() {
    CreateShSheetState& st = state();
    if (!CheckNameCharacters(nameEdit, kNameKindSheetSet) || !CheckNameNotEmpty(nameEdit, kNameKindSheetSet)) return 0;
    const TkString name = nameEdit->text().toStdWString();
    TkString location;
    if (!checkLocation(location)) return 0;
    const TkString dataFile = CreateShSheetState::dataFilePath(location, name);
    TkString folder, file;
    vrutSplitPath(dataFile, folder, file);
    if (tkToUtf8(file).size() > kMaxFileNameBytes) {
        ShowTooLongMessage(static_cast<int>(kMaxFileNameBytes), kNameKindSheetSet);
        selectAndFocus(nameEdit);
        return 0;
    }
    // The description is one paragraph that the field wraps: a title block shows it on one line, so
    // a line break typed in it becomes a space. Anything else that is not text (a pasted tab, an
    // escape) is refused, as everywhere a value enters the set.
    const TkString description = descriptionEdit->toPlainText().replace(QChar(u'\n'), QChar(u' ')).toStdWString();
    TkString textError;
    if (!checkEnteredText(L"the description", description, kMaxValueLength, textError)) {
        VrUiMessageBox(vrHostCaption(), textError, MB_OK | MB_ICONWARNING);
        descriptionEdit->setFocus();
        return 0;
    }
    if (!st.writeDataFile(dataFile, name, description, location)) {
        ShowNameExistsMessage(name, kNameKindSheetSet);
        selectAndFocus(nameEdit);
        return 0;
    }
    st.settings.setNumber(WizardSettings::kFolderHierarchyCreation, st.settings.folderHierarchyCreation, folderHierarchy->isChecked() ? 1 : 0);
    locationEdit->setText(QString::fromStdWString(location));
    return sheet()->fromDrawings() ? CCreateShSheet::kLayoutsPage : CCreateShSheet::kConfirmPage;
}
