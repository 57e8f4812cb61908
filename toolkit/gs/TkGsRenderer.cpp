#include "toolkit/gs/TkGsRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainterPath>

#include <algorithm>
#include <set>
#include <memory>
#include <filesystem>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <unordered_map>

#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbBudget.h"

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbEntities.h"
#include "toolkit/db/TkDbExtents.h"
#include "toolkit/db/TkDbExternalFiles.h"
#include "toolkit/db/TkDbGeometry.h"
#include "toolkit/db/TkDbMLeader.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The standard lineweights, in hundredths of a millimetre, and their pixel factors k(i).
constexpr int kLineweights[24] = {0, 5, 9, 13, 15, 18, 20, 25, 30, 35, 40, 50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
constexpr int kLwFactor[24] = {2, 2, 2, 2, 2, 2, 2, 2, 6, 6, 8, 10, 10, 12, 14, 16, 18, 20, 20, 24, 26, 28, 30, 30};


QPointF pt(const TkDbRecord& e, int code) { return {e.real(code), e.real(code + 10)}; }

// The 2D part of an entity's OCS, as a transform from OCS x/y to world x/y.
QTransform ocsTransform(const TkDbRecord& e, double elevation = 0) {
    TkDbOcs ocs(e);
    if (ocs.isIdentity()) return {};
    TkDbPoint3 o = ocs.toWcs(0, 0, elevation), x = ocs.toWcs(1, 0, elevation), y = ocs.toWcs(0, 1, elevation);
    return QTransform(x.x - o.x, x.y - o.y, y.x - o.x, y.y - o.y, o.x, o.y);
}

// The largest factor by which `t` stretches a length.
double stretchOf(const QTransform& t) {
    const double a = t.m11(), b = t.m12(), c = t.m21(), d = t.m22();
    const double sum = a * a + b * b + c * c + d * d, det = a * d - b * c;
    const double s = std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4 * det * det))) / 2);
    return std::isfinite(s) ? s : 0;
}

bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// The painter back in device units, where everything but text is drawn (texts leave their own
// transform set for the next text).
QPainter& inDevice(QPainter& p) {
    if (!p.transform().isIdentity()) p.resetTransform();
    return p;
}

// A transform that overflowed (a scale of 1e300 inside another) maps everything nowhere.
bool finite(const QTransform& t) {
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) && std::isfinite(t.m22()) &&
           std::isfinite(t.dx()) && std::isfinite(t.dy());
}

// A transform a font can be drawn through: finite, and neither vanishing nor enormous.
bool sensibleTextTransform(const QTransform& t) {
    const double scale = stretchOf(t);
    return finite(t) && scale > 1e-9 && scale < 1e6;
}

// Curves are cubic Beziers, as PDF and every rasterizer take them: a quarter turn at most each, so
// a whole circle is four however large it is drawn, and no count or angle from the file sets it.
// `onUnit` maps the unit circle onto the curve: c + u cos(a) + v sin(a) for its columns u and v.
// The arc starts at angle a0 (radians) and sweeps `sweep`, counter-clockwise when positive; it
// starts a new subpath when `moveFirst`, else it goes on from the path's last point.
void addUnitArc(QPainterPath& path, const QTransform& onUnit, double a0, double sweep, bool moveFirst) {
    if (!finite(onUnit) || !std::isfinite(a0) || !std::isfinite(sweep)) return;
    // Qt measures its arcs with y pointing down: our counter-clockwise is its negative angle.
    const QRectF unit(-1, -1, 2, 2);
    const double start = -a0 * 180 / kPi, turn = -sweep * 180 / kPi;
    QPainterPath arc;
    arc.arcMoveTo(unit, start);
    arc.arcTo(unit, start, turn);
    arc = onUnit.map(arc);
    if (moveFirst || path.elementCount() == 0) path.addPath(arc);
    else path.connectPath(arc);
}

// The circular arc about `c` of radius r from angle a0 (radians) sweeping `sweep`.
void addArc(QPainterPath& path, QPointF c, double r, double a0, double sweep, bool moveFirst) {
    if (!finite(c) || !std::isfinite(r)) return;
    addUnitArc(path, QTransform(r, 0, 0, r, c.x(), c.y()), a0, sweep, moveFirst);
}

// A polyline segment with bulge b (tan of a quarter of its sweep) from the path's current point.
void addBulge(QPainterPath& path, QPointF p0, QPointF p1, double b) {
    if (std::fabs(b) < 1e-9) {
        path.lineTo(p1);
        return;
    }
    double dx = p1.x() - p0.x(), dy = p1.y() - p0.y(), chord = std::hypot(dx, dy);
    if (chord < 1e-12) return;
    double d = chord * (1 - b * b) / (4 * b);
    QPointF c((p0.x() + p1.x()) / 2 - dy / chord * d, (p0.y() + p1.y()) / 2 + dx / chord * d);
    double r = std::hypot(p0.x() - c.x(), p0.y() - c.y());
    if (!finite(c) || !std::isfinite(r) || r > 1e15 * chord) {
        path.lineTo(p1);  // a bulge past what a double holds: no arc to draw, the chord stands for it
        return;
    }
    addArc(path, c, r, std::atan2(p0.y() - c.y(), p0.x() - c.x()), 4 * std::atan(b), false);
    path.lineTo(p1);  // where the arc's rounding left it a hair off the vertex
}

// `eachSegment`: every segment a path of its own, so that a dash pattern starts again at each vertex.
QPainterPath polylinePath(const std::vector<TkDbVertex>& v, bool closed, bool eachSegment = false) {
    QPainterPath path;
    if (v.empty()) return path;
    auto at = [&](size_t i) { return QPointF(v[i].x, v[i].y); };
    for (size_t i = 0; i < v.size(); ++i)
        if (!finite(at(i)) || !std::isfinite(v[i].bulge)) return path;  // made in memory: files cannot hold them
    path.moveTo(at(0));
    auto segment = [&](size_t from, size_t to) {
        if (eachSegment) path.moveTo(at(from));
        addBulge(path, at(from), at(to), v[from].bulge);
    };
    for (size_t i = 1; i < v.size(); ++i) segment(i - 1, i);
    if (closed && v.size() > 2) segment(v.size() - 1, 0);
    return path;
}

// The elliptical arc about c from parameter a0 (radians) sweeping `sweep`, as addUnitArc.
void addEllipseArc(QPainterPath& path, QPointF c, QPointF major, double ratio, double a0, double sweep, bool moveFirst) {
    if (!finite(c) || !finite(major) || !std::isfinite(ratio)) return;
    const QPointF minor(-major.y() * ratio, major.x() * ratio);
    addUnitArc(path, QTransform(major.x(), major.y(), minor.x(), minor.y(), c.x(), c.y()), a0, sweep, moveFirst);
}

// The counter-clockwise sweep from a0 to a1 of an arc or ellipse entity; equal ends are a whole turn.
double entitySweep(double a0, double a1) {
    const double sweep = tkDbSweep(a0, a1);
    return sweep > 0 ? sweep : 2 * kPi;
}

// DXF text control codes: %%d degree, %%c diameter, %%p plus-minus, %%u / %%o underline toggles.
QString plainText(std::string_view raw) {
    QString s = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    s.replace("%%d", QChar(0x00B0), Qt::CaseInsensitive);
    s.replace("%%c", QChar(0x2300), Qt::CaseInsensitive);
    s.replace("%%p", QChar(0x00B1), Qt::CaseInsensitive);
    s.replace("%%u", "", Qt::CaseInsensitive);
    s.replace("%%o", "", Qt::CaseInsensitive);
    s.replace("%%%", "%");
    return s;
}

// MTEXT content without its formatting: paragraphs become lines, stacks "a/b", codes go.
QStringList mtextLines(const QString& raw) {
    QString out;
    for (int i = 0; i < raw.size(); ++i) {
        QChar c = raw[i];
        if (c == '{' || c == '}') continue;
        if (c != '\\' || i + 1 >= raw.size()) {
            out += c;
            continue;
        }
        QChar n = raw[++i];
        if (n == 'P' || n == 'X') out += '\n';
        else if (n == '~') out += ' ';
        else if (n == '\\' || n == '{' || n == '}') out += n;
        else if (n == 'S') {  // stacked fraction up to ';'
            int end = raw.indexOf(';', i);
            QString stack = raw.mid(i + 1, end < 0 ? -1 : end - i - 1);
            stack.replace('^', '/').replace('#', '/');
            out += stack;
            i = end < 0 ? raw.size() : end;
        } else if (QString("LlOoKk").contains(n)) {
            // toggles with no argument
        } else {
            int end = raw.indexOf(';', i);  // \f...; \H...; \C...; \A...; \T...; \Q...; \W...;
            i = end < 0 ? raw.size() : end;
        }
    }
    return out.split('\n');
}

const QFont& textFont() {
    static const QFont f = [] {
        QFont font("DejaVu Sans");
        font.setPixelSize(100);
        return font;
    }();
    return f;
}

// Glyph outlines of `text` with the baseline at y 0 and capitals `height` tall, y pointing up.
QPainterPath glyphs(const QString& text, double height, double widthFactor, double& advance) {
    QPainterPath path;
    path.addText(0, 0, textFont(), text);
    QFontMetricsF fm(textFont());
    double cap = fm.capHeight() > 0 ? fm.capHeight() : 72;
    double s = height / cap;
    advance = fm.horizontalAdvance(text) * s * widthFactor;
    return QTransform::fromScale(s * widthFactor, -s).map(path);  // font y points down
}

// The advance of `text` drawn as glyphs() draws it.
double glyphAdvance(const QString& text, double height, double widthFactor) {
    QFontMetricsF fm(textFont());
    double cap = fm.capHeight() > 0 ? fm.capHeight() : 72;
    return fm.horizontalAdvance(text) * height / cap * widthFactor;
}

}  // namespace

// One drawing of a layout: its budget, and the blocks it has looked up (a reference drawn a million
// times looks its block up once).
struct TkGsRenderer::Pass {
    struct Block {
        uint64_t handle = 0;
        QPointF base;
        std::string xref;  // the drawing an external reference names, as stored; empty for a block
        bool overlay = false;
    };
    explicit Pass(const TkDbDatabase& db) : measure(db) {}
    TkDbBudget budget;
    TkDbExtentsCalc measure;  // boxes and costs of whole blocks, for copies that show little or nothing
    QRectF device;            // what the painter can show, in device units
    std::unordered_map<std::string, std::optional<Block>> blocks;
    std::unordered_map<uint64_t, std::vector<TkDbRecord*>> contents;
    std::map<std::string, int> leftOut;  // entities of kinds not drawn, by kind
    std::set<std::string> notes;         // what else was left out (xrefs not found ...)
    // Each xref's drawing and its renderer (colours, layers, linetypes), made once a pass however
    // many references show it; no drawing: unreadable.
    struct Xref {
        std::unique_ptr<TkDbDatabase> db;
        std::unique_ptr<TkGsRenderer> renderer;
    };
    std::map<std::string, Xref> xrefs;
    std::vector<std::string> chain;      // the xref files being drawn, outermost first
    std::map<std::string, QImage> images;  // read once a pass; null: unreadable or too large

    const Block* block(const TkDbDatabase& db, std::string_view name) {
        std::string key(name);
        for (char& c : key) c = tkAsciiLower(c);
        auto it = blocks.find(key);
        if (it == blocks.end()) {
            std::optional<Block> found;
            if (auto b = db.findBlockRecord(name)) {
                const TkDbRecord* begin = db.blockBegin(b->handle());
                found = Block{b->handle(), begin ? pt(*begin, 10) : QPointF(), {}, false};
                if (begin && (begin->integer(70) & 4)) {
                    found->xref = std::string(begin->str(1));
                    found->overlay = (begin->integer(70) & 8) != 0;
                }
            }
            it = blocks.emplace(std::move(key), found).first;
        }
        return it->second ? &*it->second : nullptr;
    }
    const std::vector<TkDbRecord*>& contentsOf(const TkDbDatabase& db, uint64_t br) {
        auto it = contents.find(br);
        if (it == contents.end()) it = contents.emplace(br, db.blockContents(br)).first;
        return it->second;
    }
};

TkGsRenderer::TkGsRenderer(const TkDbDatabase& db, TkGsOptions options) : db_(db), options_(options), colors_(db), linetypes_(db) {
    options_.showLineweights = options.showLineweights || db.getVarInt("$LWDISPLAY", 0) != 0;
    const long long lwDefault = db_.getVarInt("$LWDEFAULT", 25);
    defaultLineweightMm_ = lwDefault > 0 && lwDefault <= 211 ? static_cast<double>(lwDefault) / 100 : 0.25;
    for (int i = 0; i < 24; ++i) lwPixels_[i] = static_cast<uint8_t>(static_cast<int>(options_.lineweightScale * kLwFactor[i] + 0.5));
}

int TkGsRenderer::lineweightPixels(int lw) const {
    if (!options_.showLineweights) return 0;  // cosmetic one-pixel lines
    int i = 0;
    while (i < 23 && kLineweights[i] < lw) ++i;
    return lwPixels_[i];
}

QColor TkGsRenderer::plotted(const QColor& c) const {
    switch (options_.plotStyle) {
    case TkGsPlotStyle::Monochrome: return Qt::black;
    case TkGsPlotStyle::Grayscale: {
        const int g = qGray(c.rgb());
        return QColor(g, g, g);
    }
    default: return c;
    }
}

std::string_view TkGsRenderer::layerIn(const TkDbRecord& e, const Ctx& ctx) {
    const std::string_view own = e.str(8);
    return !ctx.layer0.empty() && own == "0" ? ctx.layer0 : own;
}

TkGsRenderer::Ctx TkGsRenderer::through(const TkDbRecord& e, const Ctx& ctx, const QColor& color) const {
    const std::string_view layer = layerIn(e, ctx);
    return Ctx{ctx.pass,   color,      colors_.lineweightOf(e, ctx.lwByBlock, layer), ctx.depth + 1, true,
               ctx.frozen, linetypes_.of(e, ctx.ltByBlock, layer), ctx.paperUnits, ctx.xrefLevel, layer};
}

QPen TkGsRenderer::penFor(const TkDbRecord& e, const Ctx& ctx, QColor& color) const {
    color = plotted(tkGsOnWhite(colors_.colorOf(e, ctx.byBlock, layerIn(e, ctx))));
    QPen pen(color);
    pen.setCosmetic(true);
    const int lw = colors_.lineweightOf(e, ctx.lwByBlock, layerIn(e, ctx));
    if (options_.deviceUnitsPerMm > 0) {
        // On paper every line has a width: 0 is the finest pen, "default" the drawing's own
        // default lineweight ($LWDEFAULT, a quarter millimetre unless it says otherwise).
        // No lineweight is wider than 2.11 mm: a larger value from a file is that.
        const double mm = lw > 0 ? std::min(lw, 211) / 100.0 : lw == 0 ? 0.13 : defaultLineweightMm_;
        pen.setWidthF(mm * options_.deviceUnitsPerMm);
    } else {
        pen.setWidth(lineweightPixels(lw));
    }
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

bool TkGsRenderer::layoutBox(const std::string& layout, QRectF& box) const {
    auto l = db_.findLayout(layout);
    if (!l) return false;
    TkDbPoint3 lo = l->extMin(), hi = l->extMax();
    if (!(lo.x < hi.x && lo.y < hi.y && hi.x < 1e19)) {
        if (!db_.blockExtents(l->blockRecordHandle(), lo, hi)) return false;
    }
    box = QRectF(QPointF(lo.x, lo.y), QPointF(hi.x, hi.y));
    return true;
}

QImage TkGsRenderer::renderLayout(const std::string& layout, int width, int height, std::vector<std::string>* notes) const {
    if (width <= 0 || height <= 0 || !db_.findLayout(layout)) return {};
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    QRectF box;
    if (!layoutBox(layout, box)) return img;  // an empty sheet is a white sheet
    // The view: the extents' centre, 1.1 times their size, fitted into the image.
    double fw = std::max(box.width(), 1e-9) * 1.1, fh = std::max(box.height(), 1e-9) * 1.1;
    double scale = std::min(width / fw, height / fh);
    QTransform xf;
    xf.translate(width / 2.0, height / 2.0);
    xf.scale(scale, -scale);
    xf.translate(-box.center().x(), -box.center().y());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p, layout, xf, notes);
    return img;
}

void TkGsRenderer::paint(QPainter& p, const std::string& layout, const QTransform& xf, std::vector<std::string>* notes) const {
    auto l = db_.findLayout(layout);
    if (!l) return;
    const TkDbRecord* br = db_.byHandle(l->blockRecordHandle());
    bool paper = br && !TkDbBlockRecord(br).isModelSpace();
    Pass pass(db_);
    pass.device = p.device() ? QRectF(0, 0, p.device()->width(), p.device()->height()) : QRectF();
    if (p.hasClipping()) pass.device &= p.transform().mapRect(p.clipBoundingRect());
    // Entities are mapped to the device here and drawn with the painter's transform left alone
    // (see drawEntity); whatever transform the caller's painter had is folded into `xf`.
    const QTransform toDevice = xf * p.transform();
    p.save();
    p.resetTransform();
    drawBlock(p, l->blockRecordHandle(), toDevice, Ctx{&pass}, paper);
    p.restore();
    if (!notes) return;
    *notes = pass.budget.notes();
    notes->insert(notes->end(), pass.notes.begin(), pass.notes.end());
    if (pass.leftOut.empty()) return;
    std::string kinds;
    for (const auto& [kind, count] : pass.leftOut) kinds += (kinds.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
    notes->push_back("not drawn: " + kinds);
}

void TkGsRenderer::drawBlock(QPainter& p, uint64_t br, const QTransform& xf, const Ctx& ctx, bool paperSpace) const {
    TkDbBudget& budget = ctx.pass->budget;
    if (!budget.enter(ctx.depth)) return;
    // Entities with their followers (vertices after a polyline, attributes after an insert).
    const std::vector<TkDbRecord*>& all = ctx.pass->contentsOf(db_, br);
    // The layout's own entities are drawn whatever the references before them spent.
    for (size_t i = 0; i < all.size() && !(ctx.counted && budget.spent()); ++i) {
        const TkDbRecord& e = *all[i];
        std::string_view t = e.type();
        if (t == "VERTEX" || t == "SEQEND" || t == "ATTRIB") continue;
        std::vector<const TkDbRecord*> followers;
        for (size_t k = i + 1; k < all.size(); ++k) {
            std::string_view f = all[k]->type();
            if (f != "VERTEX" && f != "ATTRIB" && f != "SEQEND") break;
            if (f != "SEQEND") followers.push_back(all[k]);
        }
        // Paid before it is known to show: the extents count it the same way.
        if (ctx.counted && !budget.spend(TkDbBudget::costOf(e, followers.size()))) return;
        const std::string_view layer = layerIn(e, ctx);
        const bool shown = colors_.isVisible(e, layer) && !(options_.plotRules && !colors_.plots(e, layer));
        // A viewport's layer hides or keeps off the paper its border alone: drafters put viewports
        // on a layer that does not plot to have the view without the frame.
        if (t == "VIEWPORT") {
            if (paperSpace) drawViewport(p, e, xf, ctx, shown);
            continue;
        }
        if (!shown || (ctx.frozen && ctx.frozen->count(upper(layer)))) continue;
        drawEntity(p, e, xf, ctx, followers);
    }
}

void TkGsRenderer::drawEntity(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx,
                              const std::vector<const TkDbRecord*>& followers) const {
    std::string_view t = e.type();
    QColor color;
    QPen pen = penFor(e, ctx, color);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (t == "INSERT") {
        drawInsert(p, e, xf, ctx);
        for (const TkDbRecord* a : followers)
            if (colors_.isVisible(*a, layerIn(*a, ctx)) && (a->integer(70) & 1) == 0)
                drawText(p, *a, xf, plotted(tkGsOnWhite(colors_.colorOf(*a, color, layerIn(*a, ctx)))));
        return;
    }
    // A block's attribute definitions show through its references as their attributes alone.
    if (t == "ATTDEF" && ctx.depth > 0) return;
    if (t == "TEXT" || t == "ATTRIB") {
        drawText(p, e, xf, color);
        return;
    }
    if (t == "MTEXT") {
        drawMText(p, tkDbMText(e), xf, color);
        return;
    }
    if (t == "MULTILEADER" || t == "MLEADER") {
        drawMLeader(p, e, xf, ctx, color);
        return;
    }
    if (t == "HATCH") {
        drawHatch(p, e, xf, color);
        return;
    }
    if (t == "DIMENSION") {
        drawReferenced(p, e.str(2), nullptr, xf,
                       through(e, ctx, color));
        return;
    }
    QPainterPath path;
    QTransform ocs = ocsTransform(e);
    bool fill = false;
    double bandWidth = 0;  // a wide polyline is a band as wide as its width in drawing units
    if (t == "LINE") {
        const TkDbLineGeom g = tkDbLine(e);
        if (!finite(QPointF(g.start.x, g.start.y)) || !finite(QPointF(g.end.x, g.end.y))) return;
        path.moveTo(g.start.x, g.start.y);
        path.lineTo(g.end.x, g.end.y);
        ocs = {};
    } else if (t == "POINT") {
        const QPointF c = xf.map(pt(e, 10));
        if (finite(c)) inDevice(p).drawPoint(c);
        return;
    } else if (t == "CIRCLE" || t == "ARC") {
        const TkDbArcGeom g = tkDbArc(e);
        ocs = ocsTransform(e, g.center.z);
        addArc(path, QPointF(g.center.x, g.center.y), g.radius, tkDbAngle(g.start), entitySweep(g.start, g.end), true);
    } else if (t == "ELLIPSE") {
        const TkDbEllipseGeom g = tkDbEllipse(e);
        ocs = {};
        addEllipseArc(path, QPointF(g.center.x, g.center.y), QPointF(g.majorAxis.x, g.majorAxis.y), g.ratio, tkDbAngle(g.start),
                      entitySweep(g.start, g.end), true);
    } else if (t == "LWPOLYLINE" || t == "POLYLINE") {
        const TkDbPolylineGeom g = t == "POLYLINE" ? tkDbPolyline(e, followers) : tkDbLwPolyline(e);
        ocs = g.worldCoordinates ? QTransform() : ocsTransform(e, g.elevation);
        // Without its "linetype generation" flag a polyline starts its pattern again at every vertex.
        path = polylinePath(g.vertices, g.closed, (e.integer(70) & 128) == 0 && linetypes_.of(e, ctx.ltByBlock, layerIn(e, ctx)));
        bandWidth = g.width;
    } else if (t == "SOLID" || t == "TRACE" || t == "3DFACE") {
        const TkDbCornersGeom g = tkDbCorners(e);
        QPolygonF poly;
        for (const TkDbPoint3& c : g.corners) poly << QPointF(c.x, c.y);
        path.addPolygon(poly);
        path.closeSubpath();
        fill = g.filled;
        if (g.worldCoordinates) ocs = {};
    } else if (t == "SPLINE") {
        // Along the curve its control points make, else through its fit points, else along its
        // control polygon.
        const TkDbSplineGeom g = tkDbSpline(e);
        ocs = {};
        const std::vector<TkDbPoint3> curve = tkDbSplinePoints(g, 16);
        if (!curve.empty()) {
            for (size_t i = 0; i < curve.size(); ++i) i ? path.lineTo(curve[i].x, curve[i].y) : path.moveTo(curve[i].x, curve[i].y);
        } else if (!g.fit.empty()) {
            for (size_t i = 0; i < g.fit.size(); ++i) i ? path.lineTo(g.fit[i].x, g.fit[i].y) : path.moveTo(g.fit[i].x, g.fit[i].y);
        } else {
            for (size_t i = 0; i < g.control.size(); ++i)
                i ? path.lineTo(g.control[i][0], g.control[i][1]) : path.moveTo(g.control[i][0], g.control[i][1]);
        }
    } else if (t == "LEADER") {
        ocs = {};
        const std::vector<TkDbPoint3> v = tkDbPointList(e, 10);
        for (size_t i = 0; i < v.size(); ++i) i ? path.lineTo(v[i].x, v[i].y) : path.moveTo(v[i].x, v[i].y);
    } else if (t == "MLINE") {
        // Each element of the multiline as a line through its vertices.
        const TkDbMlineGeom g = tkDbMline(e);
        for (const std::vector<TkDbPoint3>& element : g.elements) {
            for (size_t i = 0; i < element.size(); ++i)
                i ? path.lineTo(element[i].x, element[i].y) : path.moveTo(element[i].x, element[i].y);
            if (g.closed && element.size() > 2) path.closeSubpath();
        }
        ocs = {};
    } else if (t == "RAY" || t == "XLINE") {
        // Endless lines, drawn as far as the device reaches: twice its diagonal from the point.
        const QPointF at = pt(e, 10), along(e.real(11), e.real(21));
        const double norm = std::hypot(along.x(), along.y()), scale = stretchOf(xf);
        const QRectF& device = ctx.pass->device;
        const double reach = 2 * std::hypot(device.width(), device.height()) / scale;
        if (!finite(at) || !(norm > 0) || !std::isfinite(norm) || !(reach > 0) || !std::isfinite(reach)) return;
        const QPointF unit = along / norm;
        path.moveTo(t == "XLINE" ? at - unit * reach : at);
        path.lineTo(at + unit * reach);
        ocs = {};
    } else if (t == "IMAGE") {
        drawImage(p, e, xf, ctx);
        return;
    } else if (t == "WIPEOUT") {
        const TkDbImageGeom g = tkDbImage(e);
        const QPointF o(g.origin.x, g.origin.y), u(g.u.x, g.u.y), vv(g.v.x, g.v.y);
        path.addPolygon(QPolygonF{o, o + u * g.width, o + u * g.width + vv * g.height, o + vv * g.height});
        path.closeSubpath();
        inDevice(p).fillPath(xf.map(path), Qt::white);
        return;
    } else {
        // Kinds not drawn yet (3D solids, images, proxies ...): counted, and the notes say so.
        if (ctx.pass->leftOut.size() < 64 || ctx.pass->leftOut.count(std::string(t))) ++ctx.pass->leftOut[std::string(t)];
        return;
    }
    // Mapped here rather than by the painter: a painter whose transform changes for every entity
    // makes a PDF restate its whole graphics state each time.
    const QTransform full = ocs * xf;
    if (!finite(full)) return;
    // A band too wide to mean anything (a width from a hostile file) is drawn as a plain line; Qt's
    // pens are at most 32767 device units wide.
    if (const double band = bandWidth * stretchOf(full); band > 0 && band < 32767) {
        pen.setWidthF(band);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
    }
    const QPainterPath device = onDevice(path, full);
    if (const TkGsLinetype* linetype = fill ? nullptr : linetypes_.of(e, ctx.ltByBlock, layerIn(e, ctx))) {
        const double unitsToDevice = (ctx.paperUnits > 0 ? ctx.paperUnits : stretchOf(full)) * linetypes_.scaleOf(e);
        if (TkGsLinetypes::applyTo(pen, *linetype, unitsToDevice, device.length())) p.setPen(pen);
    }
    if (fill) p.setBrush(color);
    inDevice(p).drawPath(device);
    if (fill) p.setBrush(Qt::NoBrush);
}

void TkGsRenderer::drawInsert(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx) const {
    const TkDbInsertGeom g = tkDbInsert(e);
    const Ctx inner = through(e, ctx, plotted(tkGsOnWhite(colors_.colorOf(e, ctx.byBlock, layerIn(e, ctx)))));
    const QTransform toDevice = ocsTransform(e, g.insert.z) * xf;
    // Copies row by row until the array ends or the budget does.
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c) {
            QTransform t;
            t.translate(g.insert.x, g.insert.y);
            t.rotate(g.rotation * 180 / kPi);
            t.translate(c * g.columnSpacing, r * g.rowSpacing);
            t.scale(g.scale.x, g.scale.y);
            if (!drawReferenced(p, g.block, &t, toDevice, inner)) return;
        }
}

bool TkGsRenderer::drawReferenced(QPainter& p, std::string_view name, const QTransform* placement, const QTransform& xf,
                                  const Ctx& inner) const {
    Pass& pass = *inner.pass;
    const Pass::Block* b = pass.block(db_, name);
    if (!b || !pass.budget.enter(inner.depth)) return false;  // no copy of it would draw anything
    // Dimensions draw their block where it is; references move its base point to theirs.
    QTransform at;
    if (placement) {
        at = *placement;
        at.translate(-b->base.x(), -b->base.y());
    }
    at *= xf;
    if (!b->xref.empty()) return drawXref(p, b->xref, b->overlay, at, inner);
    // A copy that lies off the page, or shows as less than a dot, is paid for as a whole (so the
    // extents, which count the same way, still agree) and not drawn: an array of a million small
    // copies then costs a million rectangles, not a million drawings.
    const TkDbExtentsCalc::Measure& whole = pass.measure.full(b->handle, inner.depth);
    const QRectF box(QPointF(whole.box.min.x, whole.box.min.y), QPointF(whole.box.max.x, whole.box.max.y));
    // Grown by a unit: a block of one horizontal line has no height, and Qt's rectangles of no
    // height meet nothing.
    const QRectF onDevice = whole.box.empty() || !finite(at) ? QRectF() : at.mapRect(box).adjusted(-1, -1, 1, 1);
    const bool dot = onDevice.width() < 3 && onDevice.height() < 3;
    if (whole.box.empty() || !finite(at) || dot || !onDevice.intersects(pass.device)) {
        // A copy costs one however empty its block, so that an array of nothing ends too.
        if (pass.budget.take(1, 1 + whole.weight) == 0) return false;
        if (dot && !whole.box.empty() && finite(at) && pass.device.contains(onDevice.center())) {
            p.setPen(QPen(inner.byBlock, 0));
            inDevice(p).drawPoint(onDevice.center());
        }
        return true;
    }
    if (!pass.budget.spend(1)) return false;
    drawBlock(p, b->handle, at, inner, false);
    return !pass.budget.spent();
}


void TkGsRenderer::drawImage(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx) const {
    constexpr qint64 kMaxPixels = 64ll * 1024 * 1024;
    Pass& pass = *ctx.pass;
    const TkDbImageGeom g = tkDbImage(e);
    uint64_t defHandle = 0;
    const TkDbRecord* def = tkDbParseHandle(e.str(340), defHandle) ? db_.byHandle(defHandle) : nullptr;
    const std::string stored = def && def->type() == "IMAGEDEF" ? std::string(def->str(1)) : std::string();
    if (stored.empty() || !(g.width >= 1) || !(g.height >= 1)) return;
    const std::string file = tkDbFindExternalFile(stored, db_.fileName());
    if (file.empty()) {
        pass.notes.insert("image not found: " + stored);
        return;
    }
    auto [slot, fresh] = pass.images.try_emplace(file);
    if (fresh) {
        // Read only what reads as an image of a sane size: the header first, the pixels after.
        QImageReader reader(QString::fromStdString(file));
        const QSize size = reader.size();
        if (size.isValid() && static_cast<qint64>(size.width()) * size.height() <= kMaxPixels) slot->second = reader.read();
    }
    if (slot->second.isNull()) {
        pass.notes.insert("image cannot be read: " + stored);
        return;
    }
    // Pixel (x, y), y down from the top row, lies at origin + u x + v (height - y) in the drawing.
    const QPointF origin(g.origin.x, g.origin.y), u(g.u.x, g.u.y), v(g.v.x, g.v.y);
    const QPointF top = origin + v * g.height;
    const QTransform pixels(u.x(), u.y(), -v.x(), -v.y(), top.x(), top.y());
    const QTransform toDevice = pixels * xf;
    if (!finite(toDevice)) return;
    inDevice(p).save();
    p.setTransform(toDevice);
    if (!g.clip.empty()) {
        QPolygonF boundary;
        for (const auto& [x, y] : g.clip) boundary << QPointF(x, y);
        QPainterPath keep;
        keep.addPolygon(boundary);
        if (g.clipOutside) {
            QPainterPath whole;
            whole.addRect(0, 0, g.width, g.height);
            keep = whole.subtracted(keep);
        }
        p.setClipPath(keep, Qt::IntersectClip);
    }
    p.drawImage(QRectF(0, 0, g.width, g.height), slot->second);
    p.restore();
}

bool TkGsRenderer::drawXref(QPainter& p, const std::string& xref, bool overlay, const QTransform& at, const Ctx& inner) const {
    constexpr int kMaxXrefNesting = 4;
    Pass& pass = *inner.pass;
    // An overlay shows in the drawing it is attached to, not in one that attaches that drawing.
    if (overlay && inner.xrefLevel > 0) return true;
    if (inner.xrefLevel >= kMaxXrefNesting) {
        pass.notes.insert("xrefs nested deeper than " + std::to_string(kMaxXrefNesting) + " levels: not drawn");
        return true;
    }
    const std::string file = tkDbFindExternalFile(xref, db_.fileName());
    if (file.empty()) {
        pass.notes.insert("xref not found: " + xref);
        return true;
    }
    if (file == db_.fileName() || std::find(pass.chain.begin(), pass.chain.end(), file) != pass.chain.end()) {
        pass.notes.insert("xref attaches a drawing that attaches it: " + xref);
        return true;
    }
    auto [slot, fresh] = pass.xrefs.try_emplace(file);
    if (fresh) {
        auto db = std::make_unique<TkDbDatabase>();
        TkDbReadOptions options;
        options.maxFileSize = 1ull << 30;
        if (db->readDxfFile(file, options)) {
            slot->second.renderer = std::make_unique<TkGsRenderer>(*db, options_);
            slot->second.db = std::move(db);
        }
    }
    if (!slot->second.db) {
        pass.notes.insert("xref cannot be read: " + xref);
        return true;
    }
    // The referenced drawing's model space, drawn by its own colours, layers and linetypes, paid
    // from the same budget.
    const TkDbDatabase& xdb = *slot->second.db;
    const TkGsRenderer& sub = *slot->second.renderer;
    Pass inside(xdb);
    inside.device = pass.device;
    inside.budget = pass.budget;
    inside.chain = pass.chain;
    inside.chain.push_back(file);
    sub.drawBlock(p, xdb.modelSpace(), at,
                  Ctx{&inside, inner.byBlock, inner.lwByBlock, inner.depth, true, inner.frozen, inner.ltByBlock, inner.paperUnits,
                      inner.xrefLevel + 1},
                  false);
    pass.budget = inside.budget;
    pass.notes.insert(inside.notes.begin(), inside.notes.end());
    for (const auto& [kind, count] : inside.leftOut) pass.leftOut[kind] += count;
    return !pass.budget.spent();
}

void TkGsRenderer::drawViewport(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx, bool withFrame) const {
    // The overall viewport (id 1) is the sheet itself; viewports switched off show nothing.
    const TkDbViewportGeom g = tkDbViewport(e);
    if (g.id == 1 || g.status <= 0) return;
    const double w = g.width, h = g.height;
    if (w <= 0 || h <= 0 || g.viewHeight <= 0) return;
    const QPointF c(g.center.x, g.center.y);
    QRectF frame(c.x() - w / 2, c.y() - h / 2, w, h);
    QPointF viewCentre(g.viewCenterX, g.viewCenterY);
    double s = h / g.viewHeight;
    QTransform modelToPaper;
    modelToPaper.translate(c.x(), c.y());
    modelToPaper.scale(s, s);
    modelToPaper.rotate(-g.twist);
    modelToPaper.translate(-viewCentre.x(), -viewCentre.y());
    inDevice(p).save();
    p.setClipRect(xf.mapRect(frame), Qt::IntersectClip);
    // Every viewport draws the model again: what it draws is paid from the layout's budget. The
    // layers it freezes (its own list of layer references) stay out of it alone.
    std::unordered_set<std::string> frozen;
    for (const TkDbTag& t : e.tags())
        if (uint64_t layerHandle = 0; t.code == 331 && tkDbParseHandle(t.value(), layerHandle))
            if (const TkDbRecord* layer = db_.byHandle(layerHandle); layer && layer->type() == "LAYER") frozen.insert(upper(layer->str(2)));
    const double paperUnits = linetypes_.paperScaled() ? stretchOf(xf) : 0;
    drawBlock(p, db_.modelSpace(), modelToPaper * xf,
              Ctx{ctx.pass, QColor(0, 0, 0), 0, 0, true, frozen.empty() ? nullptr : &frozen, nullptr, paperUnits}, false);
    p.restore();
    if (!withFrame) return;
    QPen frameColour(tkGsOnWhite(colors_.colorOf(e, QColor(0, 0, 0))));
    frameColour.setCosmetic(true);
    p.setPen(frameColour);
    p.setBrush(Qt::NoBrush);
    inDevice(p).drawPolygon(xf.map(QPolygonF(frame)));
}

void TkGsRenderer::drawText(QPainter& p, const TkDbRecord& e, const QTransform& xf, const QColor& color) const {
    const TkDbTextGeom g = tkDbText(e);
    QString text = plainText(g.text);
    if (text.isEmpty() || g.height <= 0) return;
    double advance = 0;
    QPainterPath path = options_.textAsText ? QPainterPath() : glyphs(text, g.height, g.widthFactor, advance);
    if (options_.textAsText) advance = glyphAdvance(text, g.height, g.widthFactor);
    const int hj = g.horizontal, vj = g.vertical;
    const QPointF at = g.aligned ? QPointF(g.alignment.x, g.alignment.y) : QPointF(g.insert.x, g.insert.y);
    const double h = g.height;
    double dx = hj == 1 || hj == 4 ? -advance / 2 : hj == 2 ? -advance : 0;
    double dy = vj == 1 ? h * 0.3 : vj == 2 || hj == 4 ? -h / 2 : vj == 3 ? -h : 0;
    QTransform t;
    t.translate(at.x(), at.y());
    t.rotate(g.rotation * 180 / kPi);
    t.translate(dx, dy);
    if (options_.textAsText) return fillText(p, text, h, g.widthFactor, t * ocsTransform(e) * xf, color);
    if (!sensibleTextTransform(t * ocsTransform(e) * xf)) return;
    p.save();
    p.setTransform(t * ocsTransform(e) * xf);
    p.fillPath(path, color);
    p.restore();
}

// Text as the device's own text (a PDF keeps it searchable): the font scaled so that its capitals
// are `height` tall, y pointing up as in the drawing.
void TkGsRenderer::fillText(QPainter& p, const QString& text, double height, double widthFactor, const QTransform& at,
                            const QColor& color) const {
    QFontMetricsF fm(textFont());
    const double cap = fm.capHeight() > 0 ? fm.capHeight() : 72;
    const double s = height / cap;
    // A text whose transform overflowed, or that would be glyphs of kilometres on the device (a
    // hostile height or scale), is left out: Qt's font engines have no use for it.
    const QTransform toDevice = QTransform::fromScale(s * widthFactor, -s) * at;
    if (!sensibleTextTransform(toDevice)) return;
    // The transform stays set for the next text: a PDF writer restates its whole graphics state at
    // every change, and texts come in runs. What draws in device units puts it back (inDevice).
    p.setTransform(toDevice);
    if (p.font() != textFont()) p.setFont(textFont());
    p.setPen(color);
    p.drawText(QPointF(0, 0), text);
}

void TkGsRenderer::drawMText(QPainter& p, const TkDbMTextGeom& g, const QTransform& xf, const QColor& color) const {
    QStringList lines = mtextLines(QString::fromStdString(g.text));
    const double h = g.height;
    if (h <= 0 || lines.isEmpty()) return;
    int col = (g.attachment - 1) % 3, row = (g.attachment - 1) / 3;
    double step = h * 1.667, total = step * (lines.size() - 1) + h;
    QTransform base;
    base.translate(g.insert.x, g.insert.y);
    base.rotate(g.rotation * 180 / kPi);
    double top = row == 0 ? 0 : row == 1 ? total / 2 : total;
    for (int i = 0; i < lines.size(); ++i) {
        double advance = 0;
        const QString line = plainText(lines[i].toStdString());
        QPainterPath path = options_.textAsText ? QPainterPath() : glyphs(line, h, 1, advance);
        if (options_.textAsText) advance = glyphAdvance(line, h, 1);
        QTransform t = base;
        t.translate(col == 0 ? 0 : col == 1 ? -advance / 2 : -advance, top - h - i * step);
        if (options_.textAsText) {
            fillText(p, line, h, 1, t * xf, color);
            continue;
        }
        if (!sensibleTextTransform(t * xf)) continue;
        p.save();
        p.setTransform(t * xf);
        p.fillPath(path, color);
        p.restore();
    }
}

void TkGsRenderer::drawMLeader(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx, const QColor& color) const {
    const TkDbMLeaderGeom g = tkDbMLeader(e);
    auto at = [](const TkDbPoint3& v) { return QPointF(v.x, v.y); };
    if (g.linesVisible) {
        QPainterPath lines, arrows;
        for (const TkDbMLeaderGeom::Leader& l : g.leaders) {
            for (const std::vector<TkDbPoint3>& line : l.lines) {
                std::vector<QPointF> v;
                for (const TkDbPoint3& q : line) v.push_back(at(q));
                if (l.hasLast) v.push_back(at(l.last));
                for (size_t i = 0; i < v.size(); ++i) i ? lines.lineTo(v[i]) : lines.moveTo(v[i]);
                // The arrowhead sits on the first vertex and points away from the next one.
                if (v.size() < 2 || !(g.arrowSize > 0)) continue;
                const QPointF along = v[0] - v[1];
                const double len = std::hypot(along.x(), along.y());
                if (!(len > 0) || !std::isfinite(len)) continue;
                const QPointF d = along / len * g.arrowSize, n(-d.y() / 6, d.x() / 6);
                if (const TkDbRecord* block = g.arrowBlock ? db_.byHandle(g.arrowBlock) : nullptr; block && block->type() == "BLOCK_RECORD") {
                    QTransform place;
                    place.translate(v[0].x(), v[0].y());
                    place.rotate(std::atan2(d.y(), d.x()) * 180 / kPi);
                    place.scale(g.arrowSize, g.arrowSize);
                    drawReferenced(p, block->str(2), &place, xf,
                                   through(e, ctx, color));
                    continue;
                }
                arrows.addPolygon(QPolygonF{v[0], v[0] - d + n, v[0] - d - n, v[0]});
            }
            if (l.hasLast && l.hasDogleg && g.doglegs) {
                lines.moveTo(at(l.last));
                lines.lineTo(at(l.last) + at(l.dogleg) * l.doglegLength);
            }
        }
        if (finite(xf)) {
            inDevice(p).drawPath(onDevice(lines, xf));
            p.fillPath(onDevice(arrows, xf), color);
        }
    }
    if (g.hasText) drawMText(p, g.text, xf, color);
    const TkDbRecord* block = g.hasBlock && g.block ? db_.byHandle(g.block) : nullptr;
    if (block && block->type() == "BLOCK_RECORD") {
        QTransform place;
        place.translate(g.blockAt.x, g.blockAt.y);
        place.rotate(g.blockRotation * 180 / kPi);
        place.scale(g.blockScale.x, g.blockScale.y);
        drawReferenced(p, block->str(2), &place, xf,
                       through(e, ctx, color));
    }
}

QPainterPath TkGsRenderer::onDevice(const QPainterPath& path, const QTransform& toDevice) const {
    QPainterPath mapped = toDevice.map(path);
    if (!options_.wholeDeviceUnits) return mapped;
    for (int i = 0; i < mapped.elementCount(); ++i) {
        const QPainterPath::Element& el = mapped.elementAt(i);
        mapped.setElementPositionAt(i, std::round(el.x), std::round(el.y));
    }
    return mapped;
}

void TkGsRenderer::drawHatch(QPainter& p, const TkDbRecord& e, const QTransform& xf, const QColor& color) const {
    const TkDbHatchGeom g = tkDbHatch(e);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const TkDbHatchLoop& l : g.loops) {
        if (l.isPolyline) {
            path.addPath(polylinePath(l.vertices, l.closed));
            continue;
        }
        QPainterPath loop;
        for (const TkDbHatchEdge& edge : l.edges) {
            const QPointF c(edge.x0, edge.y0);
            const bool first = loop.elementCount() == 0;
            if (edge.kind == TkDbHatchEdge::Line) {
                if (first) loop.moveTo(c);
                else loop.lineTo(c);
                loop.lineTo(edge.x1, edge.y1);
                continue;
            }
            // A clockwise edge stores its angles mirrored: it starts at minus its start angle.
            const double sweep = entitySweep(edge.start, edge.end);
            const double a0 = edge.counterClockwise ? edge.start : -edge.start;
            const double signedSweep = edge.counterClockwise ? sweep : -sweep;
            if (edge.kind == TkDbHatchEdge::Arc) addArc(loop, c, edge.radius, a0, signedSweep, first);
            else if (edge.kind == TkDbHatchEdge::EllipseArc)
                addEllipseArc(loop, c, QPointF(edge.x1, edge.y1), edge.ratio, a0, signedSweep, first);
        }
        loop.closeSubpath();
        path.addPath(loop);
    }
    const QTransform full = ocsTransform(e) * xf;
    if (!finite(full)) return;
    const QPainterPath boundary = onDevice(path, full);
    if (g.solid || g.patternLines.empty()) {
        // A hatch that stores no pattern lines gets a light diagonal in device spacing.
        inDevice(p).fillPath(boundary, QBrush(color, g.solid ? Qt::SolidPattern : Qt::BDiagPattern));
        return;
    }
    QPainterPath lines[64];
    if (!hatchLines(g, path.boundingRect(), full, lines)) {
        // Lines closer than the device can part, or more than a drawing pass should make: the
        // area shows as the tone they would give.
        const QColor tone = QColor::fromRgbF(color.redF() * 0.4f + 0.6f, color.greenF() * 0.4f + 0.6f, color.blueF() * 0.4f + 0.6f);
        inDevice(p).fillPath(boundary, tone);
        return;
    }
    // Each family of lines with its dashes, clipped to the boundary and its islands.
    inDevice(p).save();
    p.setClipPath(boundary, Qt::IntersectClip);
    QPen pen = p.pen();
    for (size_t k = 0; k < g.patternLines.size() && k < 64; ++k) {
        if (lines[k].isEmpty()) continue;
        QPen dashed = pen;
        const TkGsLinetype pattern = tkGsDashPattern(g.patternLines[k].dashes);
        if (!pattern.dashes.empty()) TkGsLinetypes::applyTo(dashed, pattern, stretchOf(full), lines[k].length());
        p.setPen(dashed);
        p.drawPath(lines[k]);
    }
    p.restore();
}

bool TkGsRenderer::hatchLines(const TkDbHatchGeom& g, const QRectF& area, const QTransform& full, QPainterPath* out) const {
    constexpr double kMaxLines = 20000;  // in all the families of one hatch
    const double scale = stretchOf(full);
    const QPointF corners[4] = {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()};
    double total = 0;
    QPainterPath* family = out;
    for (size_t f = 0; f < g.patternLines.size() && f < 64; ++f, ++family) {
        const TkDbHatchPatternLine& l = g.patternLines[f];
        const QPointF dir(std::cos(l.angle), std::sin(l.angle)), normal(-dir.y(), dir.x()), base(l.baseX, l.baseY);
        const QPointF offset(l.offsetX, l.offsetY);
        const double spacing = QPointF::dotProduct(offset, normal), shift = QPointF::dotProduct(offset, dir);
        if (!std::isfinite(spacing) || !std::isfinite(shift) || !finite(base)) return false;
        if (std::fabs(spacing) * scale < 1) return false;
        // The lines that cross the area, and how far along each the area reaches.
        double lowN = 1e300, highN = -1e300, lowT = 1e300, highT = -1e300;
        for (const QPointF& c : corners) {
            lowN = std::min(lowN, QPointF::dotProduct(c - base, normal));
            highN = std::max(highN, QPointF::dotProduct(c - base, normal));
            lowT = std::min(lowT, QPointF::dotProduct(c - base, dir));
            highT = std::max(highT, QPointF::dotProduct(c - base, dir));
        }
        double first = std::ceil(std::min(lowN / spacing, highN / spacing)), last = std::floor(std::max(lowN / spacing, highN / spacing));
        total += std::max(0.0, last - first + 1);
        if (!(total <= kMaxLines)) return false;
        const TkGsLinetype pattern = tkGsDashPattern(l.dashes);
        for (double k = first; k <= last; ++k) {
            // Every line starts its dashes where the pattern's phase puts them.
            const QPointF origin = base + offset * k;
            double from = lowT - k * shift;
            if (pattern.period > 0) from = pattern.period * std::floor((from - pattern.lead) / pattern.period) + pattern.lead;
            const double to = highT - k * shift;
            family->moveTo(full.map(origin + dir * from));
            family->lineTo(full.map(origin + dir * to));
        }
    }
    return true;
}

QImage tkGsIconImage(const std::vector<unsigned char>& dib) {
    auto u32 = [&](size_t o) {
        return o + 4 <= dib.size() ? static_cast<uint32_t>(dib[o] | dib[o + 1] << 8 | dib[o + 2] << 16 | dib[o + 3] << 24) : 0u;
    };
    auto u16 = [&](size_t o) { return o + 2 <= dib.size() ? static_cast<uint16_t>(dib[o] | dib[o + 1] << 8) : uint16_t(0); };
    if (dib.size() < 40) return {};
    uint32_t headerSize = u32(0);
    int32_t width = static_cast<int32_t>(u32(4)), height = static_cast<int32_t>(u32(8));
    uint16_t bpp = u16(14);
    uint32_t compression = u32(16), stored = u32(20);
    if (headerSize < 40 || width <= 0 || width > 4096 || height == 0 || std::abs(height) > 4096 || compression != 0) return {};
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return {};
    uint32_t stride = (static_cast<uint32_t>(width) * bpp + 31) / 32 * 4;
    uint32_t rows = static_cast<uint32_t>(std::abs(height));
    uint32_t computed = stride * rows;
    // An icon that claims less than its header implies is damaged; a larger claim is cut.
    if (stored != 0 && stored < computed) return {};
    uint32_t colours = bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0;  // 24 bits: none, whatever it says
    size_t bits = headerSize + colours * 4;
    if (bits + computed > dib.size()) return {};
    QImage img(width, static_cast<int>(rows), QImage::Format_RGB32);
    for (uint32_t y = 0; y < rows; ++y) {
        const unsigned char* row = dib.data() + bits + (height > 0 ? rows - 1 - y : y) * stride;  // bottom-up unless negative
        for (int x = 0; x < width; ++x) {
            QRgb rgb;
            if (bpp >= 24) {
                const unsigned char* px = row + x * (bpp / 8);
                rgb = qRgb(px[2], px[1], px[0]);
            } else {
                int index = bpp == 8 ? row[x] : bpp == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15 : (row[x / 8] >> (7 - x % 8)) & 1;
                const unsigned char* c = dib.data() + headerSize + static_cast<size_t>(index) * 4;
                rgb = qRgb(c[2], c[1], c[0]);
            }
            img.setPixel(x, static_cast<int>(y), rgb);
        }
    }
    return img;
}
