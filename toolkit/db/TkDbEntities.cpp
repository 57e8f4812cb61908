#include "toolkit/db/TkDbEntities.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "toolkit/db/TkDbRecord.h"

namespace {

double deg(double d) { return d * kTkDbPi / 180.0; }
TkDbPoint3 point(const TkDbRecord& e, int code) { return {e.real(code), e.real(code + 10), e.real(code + 20)}; }

double num(const TkDbTag& t) {
    double d = 0;
    tkDbToDouble(t.value(), d);
    return d;
}

}  // namespace

TkDbLineGeom tkDbLine(const TkDbRecord& e) { return {point(e, 10), point(e, 11)}; }

TkDbArcGeom tkDbArc(const TkDbRecord& e) {
    TkDbArcGeom a{point(e, 10), std::fabs(e.real(40))};
    if (e.type() == "ARC") {
        // Whole turns are taken off in degrees, where they are exact: an end angle of 1e15 degrees
        // is 280, and a sweep is never more than a turn. Equal angles are the whole circle.
        double from = std::fmod(e.real(50), 360.0), to = std::fmod(e.real(51), 360.0);
        if (from < 0) from += 360;
        if (to < 0) to += 360;
        double sweep = to - from;
        if (sweep <= 0) sweep += 360;
        if (!(sweep > 0 && sweep <= 360)) from = 0, sweep = 360;
        a.start = deg(from);
        a.end = deg(from + sweep);
    }
    return a;
}

TkDbEllipseGeom tkDbEllipse(const TkDbRecord& e) {
    TkDbEllipseGeom g{point(e, 10), point(e, 11), e.real(40, {}, 1), e.real(41, {}, 0), e.real(42, {}, 2 * kTkDbPi)};
    // Parameters as for arcs: the start within a turn, the sweep at most one, equal ones the whole.
    const double sweep = tkDbSweep(g.start, g.end);
    g.start = tkDbAngle(g.start);
    g.end = g.start + (sweep > 0 ? sweep : 2 * kTkDbPi);
    return g;
}

TkDbPolylineGeom tkDbLwPolyline(const TkDbRecord& e) {
    TkDbPolylineGeom g;
    g.closed = (e.integer(70) & 1) != 0;
    g.elevation = e.real(38);
    g.width = e.real(43, {}, 0);
    for (const TkDbTag& t : e.tags()) {
        if (t.code == 10) g.vertices.push_back({num(t), 0, g.elevation});
        else if (g.vertices.empty()) continue;
        else if (t.code == 20) g.vertices.back().y = num(t);
        else if (t.code == 42) g.vertices.back().bulge = num(t);
        else if (t.code == 40 || t.code == 41) g.vertices.back().width = std::max(g.vertices.back().width, num(t));
    }
    for (const TkDbVertex& v : g.vertices) g.width = std::max(g.width, v.width);
    return g;
}

TkDbPolylineGeom tkDbPolyline(const TkDbRecord& e, const std::vector<const TkDbRecord*>& vertices) {
    TkDbPolylineGeom g;
    const long long flags = e.integer(70);
    g.closed = (flags & 1) != 0;
    g.worldCoordinates = (flags & (8 | 16 | 64)) != 0;
    g.elevation = e.real(30);
    g.width = g.worldCoordinates ? 0 : e.real(40, {}, 0);
    for (const TkDbRecord* v : vertices) {
        if (v->type() != "VERTEX") continue;
        TkDbVertex x{v->real(10), v->real(20), g.worldCoordinates ? v->real(30) : g.elevation, v->real(42),
                     std::max(v->real(40), v->real(41))};
        g.width = std::max(g.width, g.worldCoordinates ? 0 : x.width);
        g.vertices.push_back(x);
    }
    return g;
}

TkDbCornersGeom tkDbCorners(const TkDbRecord& e) {
    TkDbCornersGeom g;
    g.worldCoordinates = e.type() == "3DFACE";
    g.filled = !g.worldCoordinates;
    const TkDbPoint3 p1 = point(e, 10), p2 = point(e, 11), p3 = point(e, 12), p4 = e.find(13) ? point(e, 13) : p3;
    // Solids and traces are drawn 1, 2, 4, 3; faces in their order.
    g.corners = g.worldCoordinates ? std::vector<TkDbPoint3>{p1, p2, p3, p4} : std::vector<TkDbPoint3>{p1, p2, p4, p3};
    return g;
}

TkDbTextGeom tkDbText(const TkDbRecord& e) {
    TkDbTextGeom g;
    g.insert = point(e, 10);
    g.height = e.real(40, {}, 2.5);
    g.widthFactor = e.real(41, {}, 1);
    if (g.widthFactor <= 0) g.widthFactor = 1;
    g.rotation = deg(e.real(50));
    g.horizontal = static_cast<int>(e.integer(72));
    // Texts keep their vertical alignment in 73, attributes in 74.
    g.vertical = static_cast<int>(e.integer(73, "AcDbText", e.integer(74)));
    g.aligned = (g.horizontal != 0 || g.vertical != 0) && e.find(11);
    if (g.aligned) g.alignment = point(e, 11);
    g.text = std::string(e.str(1));
    g.invisible = (e.type() == "ATTRIB" || e.type() == "ATTDEF") && (e.integer(70) & 1) != 0;
    return g;
}

TkDbMTextGeom tkDbMText(const TkDbRecord& e) {
    TkDbMTextGeom g;
    g.insert = point(e, 10);
    g.height = e.real(40, {}, 2.5);
    g.width = e.real(41);
    g.attachment = std::clamp(static_cast<int>(e.integer(71, {}, 1)), 1, 9);
    g.rotation = e.find(11) ? std::atan2(e.real(21), e.real(11)) : deg(e.real(50));
    // Long contents come in chunks: the 3 groups first, then the 1 group.
    for (const TkDbTag& t : e.tags())
        if (t.code == 3) g.text.append(t.ptr, t.len);
    g.text += e.str(1);
    return g;
}

TkDbInsertGeom tkDbInsert(const TkDbRecord& e) {
    TkDbInsertGeom g;
    g.block = std::string(e.str(2));
    g.insert = point(e, 10);
    g.scale = {e.real(41, {}, 1), e.real(42, {}, 1), e.real(43, {}, 1)};
    g.rotation = deg(e.real(50));
    // DXF keeps the counts in 16 bits; what a whole array may cost is the drawing pass's budget.
    g.columns = static_cast<int>(std::clamp<long long>(e.integer(70, {}, 1), 1, 32767));
    g.rows = static_cast<int>(std::clamp<long long>(e.integer(71, {}, 1), 1, 32767));
    g.columnSpacing = e.real(44);
    g.rowSpacing = e.real(45);
    return g;
}

TkDbSplineGeom tkDbSpline(const TkDbRecord& e) {
    TkDbSplineGeom g;
    g.degree = static_cast<int>(e.integer(71, {}, 3));
    auto tags = e.tags();
    for (size_t i = 0; i < tags.size(); ++i) {
        const int c = tags[i].code;
        if ((c == 10 || c == 11) && i + 1 < tags.size() && tags[i + 1].code == c + 10) {
            const double z = i + 2 < tags.size() && tags[i + 2].code == c + 20 ? num(tags[i + 2]) : 0;
            if (c == 10) g.control.push_back({num(tags[i]), num(tags[i + 1]), z, 1});
            else g.fit.push_back({num(tags[i]), num(tags[i + 1]), z});
        } else if (c == 40) {
            g.knots.push_back(num(tags[i]));
        }
    }
    size_t w = 0;
    for (const TkDbTag& t : tags)
        if (t.code == 41 && w < g.control.size() && num(t) > 0) g.control[w++][3] = num(t);
    return g;
}

std::vector<TkDbPoint3> tkDbSplinePoints(const TkDbSplineGeom& g, int samplesPerSpan) {
    std::vector<TkDbPoint3> out;
    const int degree = g.degree;
    const size_t n = g.control.size();
    if (degree < 1 || degree >= 16 || n <= static_cast<size_t>(degree) || g.knots.size() != n + static_cast<size_t>(degree) + 1)
        return out;
    auto eval = [&](double u, size_t span) {
        // de Boor on homogeneous points.
        std::array<std::array<double, 4>, 17> d;
        for (int j = 0; j <= degree; ++j) {
            const auto& p = g.control[span - static_cast<size_t>(degree) + static_cast<size_t>(j)];
            d[static_cast<size_t>(j)] = {p[0] * p[3], p[1] * p[3], p[2] * p[3], p[3]};
        }
        for (int r = 1; r <= degree; ++r)
            for (int j = degree; j >= r; --j) {
                size_t k = span - static_cast<size_t>(degree) + static_cast<size_t>(j);
                double den = g.knots[k + static_cast<size_t>(degree - r) + 1] - g.knots[k];
                double a = den > 0 ? (u - g.knots[k]) / den : 0;
                for (int q = 0; q < 4; ++q)
                    d[static_cast<size_t>(j)][static_cast<size_t>(q)] =
                        (1 - a) * d[static_cast<size_t>(j - 1)][static_cast<size_t>(q)] + a * d[static_cast<size_t>(j)][static_cast<size_t>(q)];
            }
        const auto& h = d[static_cast<size_t>(degree)];
        if (h[3] != 0 && std::isfinite(h[0] / h[3]) && std::isfinite(h[1] / h[3])) out.push_back({h[0] / h[3], h[1] / h[3], h[2] / h[3]});
    };
    for (size_t span = static_cast<size_t>(degree); span < n; ++span) {
        const double u0 = g.knots[span], u1 = g.knots[span + 1];
        if (!(u1 > u0) || !std::isfinite(u1 - u0)) continue;
        for (int k = out.empty() ? 0 : 1; k <= samplesPerSpan; ++k) eval(u0 + (u1 - u0) * k / samplesPerSpan, span);
    }
    return out;
}

TkDbViewportGeom tkDbViewport(const TkDbRecord& e) {
    TkDbViewportGeom g;
    g.center = point(e, 10);
    g.width = e.real(40);
    g.height = e.real(41);
    g.id = static_cast<int>(e.integer(69));
    g.status = static_cast<int>(e.integer(68));
    g.viewCenterX = e.real(12) + e.real(17);
    g.viewCenterY = e.real(22) + e.real(27);
    g.viewHeight = e.real(45);
    g.twist = e.real(51);
    return g;
}

TkDbImageGeom tkDbImage(const TkDbRecord& e) {
    TkDbImageGeom g{point(e, 10), point(e, 11), point(e, 12), e.real(13), e.real(23), {}, false};
    if (e.integer(280) == 0) return g;
    // Stored with pixel centres at whole numbers: a corner of the image is at -0.5.
    auto tags = e.tags();
    for (size_t i = 0; i + 1 < tags.size() && g.clip.size() < 10000; ++i)
        if (tags[i].code == 14 && tags[i + 1].code == 24) g.clip.push_back({num(tags[i]) + 0.5, num(tags[i + 1]) + 0.5});
    if (e.integer(71) == 1 && g.clip.size() >= 2) {
        const auto [x0, y0] = g.clip[0];
        const auto [x1, y1] = g.clip[1];
        g.clip = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    }
    if (g.clip.size() < 3) g.clip.clear();
    g.clipOutside = e.integer(290) == 1;
    return g;
}

TkDbMlineGeom tkDbMline(const TkDbRecord& e) {
    // Each vertex (11) comes with its segment's direction (12) and its miter (13), then for each
    // element its parameters (74 count, 41 values): the first is how far along the miter the
    // element lies from the vertex.
    TkDbMlineGeom g;
    g.closed = (e.integer(71) & 2) != 0;
    const size_t elements = static_cast<size_t>(std::clamp<long long>(e.integer(73), 0, 64));
    if (elements == 0) return g;
    g.elements.resize(elements);
    auto tags = e.tags();
    for (size_t i = 0; i + 1 < tags.size() && g.elements.front().size() < 100000; ++i) {
        if (tags[i].code != 11 || tags[i + 1].code != 21) continue;
        const TkDbPoint3 vertex{num(tags[i]), num(tags[i + 1]), 0};
        TkDbPoint3 miter{0, 0, 0};
        size_t j = i + 2;
        for (; j + 1 < tags.size() && tags[j].code != 74 && tags[j].code != 11; ++j)
            if (tags[j].code == 13 && tags[j + 1].code == 23) miter = {num(tags[j]), num(tags[j + 1]), 0};
        for (size_t k = 0; k < elements; ++k) {
            while (j < tags.size() && tags[j].code != 74 && tags[j].code != 11) ++j;
            if (j >= tags.size() || tags[j].code == 11) break;
            const bool hasOffset = num(tags[j]) > 0 && j + 1 < tags.size() && tags[j + 1].code == 41;
            const double offset = hasOffset ? num(tags[j + 1]) : 0;
            g.elements[k].push_back({vertex.x + miter.x * offset, vertex.y + miter.y * offset, 0});
            ++j;
        }
        i = j > i ? j - 1 : i;
    }
    return g;
}

std::vector<TkDbPoint3> tkDbPointList(const TkDbRecord& e, int xCode) {
    std::vector<TkDbPoint3> out;
    auto tags = e.tags();
    for (size_t i = 0; i + 1 < tags.size(); ++i) {
        if (tags[i].code != xCode || tags[i + 1].code != xCode + 10) continue;
        const double z = i + 2 < tags.size() && tags[i + 2].code == xCode + 20 ? num(tags[i + 2]) : 0;
        out.push_back({num(tags[i]), num(tags[i + 1]), z});
    }
    return out;
}

TkDbHatchGeom tkDbHatch(const TkDbRecord& e) {
    TkDbHatchGeom g;
    g.solid = e.integer(70, "AcDbHatch") == 1 || e.str(2, "AcDbHatch") == "SOLID";
    // Plain variables, not a structured binding: the edge reader's lambda captures them, which
    // clang before 16 refuses (and the fuzz targets are built with clang).
    const std::pair<size_t, size_t> range = e.subclassRange("AcDbHatch");
    size_t i = range.first;
    const size_t end = range.second;
    if (i == TkDbRecord::npos) return g;
    auto tags = e.tags();
    while (i < end && tags[i].code != 91) ++i;
    const long long loops = i < end ? static_cast<long long>(num(tags[i])) : 0;
    ++i;
    for (long long l = 0; l < loops && i < end; ++l) {
        while (i < end && tags[i].code != 92) ++i;
        if (i >= end) break;
        TkDbHatchLoop loop;
        loop.isPolyline = (static_cast<long long>(num(tags[i++])) & 2) != 0;
        if (loop.isPolyline) {  // 72 has bulges, 73 closed, 93 count, then the vertices
            long long count = 0;
            for (; i < end && tags[i].code != 10; ++i) {
                if (tags[i].code == 73) loop.closed = num(tags[i]) != 0;
                if (tags[i].code == 93) count = static_cast<long long>(num(tags[i]));
            }
            while (i + 1 < end && static_cast<long long>(loop.vertices.size()) < count && tags[i].code == 10) {
                TkDbVertex v{num(tags[i]), num(tags[i + 1])};
                i += 2;
                if (i < end && tags[i].code == 42) v.bulge = num(tags[i++]);
                loop.vertices.push_back(v);
            }
        } else {  // edges: 93 count, each a 72 type and its data
            while (i < end && tags[i].code != 93) ++i;
            const long long edges = i < end ? static_cast<long long>(num(tags[i++])) : 0;
            for (long long k = 0; k < edges && i < end; ++k) {
                while (i < end && tags[i].code != 72) ++i;
                if (i >= end) break;
                const int kind = static_cast<int>(num(tags[i++]));
                auto val = [&](int code, double def = 0) {
                    for (size_t j = i; j < end && tags[j].code != 72 && tags[j].code != 92 && tags[j].code != 97; ++j)
                        if (tags[j].code == code) return num(tags[j]);
                    return def;
                };
                TkDbHatchEdge edge;
                edge.kind = kind == 2 ? TkDbHatchEdge::Arc : kind == 3 ? TkDbHatchEdge::EllipseArc : kind == 4 ? TkDbHatchEdge::Spline : TkDbHatchEdge::Line;
                edge.x0 = val(10);
                edge.y0 = val(20);
                edge.x1 = val(11);
                edge.y1 = val(21);
                edge.radius = val(40);
                edge.ratio = val(40, 1);
                edge.start = deg(val(50));
                edge.end = deg(val(51));
                edge.counterClockwise = val(73, 1) != 0;
                loop.edges.push_back(edge);
            }
        }
        g.loops.push_back(std::move(loop));
    }
    // The pattern's lines follow the loops: 78 their count, then each its 53 angle, 43/44 base
    // point, 45/46 offset, 79 dash count and the dashes (49).
    while (i < end && tags[i].code != 78) ++i;
    const long long lines = i < end ? static_cast<long long>(num(tags[i++])) : 0;
    for (long long l = 0; l < lines && l < 64 && i < end; ++l) {
        while (i < end && tags[i].code != 53) ++i;
        if (i >= end) break;
        TkDbHatchPatternLine line;
        line.angle = deg(num(tags[i++]));
        long long dashes = 0;
        for (; i < end && tags[i].code != 53 && tags[i].code != 98 && tags[i].code != 49; ++i) {
            if (tags[i].code == 43) line.baseX = num(tags[i]);
            else if (tags[i].code == 44) line.baseY = num(tags[i]);
            else if (tags[i].code == 45) line.offsetX = num(tags[i]);
            else if (tags[i].code == 46) line.offsetY = num(tags[i]);
            else if (tags[i].code == 79) dashes = static_cast<long long>(num(tags[i]));
        }
        for (; i < end && tags[i].code == 49 && static_cast<long long>(line.dashes.size()) < std::min(dashes, 64LL); ++i)
            line.dashes.push_back(num(tags[i]));
        g.patternLines.push_back(std::move(line));
    }
    return g;
}
