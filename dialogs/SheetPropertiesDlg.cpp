#include "dialogs/SheetPropertiesDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "dialogs/ImportLayoutsDlg.h"
#include "dialogs/NameValidation.h"
#include "drawings/FileLocks.h"
#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "model/NameRules.h"
#include "model/NewSheet.h"
#include "model/SheetSetMessages.h"

namespace {

QString q(const TkString& s) { return QString::fromStdWString(s); }
QString text(int id, const wchar_t* def) { return q(ssMessage(id, def)); }
// "Index (/projects/harbour/G-001 Index.dwg)": the layout, then its drawing's whole path.
QString layoutText(const TkString& layout, const TkString& file) { return q(layout + L" (" + file + L")"); }

// The name checks of a sheet on a grid value: the message of the rule broken, false.
bool checkValue(const QString& value, int limit, bool required) {
    QLineEdit probe(value);
    if (!CheckNameCharacters(&probe, kNameKindSheet)) return false;
    if (required && !CheckNameNotEmpty(&probe, kNameKindSheet)) return false;
    if (value.size() > limit) {
        ShowTooLongMessage(limit, kNameKindSheet);
        return false;
    }
    return true;
}

}  // namespace

CSheetPropertiesDlg::CSheetPropertiesDlg(QWidget* parent) : CVrUiDialog(parent) {
    setDialogName("SheetSet:SheetProperties");
    setHelpTopic(L"sheet-properties");
    setWindowTitle(tr("Sheet Properties"));
    grid = new CPropertyGrid(this);
    renameLayoutCheck = new QCheckBox(tr("Rename &layout to match the sheet title"), this);
    layoutNumberCheck = new QCheckBox(tr("Prefix with sheet &number"), this);
    renameFileCheck = new QCheckBox(tr("Rename &drawing file to match the sheet title"), this);
    fileNumberCheck = new QCheckBox(tr("Prefix with sheet n&umber"), this);
    auto* options = new QGridLayout;
    options->addWidget(renameLayoutCheck, 0, 0);
    options->addWidget(layoutNumberCheck, 0, 1);
    options->addWidget(renameFileCheck, 1, 0);
    options->addWidget(fileNumberCheck, 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(options);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(renameLayoutCheck, &QCheckBox::toggled, layoutNumberCheck, &QCheckBox::setEnabled);
    connect(renameFileCheck, &QCheckBox::toggled, fileNumberCheck, &QCheckBox::setEnabled);
    resize(520, 560);
}

void CSheetPropertiesDlg::fill() {
    auto plain = [](const char* key, int id, const wchar_t* def, int descId, const wchar_t* descDef, const TkString& value) {
        return PropertyRow{PropertyRow::Plain, key, text(id, def), text(descId, descDef), q(value), q(value), {}, {}};
    };
    std::vector<PropertyRow> rows;
    rows.push_back({PropertyRow::Group, "sheet", text(26101, L"Sheet")});
    rows.push_back(plain("title", 26102, L"Sheet title", 26103, L"The title of the sheet", title));
    rows.push_back(plain("number", 26104, L"Sheet number", 26105, L"The number of the sheet", number));
    rows.push_back(plain("description", 26106, L"Description", 26107, L"A description of the sheet", description));
    const QString publish = includeForPublish ? yesText() : noText();
    rows.push_back({PropertyRow::Choice, "publish", text(26108, L"Include for Publish"),
                    text(26111, L"Whether this sheet will be included when the sheet set is published"), publish, publish, yesNoChoices(), {}});
    const QString layoutValue = layoutText(layoutName, drawingPath);
    PropertyRow layoutRow{PropertyRow::Browse, "layout", text(26112, L"Expected layout"),
                          text(26113, L"The path and file name of the drawing where the sheet was saved"), layoutValue, layoutValue, {}, {}};
    layoutRow.browse = [this](QString& value) {
        // One layout chosen from drawings, as the import dialog does for a sheet.
        CImportLayoutsDlg pick([](const TkString&, const TkString&) { return false; }, {}, this);
        pick.singleChoice = true;
        if (pick.DoModal() != QDialog::Accepted || pick.chosen.empty()) return false;
        layoutName = pick.chosen.front().layout;
        layoutHandle = pick.chosen.front().handle;
        drawingPath = pick.chosen.front().drawing;
        value = layoutText(layoutName, drawingPath);
        grid->model().setValue("found", value);  // follows the expected layout
        return true;
    };
    rows.push_back(layoutRow);
    rows.push_back({PropertyRow::ReadOnly, "found", text(26114, L"Found layout"),
                    text(26115, L"The path and file name of the drawing where the sheet was found"), layoutValue, layoutValue, {}, {}});
    rows.push_back({PropertyRow::ReadOnly, "set", text(26116, L"Sheet set"), text(26117, L"The name of the sheet set to which the sheet belongs"),
                    q(sheetSetName), q(sheetSetName), {}, {}});
    rows.push_back(plain("revision", 26118, L"Revision number", 26118, L"Revision number", revisionNumber));
    rows.push_back(plain("revisionDate", 26119, L"Revision date", 26119, L"Revision date", revisionDate));
    rows.push_back(plain("purpose", 26120, L"Purpose", 26120, L"Purpose", purpose));
    rows.push_back(plain("category", 26121, L"Category", 26121, L"Category", category));
    if (!customProperties.empty()) {
        rows.push_back({PropertyRow::Group, "custom", text(26329, L"Sheet Custom Properties")});
        for (size_t i = 0; i < customProperties.size(); ++i)
            rows.push_back({PropertyRow::Plain, "custom:" + QString::number(i), q(customProperties[i].name), q(customProperties[i].name),
                            q(customProperties[i].value), q(customProperties[i].value), {}, {}});
    }
    grid->model().setRows(rows);
}

int CSheetPropertiesDlg::DoModal() {
    fill();
    // Wide enough to show the layout row whole, drawing path and browse button included, as far
    // as the screen allows; the row's tooltip holds it all on a narrower screen.
    const QFontMetrics fm(grid->view()->font());
    const int pathWidth = grid->view()->columnWidth(0) + fm.horizontalAdvance(layoutText(layoutName, drawingPath)) + 26 + 16 +
                          2 * grid->view()->frameWidth() + grid->view()->verticalScrollBar()->sizeHint().width();
    const QMargins margins = layout()->contentsMargins();
    const QScreen* screen = this->screen();
    const int screenWidth = screen ? screen->availableGeometry().width() * 9 / 10 : pathWidth;
    setMinimumWidth(std::min(std::max(pathWidth + margins.left() + margins.right(), 520), screenWidth));
    renameLayoutCheck->setChecked(renameLayout);
    layoutNumberCheck->setChecked(layoutWithNumber);
    renameFileCheck->setChecked(renameFile);
    fileNumberCheck->setChecked(fileWithNumber);
    // Renaming needs the drawing, free to be written.
    const bool canRename = vrutPathExists(drawingPath) && !isDrawingLocked(drawingPath);
    renameLayoutCheck->setEnabled(canRename);
    renameFileCheck->setEnabled(canRename);
    layoutNumberCheck->setEnabled(canRename && renameLayout);
    fileNumberCheck->setEnabled(canRename && renameFile);
    return CVrUiDialog::DoModal();
}

void CSheetPropertiesDlg::OnOK() {
    CPropertyTableModel& m = grid->model();
    const QString newTitle = m.value("title"), newNumber = m.value("number");
    if (!checkValue(newTitle, kMaxTitleLength, true) || !checkValue(newNumber, kMaxNumberLength, false)) return;
    const TkString label = sheetDisplayName(newNumber.toStdWString(), newTitle.toStdWString());
    for (const TkString& other : otherNames)
        if (vrutSameTextNoCase(other, label)) {
            ShowNameExistsMessage(newTitle.toStdWString(), kNameKindSheet);
            return;
        }
    title = newTitle.toStdWString();
    number = newNumber.toStdWString();
    description = m.value("description").toStdWString();
    includeForPublish = m.value("publish") == yesText();
    revisionNumber = m.value("revision").toStdWString();
    revisionDate = m.value("revisionDate").toStdWString();
    purpose = m.value("purpose").toStdWString();
    category = m.value("category").toStdWString();
    for (size_t i = 0; i < customProperties.size(); ++i) customProperties[i].value = m.value("custom:" + QString::number(i)).toStdWString();
    renameLayout = renameLayoutCheck->isChecked();
    layoutWithNumber = layoutNumberCheck->isChecked();
    renameFile = renameFileCheck->isChecked();
    fileWithNumber = fileNumberCheck->isChecked();
    newLayoutName.clear();
    newDrawingPath.clear();
    if (renameLayoutCheck->isEnabled() && renameLayout) newLayoutName = layoutWithNumber ? proposedSheetFileName(number, title) : title;
    if (renameFileCheck->isEnabled() && renameFile) {
        TkString folder, file;
        vrutSplitPath(drawingPath, folder, file);
        const TkString name = (fileWithNumber ? proposedSheetFileName(number, title) : title) + L".dwg";
        if (name != file) {
            const TkString path = folder + name;
            if (vrutPathExists(path)) {
                VrUiMessageBox(ssMessage(25602, L"Drawing Already Exists"),
                               ssMessage(26122, L"Cannot rename this sheet and the associated drawing file.\nA file with the same name already exists.\nPlease enter a different name."),
                               MB_OK | MB_ICONWARNING);
                return;
            }
            newDrawingPath = path;
        }
    }
    done(QDialog::Accepted);
}
