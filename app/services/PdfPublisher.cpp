#include "app/services/PdfPublisher.h"

#include <QDateTime>
#include <QFile>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <map>
#include <memory>
#include <optional>

#include "app/services/OutputFile.h"
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

}  // namespace

bool PublishOutcome::allDone() const {
    if (!error.empty() || cancelled) return false;
    for (const PublishedSheet& s : sheets)
        if (!s.done) return false;
    return true;
}

PublishOutcome publishToPdf(const std::vector<VrPublishSheet>& sheets, const TkString& outFile, const PublishSettings& settings,
                            const PublishControl& control) {
    PublishOutcome out;
    std::vector<TkString> inputs{settings.sheetSetFile, settings.pageSetupFile};
    for (const VrPublishSheet& s : sheets) inputs.push_back(s.drawing);
    if (isOneOfInputs(outFile, inputs)) {
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
    {
        QPdfWriter writer(file.device());
        writer.setResolution(kResolution);
        writer.setCreator("Vorn Sheet Set Manager");
        out = publishOnDevice(sheets, writer, kResolution / 25.4, settings, control);
    }
    if (out.error == L"the output cannot be written") out.error = outFile + L": cannot be written";
    if (out.pages > 0 && !out.cancelled && !file.putInPlace()) {
        out.error = file.error();
        out.pages = 0;
    }
    return out;
}

PublishOutcome publishOnDevice(const std::vector<VrPublishSheet>& input, QPagedPaintDevice& writer, double kUnitsPerMm,
                               const PublishSettings& settings, const PublishControl& control) {
    PublishOutcome out;
    std::vector<VrPublishSheet> sheets = input;
    if (settings.reverseOrder) std::reverse(sheets.begin(), sheets.end());

    // The override comes from the set's page setup file, read once.
    std::unique_ptr<TkDbDatabase> setupsDb;
    std::optional<TkDbPlotSettings> override;
    if (!settings.pageSetupName.empty()) {
        setupsDb = std::make_unique<TkDbDatabase>();
        if (setupsDb->readDxfFile(tkToUtf8(settings.pageSetupFile)).ok()) override = findPageSetup(setupsDb.get(), settings.pageSetupName);
        if (!override) {
            out.error = L"the page setup " + settings.pageSetupName + L" is not in " + settings.pageSetupFile;
            return out;
        }
    }

    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    std::map<TkString, size_t> lastUse;
    for (size_t i = 0; i < sheets.size(); ++i) lastUse[sheets[i].drawing] = i;
    DrawingShelf shelf;
    const QString when = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm");
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (control.cancel && control.cancel->load()) {
            out.cancelled = true;
            break;
        }
        if (control.progress) control.progress(static_cast<int>(i), static_cast<int>(sheets.size()));
        const VrPublishSheet& sheet = sheets[i];
        PublishedSheet line{sheet, false, {}};
        TkString why;
        const TkDbDatabase* db = sheet.drawing.empty() ? nullptr : shelf.get(sheet.drawing, why);
        auto layout = db ? db->findLayout(tkToUtf8(sheet.layout)) : std::nullopt;
        if (sheet.drawing.empty()) line.why = L"the sheet has no drawing";
        else if (!db) line.why = why;
        else if (!layout) line.why = L"the drawing has no layout " + sheet.layout;
        if (layout) {
            TkGsOptions options;
            options.deviceUnitsPerMm = kUnitsPerMm;
            options.plotStyle = settings.plotStyle;
            options.textAsText = true;
            TkGsRenderer renderer(*db, options);
            const PagePlan plan = planPage(*layout, renderer, override);
            writer.setPageSize(QPageSize(plan.paperMm, QPageSize::Millimeter));
            if (out.pages == 0) {
                if (!painter.begin(&writer)) {
                    out.error = L"the output cannot be written";
                    return out;
                }
            } else {
                writer.newPage();
            }
            painter.setRenderHint(QPainter::Antialiasing);
            painter.save();
            painter.setClipRect(QRectF(0, 0, plan.paperMm.width() * kUnitsPerMm, plan.paperMm.height() * kUnitsPerMm));
            renderer.paint(painter, layout->name(), pageTransform(plan, kUnitsPerMm));
            painter.restore();
            if (settings.plotStamp) {
                QFont font("DejaVu Sans");
                font.setPixelSize(static_cast<int>(2.5 * kUnitsPerMm));
                painter.setFont(font);
                painter.setPen(Qt::black);
                painter.drawText(QPointF(5 * kUnitsPerMm, plan.paperMm.height() * kUnitsPerMm - 3 * kUnitsPerMm),
                                 q(sheet.drawing) + ", " + q(sheet.layout) + ", " + when + ", " + q(settings.user));
            }
            ++out.pages;
            line.done = true;
        }
        out.sheets.push_back(line);
        if (lastUse[sheet.drawing] == i) shelf.drop(sheet.drawing);
    }
    if (painter.isActive()) painter.end();
    if (control.progress) control.progress(static_cast<int>(out.sheets.size()), static_cast<int>(sheets.size()));
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
        skipped += s.done ? 0 : 1;
    }
    if (outcome.cancelled) log += L"cancelled\n";
    if (!outcome.error.empty()) log += L"error: " + outcome.error + L"\n";
    log += std::to_wstring(outcome.pages) + L" page" + (outcome.pages == 1 ? L"" : L"s") + L" written to " + outFile + L", " +
           std::to_wstring(skipped) + L" sheet" + (skipped == 1 ? L"" : L"s") + L" skipped\n";
    return log;
}
