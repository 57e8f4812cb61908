// vorn-uishots OUTDIR EXAMPLES DRAWINGS SHEETSET: pictures of the wizard's pages, the palette's
// details pane in both modes and a preview tooltip, for looking at the dialogs as a user sees
// them (run under a real display or Xvfb, not the offscreen platform). EXAMPLES is a folder of
// example sheet sets, DRAWINGS a folder of drawings that belong to no set, SHEETSET a set to show.
#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "dialogs/CustomPropertiesDlg.h"
#include "dialogs/ImportLayoutsDlg.h"
#include "dialogs/NewSheetDlg.h"
#include "dialogs/RenameSheetDlg.h"
#include "dialogs/RenumberDlg.h"
#include "dialogs/ResaveReportDlg.h"
#include "dialogs/SheetPropertiesDlg.h"
#include "dialogs/SheetsetPropertiesDlg.h"
#include "dialogs/SubsetPropertiesDlg.h"
#include "host/Documents.h"
#include "host/PathUtil.h"
#include "model/NewSheet.h"
#include "model/SheetSetMgrImpl.h"
#include "host/NqSystem.h"
#include "host/Resources.h"
#include "host/UiBase.h"
#include "dialogs/ComponentToolTip.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListWnd.h"
#include "palette/SheetSetPanes.h"
#include "palette/SheetsetTree.h"
#include "wizard/BeginPage.h"
#include "wizard/ChooseLayoutsPage.h"
#include "wizard/DetailsPage.h"
#include "wizard/ExamplePage.h"
#include "wizard/ImportOptionsDlg.h"

namespace {

QString outDir;

void shoot(QWidget* w, const QString& name) {
    QTest::qWait(150);
    w->grab().save(outDir + "/" + name + ".png");
    std::printf("%s/%s.png\n", qPrintable(outDir), qPrintable(name));
}

void wizardShots(const QString& drawings, const QString& scratch) {
    CVdUiRegistryAccess(WizardSettings::key()).setString(L"SheetSetCreatePath", scratch.toStdWString());
    {
        CCreateShSheet wiz;
        wiz.show();
        (void)QTest::qWaitForWindowExposed(&wiz);
        shoot(&wiz, "wizard-1-begin");
        wiz.OnNext();
        shoot(&wiz, "wizard-2-example");
        wiz.OnNext();
        shoot(&wiz, "wizard-3-details");
        wiz.OnNext();
        shoot(&wiz, "wizard-4-confirm-example");
        wiz.state().cancel();
    }
    CCreateShSheet wiz;
    wiz.show();
    (void)QTest::qWaitForWindowExposed(&wiz);
    wiz.beginPage->drawingsOption->setChecked(true);
    shoot(&wiz, "wizard-5-begin-drawings");
    wiz.OnNext();
    wiz.detailsPage->nameEdit->setText("Harbour Offices");
    shoot(&wiz, "wizard-6-details-drawings");
    wiz.OnNext();
    wiz.layoutsPage->addFolder(drawings.toStdWString());
    shoot(&wiz, "wizard-7-layouts");
    CImportOptionsDlg options(ImportOptions{true, true, false}, &wiz);
    options.show();
    (void)QTest::qWaitForWindowExposed(&options);
    shoot(&options, "wizard-8-import-options");
    options.hide();
    wiz.OnNext();
    shoot(&wiz, "wizard-9-confirm-drawings");
    wiz.state().cancel();
}

void paletteShots(const QString& sheetSet) {
    CSheetListWnd wnd(nullptr);
    wnd.resize(380, 720);
    wnd.show();
    (void)QTest::qWaitForWindowExposed(&wnd);
    if (!wnd.openSheetSet(sheetSet.toStdWString())) return;
    wnd.OnCommand(pal::kCmdExpandAll);
    CSheetsetTree* tree = wnd.tree();
    QTreeWidgetItem* sheet = tree->topLevelItem(0);
    while (sheet && sheet->childCount()) sheet = sheet->child(0);
    if (!sheet) return;
    tree->setCurrentItem(sheet);
    tree->SelectItem(sheet);
    if (!wnd.panes()->detailsPane()->isVisible()) wnd.OnCommand(pal::kCmdDetailsPane);
    wnd.panes()->detailsPane()->OnPaneButton(pal::kPaneDetails);
    shoot(&wnd, "palette-details");
    wnd.panes()->detailsPane()->OnPaneButton(pal::kPanePreview);
    shoot(&wnd, "palette-preview");
    for (int style : {3, 6}) {
        wnd.OnCommand(pal::kCmdToolTipStyleFirst + style);
        QPoint at = tree->visualItemRect(sheet).center();
        QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &help);
        if (tree->toolTip()) tree->toolTip()->bitmap().save(outDir + QString("/tooltip-style-%1.png").arg(style));
        std::printf("%s/tooltip-style-%d.png\n", qPrintable(outDir), style);
    }
}

// The new sheet dialog filled in, and the import dialog listing free drawings and the set's own.
void sheetDialogShots(const QString& sheetSet, const QString& drawings) {
    CSheetSetMgrImpl mgr;
    if (!mgr.openSheetSet(sheetSet.toStdWString().c_str())) return;
    CSheetSet* set = mgr.getSheetSet(0);
    CNewSheetDlg dlg;
    dlg.location = resolveNewSheetLocation(set);
    dlg.templateFile = set->getTemplateFileName();
    dlg.templateLayoutName = set->getTemplateLayoutName();
    dlg.DoModal();  // with the hook below: shows the fields, then returns
    dlg.show();
    (void)QTest::qWaitForWindowExposed(&dlg);
    QTest::keyClicks(dlg.numberEdit, "A-105");
    QTest::keyClicks(dlg.titleEdit, "Basement Plan");
    shoot(&dlg, "new-sheet-dialog");
    dlg.hide();

    CImportLayoutsDlg import([&](const TkString& d, const TkString& l) { return mgr.containsLayout(d.c_str(), l.c_str()); },
                             {set->getFileName()});
    import.show();
    (void)QTest::qWaitForWindowExposed(&import);
    std::vector<TkString> files;
    for (const QString& f : QDir(drawings).entryList({"*.dxf", "*.dwg"}, QDir::Files)) files.push_back(QDir(drawings).filePath(f).toStdWString());
    TkString folder, name;
    vrutSplitPath(set->getFileName(), folder, name);
    files.push_back(folder + L"drawings/A-200 Elevations.dwg");
    import.addDrawings(files);
    shoot(&import, "import-layouts-dialog");
    import.hide();

    // The three property dialogs, filled from the set as the palette fills them.
    CSheet* sheet = nullptr;
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    if (!sheets.empty()) sheet = sheets.front();
    CSheetsetPropertiesDlg setDlg;
    setDlg.name = set->getName();
    setDlg.dataFile = set->getFileName();
    setDlg.description = set->getDesc();
    setDlg.pageSetupFile = set->getPageSetupFile();
    setDlg.projectNumber = set->getProjectNumber();
    setDlg.projectName = set->getProjectName();
    setDlg.projectPhase = set->getProjectPhase();
    setDlg.projectMilestone = set->getProjectMilestone();
    setDlg.location = set->getNewSheetLocation();
    setDlg.templateLayout = set->getTemplateLayoutName();
    setDlg.templateFile = set->getTemplateFileName();
    set->getCustomProperties()->getAll(setDlg.customProperties);
    setDlg.DoModal();
    setDlg.show();
    (void)QTest::qWaitForWindowExposed(&setDlg);
    setDlg.grid->model().setValue("projectPhase", "Construction documents");
    shoot(&setDlg, "sheet-set-properties");
    setDlg.hide();
    CCustomPropertiesDlg custom;
    custom.properties = setDlg.customProperties;
    custom.properties.push_back({L"Client", L"City of Riverside", true});
    custom.DoModal();
    custom.show();
    (void)QTest::qWaitForWindowExposed(&custom);
    shoot(&custom, "custom-properties");
    custom.hide();
    CSubsetPropertiesDlg subDlg;
    subDlg.name = L"Plans";
    subDlg.location = set->getNewSheetLocation();
    subDlg.templateLayout = set->getTemplateLayoutName();
    subDlg.templateFile = set->getTemplateFileName();
    subDlg.isNew = true;
    subDlg.DoModal();
    subDlg.show();
    (void)QTest::qWaitForWindowExposed(&subDlg);
    shoot(&subDlg, "subset-properties");
    subDlg.hide();
    if (sheet) {
        CSheetPropertiesDlg sheetDlg;
        sheetDlg.title = sheet->getTitle();
        sheetDlg.number = sheet->getNumber();
        sheetDlg.layoutName = sheet->getLayoutName();
        sheetDlg.drawingPath = sheet->getFileName();
        sheetDlg.sheetSetName = set->getName();
        sheetDlg.revisionNumber = sheet->getRevisionNumber();
        sheetDlg.revisionDate = sheet->getRevisionDate();
        sheetDlg.purpose = sheet->getIssuePurpose();
        sheetDlg.category = sheet->getCategory();
        sheet->getCustomProperties()->getAll(sheetDlg.customProperties);
        sheetDlg.DoModal();
        sheetDlg.show();
        (void)QTest::qWaitForWindowExposed(&sheetDlg);
        sheetDlg.grid->view()->selectRow(2);
        shoot(&sheetDlg, "sheet-properties");
        sheetDlg.hide();

        CRenameSheetDlg rename;
        rename.number = sheet->getNumber();
        rename.title = sheet->getTitle();
        rename.layoutName = sheet->getLayoutName();
        rename.drawingPath = sheet->getFileName();
        rename.hasNext = true;
        rename.renameLayout = true;
        rename.layoutWithNumber = true;
        rename.DoModal();
        rename.show();
        (void)QTest::qWaitForWindowExposed(&rename);
        shoot(&rename, "rename-sheet");
        rename.hide();
    }
    std::vector<CSubset*> subsets;
    set->getSubsets(subsets, true);
    if (!subsets.empty()) {
        CSubset* plans = subsets.size() > 2 ? subsets[2] : subsets.front();
        CRenumberDlg renumber([set, plans](const TkString& p, long long a, long long b) { return planRenumber(set, plans, p, a, b); });
        renumber.patternEdit->setText("A-1##");
        renumber.startBox->setValue(11);
        renumber.show();
        (void)QTest::qWaitForWindowExposed(&renumber);
        shoot(&renumber, "renumber-preview");
        renumber.hide();
    }
    std::vector<ResaveEntry> entries{{L"A-301 - Section A-A", L"Drawing file not found", L"/projects/riverside/drawings/A-300 Sections.dwg"},
                                     {L"A-501 - Entrance Canopy", L"Sheet is being edited by jsmith", L"/projects/riverside/drawings/A-500 Details.dwg"},
                                     {L"L-101 - Landscape Plan", L"Drawing needs recovery", L"/projects/riverside/drawings/L-100 Landscape.dwg"}};
    CResaveReportDlg report(set->getName(), entries, resaveLogPath(set));
    report.show();
    (void)QTest::qWaitForWindowExposed(&report);
    shoot(&report, "resave-report");
}

}  // namespace

int main(int argc, char** argv) {
    // Settings of a run of its own: the pictures start from nothing remembered, and the user's
    // own settings stay as they are.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setOrganizationName("VornShots");
    if (argc != 5) {
        std::fprintf(stderr, "usage: vorn-uishots OUTDIR EXAMPLES DRAWINGS SHEETSET\n");
        return 1;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    vrSetResourceFolder(QDir(QCoreApplication::applicationDirPath()).filePath("../../res").toStdString());
    vrSetResourceLanguage("en");
    CNqSystem::instance().setProfileString(L"General", L"SheetSetTemplatePath", QString::fromLocal8Bit(argv[2]).toStdWString());
    QString scratch = QDir::temp().filePath("vorn-uishots");
    QDir(scratch).removeRecursively();
    QDir().mkpath(scratch);
    // Previews are drawn with a drawing open, as in the host.
    QDir drawings(QString::fromLocal8Bit(argv[3]));
    QStringList any = drawings.entryList({"*.dxf", "*.dwg"}, QDir::Files);
    if (!any.isEmpty()) vrDocManagerPtr()->openDocument(drawings.filePath(any.front()).toStdWString(), true);
    wizardShots(QString::fromLocal8Bit(argv[3]), scratch);
    paletteShots(QString::fromLocal8Bit(argv[4]));
    CVrUiDialog::testHook = [](CVrUiDialog* d) { return d->result(); };  // DoModal fills, shows nothing
    sheetDialogShots(QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[3]));
    CVrUiDialog::testHook = nullptr;
    vrDocManagerPtr()->closeAll();
    QDir(scratch).removeRecursively();
    return 0;
}
