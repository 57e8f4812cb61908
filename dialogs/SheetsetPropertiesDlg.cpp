#include "dialogs/SheetsetPropertiesDlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CustomPropertiesDlg.h"
#include "dialogs/ListDialogs.h"
#include "dialogs/PropertyRows.h"
#include "dialogs/SelectBlockDlg.h"
#include "host/Dialogs.h"
#include "model/SheetSetMessages.h"

namespace {

QString q(const TkString& s) { return QString::fromStdWString(s); }
QString text(int id, const wchar_t* def) { return q(ssMessage(id, def)); }

QString calloutsText(const std::vector<TkString>& names, const std::vector<TkString>& files) {
    QStringList parts;
    for (size_t i = 0; i < names.size(); ++i) parts << nameInFile(names[i], i < files.size() ? files[i] : TkString());
    return parts.join(";");
}

QString foldersText(const std::vector<TkString>& folders) {
    QStringList parts;
    for (const TkString& f : folders) parts << q(f);
    return parts.join(";");
}

}  // namespace

CSheetsetPropertiesDlg::CSheetsetPropertiesDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:SheetsetProperties");
    setHelpTopic(L"set-properties");
    grid = new CPropertyGrid(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    customButton = new QPushButton(tr("Edit &Custom Properties..."), this);
    buttons->addButton(customButton, QDialogButtonBox::ActionRole);
    connect(customButton, &QPushButton::clicked, this, [this] { OnCustomProperties(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 640);
}

int CSheetsetPropertiesDlg::DoModal() {
    setWindowTitle(tr("Sheet Set Properties") + " - " + q(name));
    fill();
    return CVrUiDialog::DoModal();
}

void CSheetsetPropertiesDlg::OnCustomProperties() {
    // What was typed in the grid is kept, then the grid shows the edited list.
    collect();
    CCustomPropertiesDlg dlg(this);
    dlg.properties = customProperties;
    if (dlg.DoModal() != QDialog::Accepted) return;
    customProperties = dlg.properties;
    fill();
}

void CSheetsetPropertiesDlg::fill() {
    std::vector<PropertyRow> rows;
    rows.push_back({PropertyRow::Group, "set", text(26301, L"Sheet Set")});
    rows.push_back(plainRow("name", text(26302, L"Name"), text(26303, L"The name of the sheet set"), name));
    rows.push_back({PropertyRow::ReadOnly, "file", text(26304, L"Sheet set data file"),
                    text(26305, L"The path and file name of the sheet set data (DST) file"), q(dataFile), q(dataFile), {}, {}});
    rows.push_back(plainRow("description", text(26306, L"Description"), text(26307, L"A description of the sheet set"), description));
    PropertyRow views{PropertyRow::Browse, "modelView", text(26308, L"Model view"),
                      text(26309, L"The paths and names of folders that contain drawings used by the sheet set"),
                      foldersText(modelViewFolders), foldersText(modelViewFolders), {}, {}};
    views.browse = [this](QString& value) {
        CModelViewDlg dlg(this);
        dlg.folders = modelViewFolders;
        if (dlg.DoModal() != QDialog::Accepted) return false;
        modelViewFolders = dlg.folders;
        value = foldersText(modelViewFolders);
        return true;
    };
    rows.push_back(views);
    const QString label = labelBlockName.empty() ? QString() : nameInFile(labelBlockName, labelBlockFile);
    PropertyRow labelRow{PropertyRow::Browse, "labelBlock", text(26310, L"Label block for views"),
                         text(26311, L"The path and file name of the DWT or DWG file that contains the label blocks for the sheet set"), label,
                         label, {}, {}};
    labelRow.browse = [this](QString& value) {
        CSelectBlockDlg pick(this);
        pick.filePath = labelBlockFile;
        pick.singleSelection = true;
        if (pick.DoModal() != QDialog::Accepted || pick.blockNames.empty()) return false;
        labelBlockName = pick.blockNames.front();
        labelBlockHandle = pick.blockHandles.front();
        labelBlockFile = pick.filePath;
        value = nameInFile(labelBlockName, labelBlockFile);
        return true;
    };
    rows.push_back(labelRow);
    const QString callouts = calloutsText(calloutNames, calloutFiles);
    PropertyRow calloutRow{PropertyRow::Browse, "callouts", text(26312, L"Callout blocks"),
                           text(26313, L"The path and file name of the drawing DWT or DWG file that contains the callout blocks for the sheet set"),
                           callouts, callouts, {}, {}};
    calloutRow.browse = [this](QString& value) {
        CBlockListDlg dlg(this);
        dlg.names = calloutNames;
        dlg.handles = calloutHandles;
        dlg.files = calloutFiles;
        if (dlg.DoModal() != QDialog::Accepted) return false;
        calloutNames = dlg.names;
        calloutHandles = dlg.handles;
        calloutFiles = dlg.files;
        value = calloutsText(calloutNames, calloutFiles);
        return true;
    };
    rows.push_back(calloutRow);
    rows.push_back(templateFileRow("pageSetups", text(26314, L"Page setup overrides file"),
                                   text(26315, L"The path and file name for the drawing template (DWT) file containing the page setup overrides for the sheet set"),
                                   pageSetupFile));
    rows.push_back({PropertyRow::Group, "project", text(26316, L"Project Control")});
    rows.push_back(plainRow("projectNumber", text(26317, L"Project number"), text(26317, L"Project number"), projectNumber));
    rows.push_back(plainRow("projectName", text(26318, L"Project name"), text(26318, L"Project name"), projectName));
    rows.push_back(plainRow("projectPhase", text(26319, L"Project phase"), text(26319, L"Project phase"), projectPhase));
    rows.push_back(plainRow("projectMilestone", text(26320, L"Project milestone"), text(26320, L"Project milestone"), projectMilestone));
    auto customGroup = [&](bool ofSet, const char* key, int id, const wchar_t* def) {
        bool any = false;
        for (size_t i = 0; i < customProperties.size(); ++i)
            if (customProperties[i].ownedBySheetSet == ofSet) {
                if (!any) rows.push_back({PropertyRow::Group, key, text(id, def)});
                any = true;
                rows.push_back(plainRow("custom:" + QString::number(i), q(customProperties[i].name), q(customProperties[i].name),
                                        customProperties[i].value));
            }
    };
    customGroup(false, "sheetCustom", 26329, L"Sheet Custom Properties");
    rows.push_back({PropertyRow::Group, "creation", text(26321, L"Sheet Creation")});
    rows.push_back(folderRow("location", text(26322, L"Sheet storage location"), text(26323, L"The path and name of the folder where new sheets are created"),
                             location));
    rows.push_back(templateRow("template", text(26324, L"Sheet creation template"), q(ssMessage(26325, L"")), templateLayout, templateHandle,
                               templateFile, this));
    rows.push_back(yesNoRow("prompt", text(26326, L"Prompt for template"),
                            text(26327, L"Whether you will be prompted for a sheet creation template every time you create a new sheet in the sheet set"),
                            promptForTemplate));
    customGroup(true, "setCustom", 26328, L"Sheet Set Custom Properties");
    grid->model().setRows(rows);
}

void CSheetsetPropertiesDlg::OnOK() {
    collect();
    done(QDialog::Accepted);
}

void CSheetsetPropertiesDlg::collect() {
    CPropertyTableModel& m = grid->model();
    name = m.value("name").toStdWString();
    description = m.value("description").toStdWString();
    pageSetupFile = m.value("pageSetups").toStdWString();
    projectNumber = m.value("projectNumber").toStdWString();
    projectName = m.value("projectName").toStdWString();
    projectPhase = m.value("projectPhase").toStdWString();
    projectMilestone = m.value("projectMilestone").toStdWString();
    location = m.value("location").toStdWString();
    promptForTemplate = m.value("prompt") == yesText();
    for (size_t i = 0; i < customProperties.size(); ++i)
        if (const PropertyRow* r = m.row("custom:" + QString::number(i))) customProperties[i].value = r->value.toStdWString();
}
