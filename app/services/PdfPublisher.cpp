#include "app/services/PdfPublisher.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <thread>
#include <map>
#include <set>
#include <memory>
#include <optional>

#include "VornVersion.h"
#include "app/services/OutputFile.h"
#include "app/services/PdfCompression.h"
#include "app/services/PdfDocument.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"

namespace {

constexpr int kResolution = 1200;  // device units per inch of a PDF: fine enough for 0.05 mm pens

QString q(const TkString& s) { return QString::fromStdWString(s); }

// Where a layout goes on paper: the page size in millimetres and the part of paper space shown.
struct PagePlan {
    QSizeF paperMm;
    QRectF area;      // paper-space rectangle shown
    bool fit = true;  // scaled to fit; else 1:1 from the lower left
};

QSizeF paperOf(const TkDbPlotSettings& ps) {
    double w = ps.paperWidth(), h = ps.paperHeight();
    if (ps.plotPaperUnits() == 0) w *= 25.4, h *= 25.4;  // inches
    if (ps.plotRotation() % 2 == 1) std::swap(w, h);     // a quarter turn lays the sheet the other way
    return {w, h};
}

QRectF limitsOf(const TkDbLayout& l) {
    TkDbPoint3 lo = l.limMin(), hi = l.limMax();
    return hi.x > lo.x && hi.y > lo.y ? QRectF(QPointF(lo.x, lo.y), QPointF(hi.x, hi.y)) : QRectF();
}

PagePlan planPage(const TkDbLayout& layout, const TkGsRenderer& renderer, const std::optional<TkDbPlotSettings>& override) {
    const TkDbPlotSettings& ps = override ? *override : static_cast<const TkDbPlotSettings&>(layout);
    PagePlan plan;
    plan.paperMm = paperOf(ps);
    QRectF extents;
    renderer.layoutBox(layout.name(), extents);
    const QRectF limits = limitsOf(layout);
    if (plan.paperMm.width() < 1 || plan.paperMm.height() < 1) {
        // A layout whose paper was never set up: its limits as the paper, else A3 landscape.
        plan.paperMm = limits.isValid() ? limits.size() : QSizeF(420, 297);
    }
    plan.area = ps.plotAreaType() == 1 || !limits.isValid() ? extents : limits;
    if (!plan.area.isValid()) plan.area = QRectF(QPointF(0, 0), plan.paperMm);
    return plan;
}

// The transform from paper space to the page, in device units with y down.
QTransform pageTransform(const PagePlan& plan, double kUnitsPerMm) {
    const double pw = plan.paperMm.width() * kUnitsPerMm, ph = plan.paperMm.height() * kUnitsPerMm;
    const double s = std::min(pw / plan.area.width(), ph / plan.area.height());
    QTransform xf;
    xf.translate(pw / 2, ph / 2);
    xf.scale(s, -s);
    xf.translate(-plan.area.center().x(), -plan.area.center().y());
    return xf;
}

// The drawings of a job, read once each while their sheets are drawn.
class DrawingShelf {
public:
    const TkDbDatabase* get(const TkString& path, TkString& why) {
        auto it = read_.find(path);
        if (it == read_.end()) {
            auto db = std::make_unique<TkDbDatabase>();
            const std::string file = tkToUtf8(path);
            TkDbResult r;
            if (!QFile::exists(q(path))) r = TkDbResult::fail(eTkFileAccess, "drawing not found");
            else r = db->readDxfFile(file);
            it = read_.emplace(path, Entry{r.ok() ? std::move(db) : nullptr, r.ok() ? TkString() : tkFromUtf8(r.describe())}).first;
        }
        why = it->second.why;
        return it->second.db.get();
    }
    // Frees a drawing once no later sheet needs it.
    void drop(const TkString& path) { read_.erase(path); }

private:
    struct Entry {
        std::unique_ptr<TkDbDatabase> db;
        TkString why;
    };
    std::map<TkString, Entry> read_;
};

std::optional<TkDbPlotSettings> findPageSetup(const TkDbDatabase* db, const TkString& name) {
    if (!db || name.empty()) return std::nullopt;
    for (const TkDbPlotSettings& ps : db->pageSetups())
        if (tkFromUtf8(ps.pageSetupName()) == name) return ps;
    return std::nullopt;
}

// The page setup that replaces each layout's own, read once from the set's page setups file.
struct PageSetupOverride {
    std::unique_ptr<TkDbDatabase> db;
    std::optional<TkDbPlotSettings> settings;
    // False with `error` when a setup was asked for and is not there.
    bool read(const PublishSettings& s, TkString& error) {
        if (s.pageSetupName.empty()) return true;
        db = std::make_unique<TkDbDatabase>();
        if (db->readDxfFile(tkToUtf8(s.pageSetupFile)).ok()) settings = findPageSetup(db.get(), s.pageSetupName);
        if (!settings) error = L"the page setup " + s.pageSetupName + L" is not in " + s.pageSetupFile;
        return settings.has_value();
    }
};

// Draws sheets one after another on a paged device: the pages of a printer, or of one part of a PDF.
class SheetPainter {
public:
    SheetPainter(QPagedPaintDevice& device, double unitsPerMm, const PublishSettings& settings,
                 const std::optional<TkDbPlotSettings>& override)
        : device_(device), unitsPerMm_(unitsPerMm), settings_(settings), override_(override),
          when_(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm")) {
        device_.setPageMargins(QMarginsF(0, 0, 0, 0));
    }
    ~SheetPainter() {
        if (painter_.isActive()) painter_.end();
    }
    int pages() const { return pages_; }

    // The sheet on a page of its own; false with `line.why` when it is skipped, and with `error`
    // when the device cannot be written at all.
    bool draw(const VrPublishSheet& sheet, DrawingShelf& shelf, PublishedSheet& line, TkString& error) {
        TkString why;
        const TkDbDatabase* db = sheet.drawing.empty() ? nullptr : shelf.get(sheet.drawing, why);
        auto layout = db ? db->findLayout(tkToUtf8(sheet.layout)) : std::nullopt;
        if (sheet.drawing.empty()) line.why = L"the sheet has no drawing";
        else if (!db) line.why = why;
        else if (!layout) line.why = L"the drawing has no layout " + sheet.layout;
        if (!layout) return false;
        TkGsOptions options;
        options.deviceUnitsPerMm = unitsPerMm_;
        options.plotStyle = settings_.plotStyle;
        options.textAsText = true;
        options.wholeDeviceUnits = true;
        options.plotRules = true;
        TkGsRenderer renderer(*db, options);
        const PagePlan plan = planPage(*layout, renderer, override_);
        device_.setPageSize(QPageSize(plan.paperMm, QPageSize::Millimeter));
        if (pages_ == 0) {
            if (!painter_.begin(&device_)) {
                error = L"the output cannot be written";
                return false;
            }
        } else {
            device_.newPage();
        }
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.save();
        painter_.setClipRect(QRectF(0, 0, plan.paperMm.width() * unitsPerMm_, plan.paperMm.height() * unitsPerMm_));
        renderer.paint(painter_, layout->name(), pageTransform(plan, unitsPerMm_), &line.notes);
        painter_.restore();
        if (settings_.plotStamp) {
            QFont font("DejaVu Sans");
            font.setPixelSize(static_cast<int>(2.5 * unitsPerMm_));
            painter_.setFont(font);
            painter_.setPen(Qt::black);
            painter_.drawText(QPointF(5 * unitsPerMm_, plan.paperMm.height() * unitsPerMm_ - 3 * unitsPerMm_),
                              q(sheet.drawing) + ", " + q(sheet.layout) + ", " + when_ + ", " + q(settings_.user));
        }
        ++pages_;
        line.done = true;
        return true;
    }

private:
    QPagedPaintDevice& device_;
    double unitsPerMm_;
    const PublishSettings& settings_;
    const std::optional<TkDbPlotSettings>& override_;
    QString when_;
    QPainter painter_;
    int pages_ = 0;
};

// Draws `sheets` in order, reading each drawing once and letting it go after its last sheet.
// Stops at `cancel`; `onSheet` hears of each sheet as it is done.
void drawSheets(const std::vector<VrPublishSheet>& sheets, SheetPainter& painter, PublishOutcome& out, const std::atomic<bool>* cancel,
                const std::function<void()>& onSheet) {
    std::map<TkString, size_t> lastUse;
    for (size_t i = 0; i < sheets.size(); ++i) lastUse[sheets[i].drawing] = i;
    DrawingShelf shelf;
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (cancel && cancel->load()) {
            out.cancelled = true;
            break;
        }
        PublishedSheet line{sheets[i], false, {}};
        painter.draw(sheets[i], shelf, line, out.error);
        if (!out.error.empty()) return;
        out.sheets.push_back(line);
        if (lastUse[sheets[i].drawing] == i) shelf.drop(sheets[i].drawing);
        if (onSheet) onSheet();
    }
    out.pages = painter.pages();
}

// Runs of sheets in set order, a part file each: small enough that every worker keeps busy to
// the end, large enough that a font is not embedded again for every page. `most` caps a run.
std::vector<std::vector<VrPublishSheet>> runsOf(const std::vector<VrPublishSheet>& sheets, int workers, size_t most) {
    const size_t n = sheets.size();
    const size_t size = std::clamp<size_t>((n + static_cast<size_t>(workers) * 4 - 1) / (static_cast<size_t>(workers) * 4), 1, most);
    std::vector<std::vector<VrPublishSheet>> runs;
    for (size_t i = 0; i < n; i += size) runs.emplace_back(sheets.begin() + static_cast<std::ptrdiff_t>(i),
                                                           sheets.begin() + static_cast<std::ptrdiff_t>(std::min(n, i + size)));
    return runs;
}

PdfPageEntry pageEntry(const VrPublishSheet& s) {
    const TkString label = s.number.empty() ? s.title : s.number;
    return {label, s.number.empty() ? s.title : s.number + L" - " + s.title, s.subsets};
}

// Sheets drawn on every core into part files of a folder beside the output, run by run.
struct DrawnParts {
    std::vector<PublishOutcome> runs;  // in order: the run's sheets, pages and error
    std::vector<QString> files;        // the part file of each run
};

DrawnParts drawParts(const std::vector<VrPublishSheet>& sheets, const QTemporaryDir& dir, const PublishSettings& settings,
                     const std::optional<TkDbPlotSettings>& override, const PublishControl& control, size_t mostPerRun) {
    const int workers = std::max(1, settings.threads > 0 ? settings.threads : QThread::idealThreadCount());
    const std::vector<std::vector<VrPublishSheet>> runs = runsOf(sheets, workers, mostPerRun);
    DrawnParts drawn;
    drawn.runs.resize(runs.size());
    for (size_t k = 0; k < runs.size(); ++k) drawn.files.push_back(dir.filePath(QString("part-%1.pdf").arg(k, 6, 10, QChar('0'))));
    std::atomic<size_t> nextRun{0};
    std::atomic<int> sheetsDone{0};
    std::atomic<bool> stop{false};
    auto work = [&] {
        for (size_t k; (k = nextRun++) < runs.size() && !stop;) {
            PublishOutcome& result = drawn.runs[k];
            QFile part(drawn.files[k]);
            if (!part.open(QIODevice::WriteOnly)) {
                result.error = L"the output cannot be written";
            } else {
                const FastPdfCompression fast;
                QPdfWriter writer(&part);
                writer.setResolution(kResolution);
                SheetPainter painter(writer, kResolution / 25.4, settings, override);
                drawSheets(runs[k], painter, result, control.cancel, [&] { ++sheetsDone; });
            }
            if (!result.error.empty() || result.cancelled) stop = true;
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < std::min<int>(workers, static_cast<int>(runs.size())); ++i) threads.emplace_back(work);
    // The caller's thread reports progress while the workers draw.
    const int total = static_cast<int>(sheets.size());
    while (sheetsDone < total && !stop) {
        if (control.progress) control.progress(sheetsDone, total);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (control.cancel && control.cancel->load()) stop = true;
    }
    for (std::thread& t : threads) t.join();
    if (control.progress) control.progress(sheetsDone, total);
    return drawn;
}

// What the runs did, gathered in order into `out`.
void gather(const DrawnParts& drawn, const PublishControl& control, PublishOutcome& out) {
    for (const PublishOutcome& r : drawn.runs) {
        out.sheets.insert(out.sheets.end(), r.sheets.begin(), r.sheets.end());
        if (out.error.empty() && !r.error.empty()) out.error = r.error;
        out.cancelled = out.cancelled || r.cancelled || (control.cancel && control.cancel->load());
        out.pages += r.pages;
    }
}

TkString creator() { return L"Vorn Sheet Set Manager " + tkFromUtf8(VORN_VERSION); }

// A sheet's file name: "number title", without the characters file names may not hold.
TkString sheetFileName(const VrPublishSheet& s) {
    TkString name = s.number.empty() ? s.title : s.title.empty() ? s.number : s.number + L" " + s.title;
    for (wchar_t& c : name)
        if (c < 0x20 || c == 0x7f || TkString(L"/\\:*?\"<>|").find(c) != TkString::npos) c = L'_';
    while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.pop_back();
    if (name.empty() || name.front() == L'.') name = L"sheet" + name;
    return name.size() > 200 ? name.substr(0, 200) : name;
}

}  // namespace

void PublishSettings::takeFrom(const VrPublishJob& job) {
    pageSetupFile = job.pageSetupFile;
    pageSetupName = job.pageSetupName;
    sheetSetFile = job.sheetSetFile;
    title = job.documentTitle.empty() ? job.sheetSetName : job.documentTitle;
    subject = job.subject;
    keywords = job.keywords;
}

bool PublishOutcome::allDone() const {
    if (!error.empty() || cancelled) return false;
    for (const PublishedSheet& s : sheets)
        if (!s.done) return false;
    return true;
}

namespace {

// The files a publish reads, none of which it may write over.
std::vector<TkString> inputsOf(const std::vector<VrPublishSheet>& sheets, const PublishSettings& settings) {
    std::vector<TkString> inputs{settings.sheetSetFile, settings.pageSetupFile};
    for (const VrPublishSheet& s : sheets) inputs.push_back(s.drawing);
    return inputs;
}

// The sheets, in publishing order, drawn into part files in a hidden folder made in `folder` (on
// the output's disk), at most `perRun` a part. False with `out` saying why when nothing is to be
// written: a page setup missing, the folder not writable, an error, a cancel.
bool drawSheetsInto(const QString& folder, const TkString& output, const std::vector<VrPublishSheet>& input, const PublishSettings& settings,
                    const PublishControl& control, size_t perRun, std::unique_ptr<QTemporaryDir>& dir, DrawnParts& drawn,
                    PublishOutcome& out) {
    PageSetupOverride override;
    if (!override.read(settings, out.error)) return false;
    std::vector<VrPublishSheet> sheets = input;
    if (settings.reverseOrder) std::reverse(sheets.begin(), sheets.end());
    dir = std::make_unique<QTemporaryDir>(folder + "/.publishing-XXXXXX");
    if (!dir->isValid()) {
        out.error = output + L": its folder cannot be written";
        return false;
    }
    drawn = drawParts(sheets, *dir, settings, override.settings, control, perRun);
    gather(drawn, control, out);
    if (out.error == L"the output cannot be written") out.error = output + L": cannot be written";
    return !out.cancelled && out.error.empty();
}

}  // namespace

PublishOutcome publishToPdf(const std::vector<VrPublishSheet>& input, const TkString& outFile, const PublishSettings& settings,
                            const PublishControl& control) {
    PublishOutcome out;
    if (isOneOfInputs(outFile, inputsOf(input, settings))) {
        out.error = outFile + L": is one of the files published (the sheet set, a drawing or its page setups); choose another name";
        return out;
    }
    // Written beside the output and put in place when complete: a failed or empty run leaves the
    // PDF that was there.
    OutputFile file(outFile);
    if (!file.device()) {
        out.error = file.error();
        return out;
    }
    std::unique_ptr<QTemporaryDir> partsDir;
    DrawnParts drawn;
    if (!drawSheetsInto(QFileInfo(q(outFile)).absolutePath(), outFile, input, settings, control, 16, partsDir, drawn, out)) return out;
    if (out.pages == 0) {
        out.error = L"no sheet could be published";
        return out;
    }
    std::vector<std::string> parts;
    std::vector<PdfPageEntry> pages;
    for (size_t k = 0; k < drawn.runs.size(); ++k) {
        if (drawn.runs[k].pages == 0) continue;
        parts.push_back(drawn.files[k].toStdString());
        for (const PublishedSheet& s : drawn.runs[k].sheets)
            if (s.done) pages.push_back(pageEntry(s.sheet));
    }
    const PdfDocumentInfo info{settings.title, settings.user, settings.subject, settings.keywords, creator()};
    TkString error;
    if (!writePdfDocument(parts, pages, info, file.device()->handle(), error)) {
        out.error = outFile + L": " + error;
        out.pages = 0;
        return out;
    }
    if (!file.putInPlace()) {
        out.error = file.error();
        out.pages = 0;
    }
    return out;
}

PublishOutcome publishToFolder(const std::vector<VrPublishSheet>& input, const TkString& folder, const PublishSettings& settings,
                               const PublishControl& control) {
    PublishOutcome out;
    if (!QFileInfo(q(folder)).isDir()) {
        out.error = folder + L": no such folder";
        return out;
    }
    std::unique_ptr<QTemporaryDir> partsDir;
    DrawnParts drawn;
    if (!drawSheetsInto(q(folder), folder, input, settings, control, 1, partsDir, drawn, out)) return out;
    const std::vector<TkString> inputs = inputsOf(input, settings);
    std::set<TkString> used;
    out.pages = 0;
    for (size_t k = 0; k < drawn.runs.size(); ++k) {
        const PublishOutcome& run = drawn.runs[k];
        if (run.pages == 0) continue;
        const VrPublishSheet& sheet = run.sheets.front().sheet;
        // Two sheets of one number and title get a file each.
        TkString name = sheetFileName(sheet), path;
        for (int n = 1; path.empty() || used.count(path); ++n)
            path = folder + L"/" + name + (n == 1 ? L"" : L" (" + std::to_wstring(n) + L")") + L".pdf";
        used.insert(path);
        TkString error;
        OutputFile file(path);
        const PdfDocumentInfo info{pageEntry(sheet).bookmark, settings.user, settings.title, settings.keywords, creator()};
        if (isOneOfInputs(path, inputs)) error = L"is one of the files published";
        else if (!file.device()) error = file.error();
        else if (!writePdfDocument({drawn.files[k].toStdString()}, {pageEntry(sheet)}, info, file.device()->handle(), error)) error = L"cannot be written: " + error;
        else if (!file.putInPlace()) error = file.error();
        if (!error.empty()) {
            out.error = path + L": " + error;
            return out;
        }
        ++out.pages;
    }
    if (out.pages == 0) out.error = L"no sheet could be published";
    return out;
}

PublishOutcome publishOnDevice(const std::vector<VrPublishSheet>& input, QPagedPaintDevice& device, double unitsPerMm,
                               const PublishSettings& settings, const PublishControl& control) {
    PublishOutcome out;
    PageSetupOverride override;
    if (!override.read(settings, out.error)) return out;
    std::vector<VrPublishSheet> sheets = input;
    if (settings.reverseOrder) std::reverse(sheets.begin(), sheets.end());
    int done = 0;
    const int total = static_cast<int>(sheets.size());
    {
        SheetPainter painter(device, unitsPerMm, settings, override.settings);
        if (control.progress) control.progress(0, total);
        drawSheets(sheets, painter, out, control.cancel, [&] {
            if (control.progress) control.progress(++done, total);
        });
    }
    if (out.pages == 0 && out.error.empty() && !out.cancelled) out.error = L"no sheet could be published";
    return out;
}

TkString publishLogText(const PublishOutcome& outcome, const TkString& outFile) {
    TkString log;
    int skipped = 0;
    for (const PublishedSheet& s : outcome.sheets) {
        const TkString label = s.sheet.number.empty() ? s.sheet.title : s.sheet.number + L" - " + s.sheet.title;
        log += (s.done ? L"done     " : L"skipped  ") + label + L" (" + s.sheet.layout + L" in " + s.sheet.drawing + L")" +
               (s.done ? TkString() : L": " + s.why) + L"\n";
        for (const std::string& note : s.notes) log += L"         note: " + tkFromUtf8(note) + L"\n";
        skipped += s.done ? 0 : 1;
    }
    if (outcome.cancelled) log += L"cancelled\n";
    if (!outcome.error.empty()) log += L"error: " + outcome.error + L"\n";
    log += std::to_wstring(outcome.pages) + L" page" + (outcome.pages == 1 ? L"" : L"s") + L" written to " + outFile + L", " +
           std::to_wstring(skipped) + L" sheet" + (skipped == 1 ? L"" : L"s") + L" skipped\n";
    return log;
}
