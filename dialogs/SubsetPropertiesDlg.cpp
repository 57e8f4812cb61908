#include "dialogs/SubsetPropertiesDlg.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <filesystem>

#include "dialogs/NameValidation.h"
#include "dialogs/PropertyRows.h"
#include "model/NameRules.h"
#include "model/SheetSetMessages.h"
#include "toolkit/common/TkUtf8.h"

namespace {
QString text(int id, const wchar_t* def) { return QString::fromStdWString(ssMessage(id, def)); }
QString publishBySheet() { return text(26407, L"Publish by Sheet \u2018Include for Publish\u2019 Setting"); }
}  // namespace

CSubsetPropertiesDlg::CSubsetPropertiesDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:SubsetProperties");
    setHelpTopic(L"subset-properties");
    setWindowTitle(tr("Subset Properties"));
    grid = new CPropertyGrid(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(480, 380);
}

int CSubsetPropertiesDlg::DoModal() {
    std::vector<PropertyRow> rows;
    rows.push_back({PropertyRow::Group, "subset", text(26401, L"Subset")});
    rows.push_back(plainRow("name", text(26402, L"Subset Name"), text(26402, L"Subset Name"), name));
    if (isNew) rows.push_back(yesNoRow("hierarchy", text(26405, L"Create Folder Hierarchy"), text(26405, L"Create Folder Hierarchy"), createFolder));
    const QString publish = includeForPublish ? publishBySheet() : text(26408, L"Do Not Publish Sheets");
    rows.push_back({PropertyRow::Choice, "publish", text(26406, L"Publish Sheets in Subset"), text(26406, L"Publish Sheets in Subset"), publish,
                    publish, {publishBySheet(), text(26408, L"Do Not Publish Sheets")}, {}});
    rows.push_back(folderRow("location", text(26409, L"New Sheet Location"), text(26409, L"New Sheet Location"), location));
    rows.push_back(templateRow("template", text(26410, L"Sheet Creation Template"), text(26410, L"Sheet Creation Template"), templateLayout,
                               templateHandle, templateFile, this));
    rows.push_back(yesNoRow("prompt", text(26411, L"Prompt for Template"), text(26411, L"Prompt for Template"), promptForTemplate));
    grid->model().setRows(rows);
    return CVrUiDialog::DoModal();
}

void CSubsetPropertiesDlg::OnOK() {
    CPropertyTableModel& m = grid->model();
    QLineEdit probe(m.value("name"));
    if (!CheckNameCharacters(&probe, kNameKindSubset) || !CheckNameNotEmpty(&probe, kNameKindSubset)) return;
    if (probe.text().size() > kMaxTitleLength) {
        ShowTooLongMessage(kMaxTitleLength, kNameKindSubset);
        return;
    }
    name = probe.text().toStdWString();
    location = m.value("location").toStdWString();
    if (isNew) {
        createFolder = m.value("hierarchy") == yesText();
        std::error_code ec;
        const std::filesystem::path folder(tkToUtf8(location));
        // A folder that cannot be made keeps the dialog open; there is nothing more to say.
        if (createFolder && !location.empty() && !std::filesystem::is_directory(folder, ec) && !std::filesystem::create_directories(folder, ec)) return;
    }
    includeForPublish = m.value("publish") == publishBySheet();
    promptForTemplate = m.value("prompt") == yesText();
    done(QDialog::Accepted);
}
