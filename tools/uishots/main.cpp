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

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QToolButton>

#include "app/services/PlotService.h"
#include "dialogs/CustomPropertiesDlg.h"
#include "dialogs/PublishSheetsDlg.h"
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
#include "model/ItemLookup.h"
#include "dialogs/ComponentToolTip.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListWnd.h"
#include "palette/SheetSetBar.h"
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

// The whole screen, for what lives in windows of its own: menus and tooltips.
void shootScreen(const QString& name) {
    QTest::qWait(400);
    QGuiApplication::primaryScreen()->grabWindow(0).save(outDir + "/" + name + ".png");
    std::printf("%s/%s.png\n", qPrintable(outDir), qPrintable(name));
}

// Asks `w` for its tooltip at `at`, as resting the mouse there does.
void askToolTip(QWidget* w, QPoint at) {
    QHelpEvent help(QEvent::ToolTip, at, w->mapToGlobal(at));
    QApplication::sendEvent(w, &help);
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
        // A folder of the user's own: the set's properties show it, as the confirm page will.
        const QString chosen = scratch + "/Harbour Offices";
        QDir().mkpath(chosen);
        wiz.detailsPage->locationEdit->setText(chosen);
        CVrUiDialog::testHook = [](CVrUiDialog* d) {
            d->show();
            (void)QTest::qWaitForWindowExposed(d);
            shoot(d, "wizard-3b-details-properties");
            return int(QDialog::Rejected);
        };
        wiz.detailsPage->OnProperties();
        CVrUiDialog::testHook = nullptr;
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

// The palette's button strip at the palette's smallest width, docked, and at its default floating
// size; the publish menu with the outputs the host cannot make; the publish settings tree's tips.
void stripAndPublishShots(const QString& sheetSet) {
    VornPlotService plot;
    CNqSystem::instance().registerService(L"CNqPlotSvr", &plot);
    {
        QMainWindow frame;
        frame.setCentralWidget(new QLabel("drawing"));
        frame.resize(900, 620);
        CSheetSetBar bar;
        bar.Create(&frame);
        frame.addDockWidget(Qt::RightDockWidgetArea, &bar);
        frame.show();
        (void)QTest::qWaitForWindowExposed(&frame);
        bar.sheetList()->openSheetSet(sheetSet.toStdWString());
        bar.showDocked();
        frame.resizeDocks({&bar}, {230}, Qt::Horizontal);
        QTest::qWait(200);
        std::printf("docked palette %d wide, sheet list %d\n", bar.width(), bar.sheetList()->width());
        shoot(&bar, "palette-strip-smallest");

        // The publish menu of a sheet: DWF and DWFx grayed, the reason over DWF.
        CSheetListWnd* list = bar.sheetList();
        CSheetsetTree* tree = list->tree();
        QTreeWidgetItem* sheet = tree->topLevelItem(0);
        while (sheet && sheet->childCount()) sheet = sheet->child(0);
        if (sheet) {
            tree->ClearSelectedItems();
            tree->SelectItem(sheet);
            list->EnableButtons();
            QToolButton* button = list->publishMenuButton();
            QMenu* menu = button->menu();
            emit menu->aboutToShow();
            menu->popup(button->mapToGlobal(QPoint(0, button->height())));
            QTest::qWait(300);
            for (QAction* a : menu->actions())
                if (a->data().toInt() == pal::kCmdPublishDwf) askToolTip(menu, menu->actionGeometry(a).center());
            shootScreen("publish-menu-dwf");
            menu->hide();
        }
        bar.setFloating(true);
        bar.setGeometry(100, 200, 280, 500);
        QTest::qWait(200);
        shoot(&bar, "palette-strip-default-floating");

        // The publish settings dialog with the tip of a sheet, as the palette's tree draws it (the
        // palette's drawing cache makes the preview).
        CSheetSetMgrImpl mgr;
        if (mgr.openSheetSet(sheetSet.toStdWString().c_str())) {
            CSheetSetImpl* set = mgr.sheetSetImpl(0);
            CPublishSheetsDlg dlg(set);
            dlg.setComponentTips(
                [set](uint64_t id, const QString& title, int style) { return makeComponentTip(findComponentById(set, id), title, style); }, 6);
            dlg.show();
            (void)QTest::qWaitForWindowExposed(&dlg);
            QTreeWidgetItem* item = dlg.tree->topLevelItem(0);
            while (item && item->childCount()) item = item->child(0);
            if (item) askToolTip(dlg.tree->viewport(), dlg.tree->visualItemRect(item).center());
            shootScreen("publish-settings-tip");
        }
    }
    CNqSystem::instance().removeService(L"CNqPlotSvr");
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
    // Its "Project Control" group folded, as its arrow does.
    for (int row = 0; row < setDlg.grid->model().rowCount(); ++row)
        if (setDlg.grid->model().rows()[static_cast<size_t>(row)].key == "project") setDlg.grid->setGroupExpanded(row, false);
    shoot(&setDlg, "sheet-set-properties-folded");
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

        // The same sheet with its drawing open here: the number prefix waits, and says so.
        vrDocManagerPtr()->openDocument(sheet->getFileName(), false);
        CRenameSheetDlg openHere;
        openHere.number = sheet->getNumber();
        openHere.title = sheet->getTitle();
        openHere.layoutName = sheet->getLayoutName();
        openHere.drawingPath = sheet->getFileName();
        openHere.renameLayout = true;
        openHere.layoutWithNumber = true;
        openHere.openHere = true;
        openHere.DoModal();
        openHere.show();
        (void)QTest::qWaitForWindowExposed(&openHere);
        askToolTip(openHere.layoutNumberCheck, openHere.layoutNumberCheck->rect().center());
        shootScreen("rename-sheet-open-here");
        openHere.hide();
        if (VrApDocument* doc = vrDocManagerPtr()->findDocument(sheet->getFileName())) vrDocManagerPtr()->closeDocument(doc);
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
    stripAndPublishShots(QString::fromLocal8Bit(argv[4]));
    CVrUiDialog::testHook = [](CVrUiDialog* d) { return d->result(); };  // DoModal fills, shows nothing
    sheetDialogShots(QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[3]));
    CVrUiDialog::testHook = nullptr;
    vrDocManagerPtr()->closeAll();
    QDir(scratch).removeRecursively();
    return 0;
}
