#include "app/services/PlotService.h"

#include <pwd.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QUrl>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>

#include "app/services/OutputFile.h"
#include "host/Dialogs.h"
#include "host/PathUtil.h"
#include "host/Progress.h"
#include "host/UiBase.h"
#include "toolkit/common/TkIdentity.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"

namespace {

constexpr int kPdf = 0, kDwf = 1, kDwfx = 2, kPlotter = 3;
QString q(const TkString& s) { return QString::fromStdWString(s); }

TkString userName() { return tkFromUtf8(tkUserName()); }

TkString label(const VrPublishSheet& s) { return s.number.empty() ? s.title : s.number + L" - " + s.title; }

// What a job left out, for the message after it.
TkString skippedText(const PublishOutcome& o) {
    TkString lines;
    int n = 0;
    for (const PublishedSheet& s : o.sheets)
        if (!s.done && n++ < 12) lines += L"\n" + label(s.sheet) + L": " + s.why;
    if (n == 0) return {};
    if (n > 12) lines += L"\n\u2026 and " + std::to_wstring(n - 12) + L" more (see the log)";
    return L"\n\n" + std::to_wstring(n) + (n == 1 ? L" sheet was" : L" sheets were") + L" left out:" + lines;
}

}  // namespace

QVariant VornPlotService::setting(const char* key, const QVariant& def) const {
    return QSettings("Vorn", "Vorn").value(QString("Publish/") + key, def);
}

void VornPlotService::setSetting(const char* key, const QVariant& value) { QSettings("Vorn", "Vorn").setValue(QString("Publish/") + key, value); }

bool VornPlotService::getPublishInReverseOrder() const { return setting("ReverseOrder", false).toBool(); }
void VornPlotService::setPublishInReverseOrder(bool on) { setSetting("ReverseOrder", on); }
bool VornPlotService::getIncludePlotStamp() const { return setting("PlotStamp", false).toBool(); }
void VornPlotService::setIncludePlotStamp(bool on) { setSetting("PlotStamp", on); }
int VornPlotService::getDefaultPublishFormat() const {
    // A default left by an older setting names a format this service cannot make: PDF stands in.
    const int format = setting("DefaultFormat", kPdf).toInt();
    return canPublish(format) ? format : kPdf;
}

bool VornPlotService::canPublish(int kind) const { return kind == kPdf || kind == kPlotter; }

PublishSettings VornPlotService::settingsFor(const VrPublishJob& job) const {
    PublishSettings s;
    s.reverseOrder = getPublishInReverseOrder();
    s.plotStamp = getIncludePlotStamp();
    s.plotStyle = static_cast<TkGsPlotStyle>(setting("PlotStyle", static_cast<int>(TkGsPlotStyle::Monochrome)).toInt());
    s.takeFrom(job);
    s.user = userName();
    return s;
}

TkString VornPlotService::chooseOutput(const VrPublishJob& job) {
    CVrUiNavDialog dialog(L"Publish to PDF", false);
    dialog.addFilter(L"PDF", L"*.pdf");
    // The last folder used (the set's own the first time), and the set's name as the file's.
    const QString last = setting("Folder", QString()).toString();
    dialog.setInitialFolder((last.isEmpty() ? QFileInfo(q(job.sheetSetFile)).absolutePath() : last).toStdWString());
    if (!job.sheetSetName.empty()) dialog.setInitialFileName(job.sheetSetName + L".pdf");
    if (dialog.DoModal() != IDOK || dialog.fileNames().empty()) return TkString();
    TkString out = dialog.fileNames().front();
    if (QFileInfo(q(out)).suffix().isEmpty()) out += L".pdf";
    setSetting("Folder", QFileInfo(q(out)).absolutePath());
    return out;
}

PublishOutcome VornPlotService::publishPdf(const VrPublishJob& job, const TkString& out, bool tell, bool perSheet) {
    PublishOutcome outcome;
    const PublishSettings settings = settingsFor(job);
    vrRunWithProgress(L"Publish", L"Publishing " + std::to_wstring(job.sheets.size()) + L" sheets to " + out, [&](VrProgress& p) {
        PublishControl control;
        control.progress = [&](int done, int total) { p.set(done, total); };
        control.cancel = p.cancelFlag();
        outcome = perSheet ? publishToFolder(job.sheets, out, settings, control) : publishToPdf(job.sheets, out, settings, control);
    });
    // The log goes beside the PDF (into the folder of the PDFs): a line per sheet.
    const QString logPath = perSheet ? q(out) + "/" + q(job.sheetSetName.empty() ? TkString(L"publish") : job.sheetSetName) + ".log"
                                     : QFileInfo(q(out)).path() + "/" + QFileInfo(q(out)).completeBaseName() + ".log";
    OutputFile log(logPath.toStdWString());
    const QByteArray lines = QString::fromStdWString(publishLogText(outcome, out)).toUtf8();
    if (log.device() && log.device()->write(lines) == lines.size()) log.putInPlace();
    if (!tell || outcome.cancelled) return outcome;
    if (outcome.pages == 0) {
        VrUiMessageBox(L"Publish", outcome.error + L"\n\nThe log: " + logPath.toStdWString(), MB_OK | MB_ICONWARNING);
        return outcome;
    }
    // How many went out, what was left out and why, and the PDF one click away.
    const TkString text = L"Published " + std::to_wstring(outcome.pages) + L" of " + std::to_wstring(job.sheets.size()) +
                          (perSheet ? L" sheets as a PDF each to " : L" sheets to ") + out + L"." + skippedText(outcome) +
                          L"\n\nThe log: " + logPath.toStdWString() + (perSheet ? L"\n\nOpen the folder now?" : L"\n\nOpen the PDF now?");
    if (VrUiMessageBox(L"Publish", text, MB_YESNO | (outcome.allDone() ? MB_ICONINFORMATION : MB_ICONWARNING)) == IDYES)
        QDesktopServices::openUrl(QUrl::fromLocalFile(q(out)));
    return outcome;
}

int VornPlotService::publishToFile(const VrPublishJob& job, const TkString& pdfFile) {
    if (job.sheets.empty()) return 2;
    const PublishOutcome outcome = publishPdf(job, pdfFile, false);
    return outcome.pages == 0 ? 2 : outcome.allDone() ? 0 : 1;
}

namespace {

// The printer the page setup override names (its device less any ".pc3"), else the system's default.
QPrinterInfo chosenPrinter(const VrPublishJob& job) {
    if (!job.pageSetupName.empty()) {
        TkDbDatabase setups;
        if (setups.readDxfFile(tkToUtf8(job.pageSetupFile)).ok())
            for (const TkDbPlotSettings& ps : setups.pageSetups())
                if (tkFromUtf8(ps.pageSetupName()) == job.pageSetupName) {
                    QString device = QString::fromStdString(ps.plotDevice());
                    if (device.endsWith(".pc3", Qt::CaseInsensitive)) device.chop(4);
                    if (QPrinterInfo named = QPrinterInfo::printerInfo(device); !named.isNull()) return named;
                }
    }
    return QPrinterInfo::defaultPrinter().isNull() ? QPrinterInfo::availablePrinters().front() : QPrinterInfo::defaultPrinter();
}

}  // namespace

int VornPlotService::printJob(const VrPublishJob& job) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        VrUiMessageBox(L"Publish", L"No printer is installed on this computer. Publish to PDF instead, or install a printer.", MB_OK | MB_ICONWARNING);
        return 0;
    }
    QPrinter printer(chosenPrinter(job), QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(q(job.sheetSetName));
    PublishOutcome outcome;
    const PublishSettings settings = settingsFor(job);
    vrRunWithProgress(L"Publish", L"Printing " + std::to_wstring(job.sheets.size()) + L" sheets on " + printer.printerName().toStdWString(),
                      [&](VrProgress& p) {
                          PublishControl control;
                          control.progress = [&](int done, int total) { p.set(done, total); };
                          control.cancel = p.cancelFlag();
                          outcome = publishOnDevice(job.sheets, printer, printer.resolution() / 25.4, settings, control);
                      });
    if (!outcome.allDone()) VrUiMessageBox(L"Publish", L"Some sheets were not printed." + skippedText(outcome), MB_OK | MB_ICONWARNING);
    return outcome.pages;
}

int VornPlotService::publish(int kind, const VrPublishJob& job) {
    if (kind == kDwf || kind == kDwfx) {
        VrUiMessageBox(L"Publish", std::wstring(kind == kDwf ? L"DWF" : L"DWFx") + L" output is not available here. Publish to PDF instead.",
                       MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (job.sheets.empty()) return 0;
    if (kind == kPlotter) return printJob(job);
    return publishChosen(job);
}

int VornPlotService::publishWithPageSetupOverride(const VrPublishJob& job) {
    if (job.sheets.empty()) return 0;
    return publishChosen(job);
}

int VornPlotService::publishChosen(const VrPublishJob& job) {
    // A PDF per sheet when the options say so: the folder they go to, else the one file.
    if (getOnePerSheet()) {
        const QString last = setting("Folder", QString()).toString();
        const TkString folder =
            vrutBrowseForFolder(L"Publish a PDF per Sheet", (last.isEmpty() ? QFileInfo(q(job.sheetSetFile)).absolutePath() : last).toStdWString());
        if (folder.empty()) return 0;
        setSetting("Folder", q(folder));
        return publishPdf(job, folder, true, true).pages;
    }
    const TkString out = chooseOutput(job);
    return out.empty() ? 0 : publishPdf(job, out).pages;
}

bool VornPlotService::getOnePerSheet() const { return setting("OnePerSheet", false).toBool(); }

void VornPlotService::plotStampSettings() {
    CVrUiDialog dlg(vredGetVornFrame());
    dlg.setDialogName("Vorn:PlotStamp");
    dlg.setHelpTopic(L"plot-stamp");
    dlg.setWindowTitle("Plot Stamp");
    auto* on = new QCheckBox("Add a plot stamp to each page: drawing, layout, date and time, user", &dlg);
    on->setChecked(getIncludePlotStamp());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(on);
    layout->addWidget(buttons);
    if (dlg.DoModal() == QDialog::Accepted) setIncludePlotStamp(on->isChecked());
}

int VornPlotService::managePageSetups(const VrPublishJob& job) {
    // The page setups are those of the set's page setup file; they are edited in the drawing.
    TkString text = job.pageSetupFile.empty() ? TkString(L"The sheet set has no page setup overrides file.")
                                              : L"The page setups come from " + job.pageSetupFile + L"; open that drawing to change them.";
    VrUiMessageBox(L"Page Setups", text, MB_OK | MB_ICONINFORMATION);
    return 0;
}

int VornPlotService::sheetSetPublishOptions(const VrPublishJob&) {
    CVrUiDialog dlg(vredGetVornFrame());
    dlg.setDialogName("Vorn:PublishOptions");
    dlg.setHelpTopic(L"publish-options");
    dlg.setWindowTitle("Sheet Set Publish Options");
    auto* format = new QComboBox(&dlg);
    format->addItems({"PDF", "DWF (not available)", "DWFx (not available)"});
    format->setCurrentIndex(getDefaultPublishFormat());
    auto* style = new QComboBox(&dlg);
    style->addItems({"As displayed", "Monochrome", "Grayscale"});
    style->setCurrentIndex(setting("PlotStyle", static_cast<int>(TkGsPlotStyle::Monochrome)).toInt());
    auto* folder = new QLineEdit(setting("Folder", QString()).toString(), &dlg);
    auto* perSheet = new QCheckBox("A PDF per sheet, named by number and title", &dlg);
    perSheet->setChecked(getOnePerSheet());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* form = new QFormLayout(&dlg);
    form->addRow("Default output:", format);
    form->addRow("Plot style:", style);
    form->addRow("Output folder:", folder);
    form->addRow("Files:", perSheet);
    form->addRow(buttons);
    if (dlg.DoModal() != QDialog::Accepted) return 0;
    setSetting("DefaultFormat", kPdf);  // DWF and DWFx are not made here: PDF stays the default
    setSetting("PlotStyle", style->currentIndex());
    setSetting("Folder", folder->text());
    setSetting("OnePerSheet", perSheet->isChecked());
    return 5100;
}

int VornPlotService::publishDialogBox(const VrPublishJob& job) {
    CVrUiDialog dlg(vredGetVornFrame());
    dlg.setDialogName("Vorn:Publish");
    dlg.setHelpTopic(L"publish-dialog");
    dlg.setWindowTitle("Publish");
    auto* list = new QListWidget(&dlg);
    for (const VrPublishSheet& s : job.sheets) list->addItem(q(label(s)) + "    (" + q(s.layout) + ")");
    auto* out = new QLineEdit(&dlg);
    const QString folder = setting("Folder", QString()).toString();
    out->setText((folder.isEmpty() ? QString() : folder + "/") + q(job.sheetSetName) + ".pdf");
    auto* title = new QLineEdit(q(job.sheetSetName), &dlg);
    title->setToolTip("The title PDF readers show for the document");
    auto* buttons = new QDialogButtonBox(&dlg);
    buttons->addButton("Publish", QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(new QLabel(QString("Sheets to publish (%1):").arg(job.sheets.size()), &dlg));
    layout->addWidget(list, 1);
    layout->addWidget(new QLabel("Output file:", &dlg));
    layout->addWidget(out);
    layout->addWidget(new QLabel("Document title:", &dlg));
    layout->addWidget(title);
    layout->addWidget(buttons);
    dlg.resize(520, 460);
    if (dlg.DoModal() != QDialog::Accepted || job.sheets.empty() || out->text().trimmed().isEmpty()) return 0;
    VrPublishJob titled = job;
    // One line, as a reader's title bar shows it.
    titled.documentTitle = title->text().simplified().toStdWString();
    return publishPdf(titled, out->text().trimmed().toStdWString()).pages;
}
