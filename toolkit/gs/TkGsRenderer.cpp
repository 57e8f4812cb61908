#include "toolkit/gs/TkGsRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>

#include <cmath>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbGeometry.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxDepth = 16;  // nested block references drawn at most this deep

// The standard lineweights, in hundredths of a millimetre, and their pixel factors k(i).
constexpr int kLineweights[24] = {0, 5, 9, 13, 15, 18, 20, 25, 30, 35, 40, 50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
constexpr int kLwFactor[24] = {2, 2, 2, 2, 2, 2, 2, 2, 6, 6, 8, 10, 10, 12, 14, 16, 18, 20, 20, 24, 26, 28, 30, 30};

double deg(double d) { return d * kPi / 180.0; }

QPointF pt(const TkDbRecord& e, int code) { return {e.real(code), e.real(code + 10)}; }

// The 2D part of an entity's OCS, as a transform from OCS x/y to world x/y.
QTransform ocsTransform(const TkDbRecord& e, double elevation = 0) {
    TkDbOcs ocs(e);
    if (ocs.isIdentity()) return {};
    TkDbPoint3 o = ocs.toWcs(0, 0, elevation), x = ocs.toWcs(1, 0, elevation), y = ocs.toWcs(0, 1, elevation);
    return QTransform(x.x - o.x, x.y - o.y, y.x - o.x, y.y - o.y, o.x, o.y);
}

// Appends the arc from a0 to a1 (radians, counter-clockwise) as line segments.
void addArc(QPainterPath& path, QPointF c, double r, double a0, double a1, bool moveFirst) {
    while (a1 < a0) a1 += 2 * kPi;
    int n = std::max(8, static_cast<int>((a1 - a0) / (kPi / 36)));
    for (int i = 0; i <= n; ++i) {
        double a = a0 + (a1 - a0) * i / n;
        QPointF p(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0 && moveFirst) path.moveTo(p);
        else path.lineTo(p);
    }
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
    double a0 = std::atan2(p0.y() - c.y(), p0.x() - c.x()), a1 = std::atan2(p1.y() - c.y(), p1.x() - c.x());
    if (b > 0) {
        addArc(path, c, r, a0, a1, false);
    } else {
        // Clockwise: sample counter-clockwise from the end and walk it backwards.
        QPainterPath back;
        addArc(back, c, r, a1, a0, true);
        for (int i = back.elementCount() - 1; i >= 0; --i) path.lineTo(back.elementAt(i).x, back.elementAt(i).y);
    }
}

struct Vertex {
    QPointF p;
    double bulge = 0, width = 0;
};

QPainterPath polylinePath(const std::vector<Vertex>& v, bool closed) {
    QPainterPath path;
    if (v.empty()) return path;
    path.moveTo(v[0].p);
    for (size_t i = 1; i < v.size(); ++i) addBulge(path, v[i - 1].p, v[i].p, v[i - 1].bulge);
    if (closed && v.size() > 2) addBulge(path, v.back().p, v.front().p, v.back().bulge);
    return path;
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

TkGsRenderer::TkGsRenderer(const TkDbDatabase& db, TkGsOptions options) : db_(db), options_(options), colors_(db) {
    options_.showLineweights = options.showLineweights || db.getVarInt("$LWDISPLAY", 0) != 0;
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

QPen TkGsRenderer::penFor(const TkDbRecord& e, const Ctx& ctx, QColor& color) const {
    color = plotted(tkGsOnWhite(colors_.colorOf(e, ctx.byBlock)));
    QPen pen(color);
    pen.setCosmetic(true);
    const int lw = colors_.lineweightOf(e, ctx.lwByBlock);
    if (options_.deviceUnitsPerMm > 0) {
        // On paper every line has a width: thin is the finest pen, "by default" a quarter millimetre.
        const double mm = lw > 0 ? lw / 100.0 : lw == 0 ? 0.13 : 0.25;
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

QImage TkGsRenderer::renderLayout(const std::string& layout, int width, int height) const {
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
    paint(p, layout, xf);
    return img;
}

void TkGsRenderer::paint(QPainter& p, const std::string& layout, const QTransform& xf) const {
    auto l = db_.findLayout(layout);
    if (!l) return;
    const TkDbRecord* br = db_.byHandle(l->blockRecordHandle());
    bool paper = br && !TkDbBlockRecord(br).isModelSpace();
    drawBlock(p, l->blockRecordHandle(), xf, Ctx{}, paper);
}

void TkGsRenderer::drawBlock(QPainter& p, uint64_t br, const QTransform& xf, const Ctx& ctx, bool paperSpace) const {
    if (ctx.depth > kMaxDepth) return;
    // Entities with their followers (vertices after a polyline, attributes after an insert).
    std::vector<TkDbRecord*> all = db_.blockContents(br);
    for (size_t i = 0; i < all.size(); ++i) {
        const TkDbRecord& e = *all[i];
        std::string_view t = e.type();
        if (t == "VERTEX" || t == "SEQEND" || t == "ATTRIB") continue;
        std::vector<const TkDbRecord*> followers;
        for (size_t k = i + 1; k < all.size(); ++k) {
            std::string_view f = all[k]->type();
            if (f != "VERTEX" && f != "ATTRIB" && f != "SEQEND") break;
            if (f != "SEQEND") followers.push_back(all[k]);
        }
        if (!colors_.isVisible(e)) continue;
        if (t == "VIEWPORT") {
            if (paperSpace) drawViewport(p, e, xf);
            continue;
        }
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
            if (colors_.isVisible(*a) && (a->integer(70) & 1) == 0) drawText(p, *a, xf, plotted(tkGsOnWhite(colors_.colorOf(*a, color))));
        return;
    }
    if (t == "TEXT" || t == "ATTRIB") {
        drawText(p, e, xf, color);
        return;
    }
    if (t == "MTEXT") {
        drawMText(p, e, xf, color);
        return;
    }
    if (t == "HATCH") {
        drawHatch(p, e, xf, color);
        return;
    }
    if (t == "DIMENSION") {
        if (auto b = db_.findBlockRecord(e.str(2))) drawBlock(p, b->handle(), xf, Ctx{color, ctx.lwByBlock, ctx.depth + 1}, false);
        return;
    }
    QPainterPath path;
    QTransform ocs = ocsTransform(e);
    bool fill = false;
    if (t == "LINE") {
        path.moveTo(pt(e, 10));
        path.lineTo(pt(e, 11));
        ocs = {};
    } else if (t == "POINT") {
        ocs = {};
        QPointF c = xf.map(pt(e, 10));
        p.save();
        p.resetTransform();
        p.drawPoint(c);
        p.restore();
        return;
    } else if (t == "CIRCLE" || t == "ARC") {
        double a0 = t == "ARC" ? deg(e.real(50)) : 0, a1 = t == "ARC" ? deg(e.real(51)) : 2 * kPi;
        addArc(path, pt(e, 10), std::fabs(e.real(40)), a0, a1, true);
        ocs = ocsTransform(e, e.real(30));
    } else if (t == "ELLIPSE") {
        ocs = {};
        QPointF c = pt(e, 10), m = pt(e, 11);
        double ratio = e.real(40, {}, 1), u0 = e.real(41, {}, 0), u1 = e.real(42, {}, 2 * kPi);
        while (u1 <= u0) u1 += 2 * kPi;
        QPointF minor(-m.y() * ratio, m.x() * ratio);
        int n = std::max(16, static_cast<int>((u1 - u0) / (kPi / 48)));
        for (int i = 0; i <= n; ++i) {
            double u = u0 + (u1 - u0) * i / n;
            QPointF q = c + m * std::cos(u) + minor * std::sin(u);
            if (i == 0) path.moveTo(q);
            else path.lineTo(q);
        }
    } else if (t == "LWPOLYLINE") {
        std::vector<Vertex> v;
        auto tags = e.tags();
        double x = 0;
        for (size_t i = 0; i < tags.size(); ++i) {
            double d = 0;
            tkDbToDouble(tags[i].value(), d);
            if (tags[i].code == 10) x = d;
            else if (tags[i].code == 20) v.push_back({QPointF(x, d)});
            else if (tags[i].code == 42 && !v.empty()) v.back().bulge = d;
            else if ((tags[i].code == 40 || tags[i].code == 41) && !v.empty()) v.back().width = std::max(v.back().width, d);
        }
        path = polylinePath(v, (e.integer(70) & 1) != 0);
        double width = e.real(43, {}, 0);
        for (auto& vx : v) width = std::max(width, vx.width);
        if (width > 0) {
            // A wide polyline is a band as wide as its width in drawing units.
            pen.setCosmetic(false);
            pen.setWidthF(width);
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::MiterJoin);
        }
        ocs = ocsTransform(e, e.real(38));
    } else if (t == "POLYLINE") {
        bool is3d = (e.integer(70) & (8 | 16 | 64)) != 0;
        std::vector<Vertex> v;
        for (const TkDbRecord* f : followers)
            if (f->type() == "VERTEX") v.push_back({pt(*f, 10), f->real(42), std::max(f->real(40), f->real(41))});
        path = polylinePath(v, (e.integer(70) & 1) != 0);
        if (is3d) ocs = {};
        double width = e.real(40, {}, 0);
        if (width > 0 && !is3d) {
            pen.setCosmetic(false);
            pen.setWidthF(width);
            pen.setCapStyle(Qt::FlatCap);
        }
    } else if (t == "SOLID" || t == "TRACE") {
        // Corner order is 1, 2, 4, 3.
        QPolygonF poly{pt(e, 10), pt(e, 11), e.find(13) ? pt(e, 13) : pt(e, 12), pt(e, 12)};
        path.addPolygon(poly);
        path.closeSubpath();
        fill = true;
    } else if (t == "3DFACE") {
        ocs = {};
        QPolygonF poly{pt(e, 10), pt(e, 11), pt(e, 12), e.find(13) ? pt(e, 13) : pt(e, 12)};
        path.addPolygon(poly);
        path.closeSubpath();
    } else if (t == "SPLINE" || t == "LEADER") {
        ocs = {};
        auto tags = e.tags();
        int code = (t == "SPLINE" && e.find(11)) ? 11 : 10;  // fit points when the spline has them
        bool first = true;
        double x = 0;
        for (const auto& g : tags) {
            double d = 0;
            tkDbToDouble(g.value(), d);
            if (g.code == code) x = d;
            else if (g.code == code + 10) {
                if (first) path.moveTo(x, d);
                else path.lineTo(x, d);
                first = false;
            }
        }
    } else if (t == "WIPEOUT") {
        ocs = {};
        QPointF o = pt(e, 10), u = pt(e, 11), vv = pt(e, 12);
        double w = e.real(13), h = e.real(23);
        path.addPolygon(QPolygonF{o, o + u * w, o + u * w + vv * h, o + vv * h});
        path.closeSubpath();
        p.fillPath(xf.map(path), Qt::white);
        return;
    } else {
        return;  // kinds a preview leaves out (3D solids, images, proxies ...)
    }
    QTransform full = ocs * xf;
    p.save();
    p.setTransform(full, false);
    p.setPen(pen);
    if (fill) p.setBrush(color);
    p.drawPath(path);
    p.restore();
}

void TkGsRenderer::drawInsert(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx) const {
    auto b = db_.findBlockRecord(e.str(2));
    if (!b || ctx.depth >= kMaxDepth) return;
    const TkDbRecord* begin = db_.blockBegin(b->handle());
    QPointF base = begin ? pt(*begin, 10) : QPointF();
    QColor color = tkGsOnWhite(colors_.colorOf(e, ctx.byBlock));
    Ctx inner{color, colors_.lineweightOf(e, ctx.lwByBlock), ctx.depth + 1};
    long long cols = std::max<long long>(1, e.integer(70, {}, 1)), rows = std::max<long long>(1, e.integer(71, {}, 1));
    cols = std::min<long long>(cols, 100);
    rows = std::min<long long>(rows, 100);
    double cs = e.real(44), rs = e.real(45);
    QTransform ocs = ocsTransform(e, e.real(30));
    for (long long r = 0; r < rows; ++r)
        for (long long c = 0; c < cols; ++c) {
            QTransform t;
            t.translate(e.real(10), e.real(20));
            t.rotate(e.real(50));
            t.translate(static_cast<double>(c) * cs, static_cast<double>(r) * rs);
            t.scale(e.real(41, {}, 1), e.real(42, {}, 1));
            t.translate(-base.x(), -base.y());
            drawBlock(p, b->handle(), t * ocs * xf, inner, false);
        }
}

void TkGsRenderer::drawViewport(QPainter& p, const TkDbRecord& e, const QTransform& xf) const {
    // The overall viewport (id 1) is the sheet itself; viewports switched off show nothing.
    if (e.integer(69) == 1 || e.integer(68) <= 0) return;
    QPointF c = pt(e, 10);
    double w = e.real(40), h = e.real(41), viewHeight = e.real(45);
    if (w <= 0 || h <= 0 || viewHeight <= 0) return;
    QRectF frame(c.x() - w / 2, c.y() - h / 2, w, h);
    QPointF viewCentre = pt(e, 12) + QPointF(e.real(17), e.real(27));
    double s = h / viewHeight;
    QTransform modelToPaper;
    modelToPaper.translate(c.x(), c.y());
    modelToPaper.scale(s, s);
    modelToPaper.rotate(-e.real(51));  // view twist
    modelToPaper.translate(-viewCentre.x(), -viewCentre.y());
    p.save();
    p.setClipRect(xf.mapRect(frame), Qt::IntersectClip);
    drawBlock(p, db_.modelSpace(), modelToPaper * xf, Ctx{}, false);
    p.restore();
    QPen frameColour(tkGsOnWhite(colors_.colorOf(e, QColor(0, 0, 0))));
    frameColour.setCosmetic(true);
    p.save();
    p.setTransform(xf);
    p.setPen(frameColour);
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    p.restore();
}

void TkGsRenderer::drawText(QPainter& p, const TkDbRecord& e, const QTransform& xf, const QColor& color) const {
    QString text = plainText(e.str(1));
    if (text.isEmpty()) return;
    double h = e.real(40, {}, 2.5), wf = e.real(41, {}, 1);
    if (h <= 0) return;
    double advance = 0;
    QPainterPath path = options_.textAsText ? QPainterPath() : glyphs(text, h, wf > 0 ? wf : 1, advance);
    if (options_.textAsText) advance = glyphAdvance(text, h, wf > 0 ? wf : 1);
    int hj = static_cast<int>(e.integer(72)), vj = static_cast<int>(e.integer(73, "AcDbText", e.integer(74)));
    bool aligned = hj != 0 || vj != 0;
    QPointF at = aligned && e.find(11) ? pt(e, 11) : pt(e, 10);
    double dx = hj == 1 || hj == 4 ? -advance / 2 : hj == 2 ? -advance : 0;
    double dy = vj == 1 ? h * 0.3 : vj == 2 || hj == 4 ? -h / 2 : vj == 3 ? -h : 0;
    QTransform t;
    t.translate(at.x(), at.y());
    t.rotate(e.real(50));
    t.translate(dx, dy);
    if (options_.textAsText) return fillText(p, text, h, wf > 0 ? wf : 1, t * ocsTransform(e) * xf, color);
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
    p.save();
    p.setTransform(QTransform::fromScale(s * widthFactor, -s) * at);
    p.setFont(textFont());
    p.setPen(color);
    p.drawText(QPointF(0, 0), text);
    p.restore();
}

void TkGsRenderer::drawMText(QPainter& p, const TkDbRecord& e, const QTransform& xf, const QColor& color) const {
    // Long contents come in chunks: the 3 groups first, then the 1 group.
    QString raw;
    for (const auto& g : e.tags())
        if (g.code == 3) raw += QString::fromUtf8(g.ptr, g.len);
    raw += QString::fromUtf8(e.str(1).data(), static_cast<qsizetype>(e.str(1).size()));
    QStringList lines = mtextLines(raw);
    double h = e.real(40, {}, 2.5);
    if (h <= 0 || lines.isEmpty()) return;
    int attach = static_cast<int>(e.integer(71, {}, 1));
    int col = (attach - 1) % 3, row = (attach - 1) / 3;
    double step = h * 1.667, total = step * (lines.size() - 1) + h;
    double angle = e.find(11) ? std::atan2(e.real(21), e.real(11)) * 180 / kPi : e.real(50);
    QTransform base;
    base.translate(e.real(10), e.real(20));
    base.rotate(angle);
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
        p.save();
        p.setTransform(t * xf);
        p.fillPath(path, color);
        p.restore();
    }
}

void TkGsRenderer::drawHatch(QPainter& p, const TkDbRecord& e, const QTransform& xf, const QColor& color) const {
    auto [b, end] = e.subclassRange("AcDbHatch");
    if (b == TkDbRecord::npos) return;
    auto tags = e.tags();
    auto num = [&](size_t i) {
        double d = 0;
        tkDbToDouble(tags[i].value(), d);
        return d;
    };
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    size_t i = b;
    while (i < end && tags[i].code != 91) ++i;
    long long loops = i < end ? static_cast<long long>(num(i)) : 0;
    ++i;
    for (long long l = 0; l < loops && i < end; ++l) {
        while (i < end && tags[i].code != 92) ++i;
        if (i >= end) break;
        long long type = static_cast<long long>(num(i++));
        QPainterPath loop;
        if (type & 2) {  // polyline loop: 72 has bulges, 73 closed, 93 count, then vertices
            std::vector<Vertex> v;
            bool closed = true;
            long long count = 0;
            for (; i < end && tags[i].code != 10; ++i) {
                if (tags[i].code == 73) closed = num(i) != 0;
                if (tags[i].code == 93) count = static_cast<long long>(num(i));
            }
            for (; i + 1 < end && static_cast<long long>(v.size()) < count; ) {
                if (tags[i].code != 10) break;
                Vertex vx{QPointF(num(i), num(i + 1))};
                i += 2;
                if (i < end && tags[i].code == 42) vx.bulge = num(i++);
                v.push_back(vx);
            }
            loop = polylinePath(v, closed);
        } else {  // edges: 93 count, each 72 type then its data
            while (i < end && tags[i].code != 93) ++i;
            long long edges = i < end ? static_cast<long long>(num(i++)) : 0;
            bool started = false;
            auto go = [&](QPointF q) {
                if (!started) loop.moveTo(q);
                else loop.lineTo(q);
                started = true;
            };
            for (long long k = 0; k < edges && i < end; ++k) {
                while (i < end && tags[i].code != 72) ++i;
                if (i >= end) break;
                int et = static_cast<int>(num(i++));
                auto val = [&](int code) {
                    for (size_t j = i; j < end && tags[j].code != 72 && tags[j].code != 92 && tags[j].code != 97; ++j)
                        if (tags[j].code == code) return num(j);
                    return 0.0;
                };
                if (et == 1) {
                    go(QPointF(val(10), val(20)));
                    loop.lineTo(val(11), val(21));
                } else if (et == 2 || et == 3) {
                    QPointF c(val(10), val(20));
                    double r = et == 2 ? val(40) : std::hypot(val(11), val(21));
                    double a0 = deg(val(50)), a1 = deg(val(51));
                    bool ccw = val(73) != 0;
                    if (!ccw) std::swap(a0, a1), a0 = -a0, a1 = -a1;
                    QPainterPath arc;
                    addArc(arc, c, r, a0, a1, true);
                    for (int j = 0; j < arc.elementCount(); ++j) go(QPointF(arc.elementAt(j).x, arc.elementAt(j).y));
                }
            }
            loop.closeSubpath();
        }
        path.addPath(loop);
    }
    p.save();
    p.setTransform(ocsTransform(e) * xf);
    p.setPen(Qt::NoPen);
    bool solid = e.integer(70, "AcDbHatch") == 1 || e.str(2, "AcDbHatch") == "SOLID";
    QBrush brush(color, solid ? Qt::SolidPattern : Qt::BDiagPattern);
    if (!solid) brush.setTransform(xf.inverted());  // a pattern in screen spacing, not scaled away
    p.fillPath(path, brush);
    p.restore();
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
