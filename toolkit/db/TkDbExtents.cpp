#include "toolkit/db/TkDbExtents.h"
#include "toolkit/common/TkUtf8.h"

#include <array>
#include <cmath>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbGeometry.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Adds the arc from a0 to a1 (radians, counter-clockwise) of a circle in the OCS.
void addArc(TkDbBox& box, const TkDbOcs& ocs, double cx, double cy, double z, double r, double a0, double a1) {
    while (a1 < a0) a1 += 2 * kPi;
    box.add(ocs.toWcs(cx + r * std::cos(a0), cy + r * std::sin(a0), z));
    box.add(ocs.toWcs(cx + r * std::cos(a1), cy + r * std::sin(a1), z));
    for (int q = static_cast<int>(std::ceil(a0 / (kPi / 2))); q * (kPi / 2) <= a1 && q < 10000; ++q) {
        double a = q * (kPi / 2);
        box.add(ocs.toWcs(cx + r * std::cos(a), cy + r * std::sin(a), z));
    }
}

// A polyline segment with a bulge is an arc; the bulge is tan(sweep / 4).
void addBulge(TkDbBox& box, const TkDbOcs& ocs, double x0, double y0, double x1, double y1, double bulge, double z) {
    if (std::fabs(bulge) < 1e-12) return;
    double dx = x1 - x0, dy = y1 - y0, chord = std::hypot(dx, dy);
    if (chord < 1e-12) return;
    // The centre sits on the chord's perpendicular bisector, chord * (1 - b^2) / (4b) to its left.
    double d = chord * (1 - bulge * bulge) / (4 * bulge);
    double cx = (x0 + x1) / 2 - dy / chord * d, cy = (y0 + y1) / 2 + dx / chord * d;
    double r = std::hypot(x0 - cx, y0 - cy);
    double a0 = std::atan2(y0 - cy, x0 - cx), a1 = std::atan2(y1 - cy, x1 - cx);
    if (bulge > 0) addArc(box, ocs, cx, cy, z, std::fabs(r), a0, a1);
    else addArc(box, ocs, cx, cy, z, std::fabs(r), a1, a0);
}

double deg(double d) { return d * kPi / 180.0; }

}  // namespace

TkDbBox TkDbExtentsCalc::ofBlock(uint64_t br) {
    if (auto it = done_.find(br); it != done_.end()) return it->second;
    if (busy_[br]) return {};
    busy_[br] = true;
    TkDbBox box;
    // Vertices follow their polyline; attributes their insert.
    const TkDbRecord* poly = nullptr;
    for (const TkDbRecord* e : db_.blockContents(br)) {
        std::string_view t = e->type();
        if (t == "VERTEX") {
            if (poly) addVertex(*poly, *e, box);
            continue;
        }
        if (t == "SEQEND") {
            poly = nullptr;
            continue;
        }
        if (t == "ATTRIB") {
            addEntity(*e, box);
            continue;
        }
        poly = t == "POLYLINE" ? e : nullptr;
        if (!poly) addEntity(*e, box);
    }
    busy_[br] = false;
    done_[br] = box;
    return box;
}

const TkDbExtentsCalc::BlockInfo* TkDbExtentsCalc::block(std::string_view name) {
    auto lower = [](std::string_view n) {
        std::string s(n);
        for (char& c : s) c = tkAsciiLower(c);
        return s;
    };
    if (!blocksRead_) {
        blocksRead_ = true;
        for (auto& b : db_.blockRecords()) {
            BlockInfo info{b.handle(), {}};
            if (const TkDbRecord* begin = db_.blockBegin(b.handle()))
                info.base = {begin->real(10), begin->real(20), begin->real(30)};
            blocks_.emplace(lower(b.name()), info);
        }
    }
    auto it = blocks_.find(lower(name));
    return it == blocks_.end() ? nullptr : &it->second;
}

void TkDbExtentsCalc::addInsert(const TkDbRecord& e, TkDbBox& box) {
    const BlockInfo* b = block(e.str(2));
    if (!b) return;
    TkDbBox inner = ofBlock(b->handle);
    if (inner.empty()) return;
    double bx = b->base.x, by = b->base.y, bz = b->base.z;
    TkDbOcs ocs(e);
    double ix = e.real(10), iy = e.real(20), iz = e.real(30);
    double sx = e.real(41, {}, 1), sy = e.real(42, {}, 1), sz = e.real(43, {}, 1);
    double rot = deg(e.real(50));
    long long cols = std::max<long long>(1, e.integer(70, {}, 1)), rows = std::max<long long>(1, e.integer(71, {}, 1));
    double cs = e.real(44), rs = e.real(45);
    double c = std::cos(rot), s = std::sin(rot);
    for (double x : {inner.min.x, inner.max.x})
        for (double y : {inner.min.y, inner.max.y})
            for (double z : {inner.min.z, inner.max.z})
                for (long long ci : {0LL, cols - 1})
                    for (long long ri : {0LL, rows - 1}) {
                        double px = (x - bx) * sx + static_cast<double>(ci) * cs;
                        double py = (y - by) * sy + static_cast<double>(ri) * rs;
                        double pz = (z - bz) * sz;
                        box.add(ocs.toWcs(ix + px * c - py * s, iy + px * s + py * c, iz + pz));
                    }
}

void TkDbExtentsCalc::addVertex(const TkDbRecord& poly, const TkDbRecord& v, TkDbBox& box) {
    // 3D polylines and meshes are in world coordinates, 2D ones in their polyline's OCS.
    if (poly.integer(70) & (8 | 16 | 64)) {
        box.add(v.real(10), v.real(20), v.real(30));
        return;
    }
    box.add(TkDbOcs(poly).toWcs(v.real(10), v.real(20), poly.real(30)));
}

void TkDbExtentsCalc::addSpline(const TkDbRecord& e, TkDbBox& box) {
    // The curve itself, sampled along every knot span: the control polygon can lie far outside it.
    auto tags = e.tags();
    std::vector<std::array<double, 4>> ctrl, fit;  // x, y, z, weight
    std::vector<double> knots;
    double v = 0;
    for (size_t i = 0; i < tags.size(); ++i) {
        int c = tags[i].code;
        if ((c == 10 || c == 11) && i + 1 < tags.size() && tags[i + 1].code == c + 10) {
            std::array<double, 4> p{0, 0, 0, 1};
            tkDbToDouble(tags[i].value(), p[0]);
            tkDbToDouble(tags[i + 1].value(), p[1]);
            if (i + 2 < tags.size() && tags[i + 2].code == c + 20) tkDbToDouble(tags[i + 2].value(), p[2]);
            (c == 10 ? ctrl : fit).push_back(p);
        } else if (c == 40 && tkDbToDouble(tags[i].value(), v)) {
            knots.push_back(v);
        }
    }
    size_t weightIndex = 0;
    for (size_t i = 0; i < tags.size(); ++i)
        if (tags[i].code == 41 && weightIndex < ctrl.size() && tkDbToDouble(tags[i].value(), v) && v > 0)
            ctrl[weightIndex++][3] = v;
    const int degree = static_cast<int>(e.integer(71, {}, 3));
    const size_t n = ctrl.size();
    bool usable = degree >= 1 && degree < 16 && n > static_cast<size_t>(degree) && knots.size() == n + static_cast<size_t>(degree) + 1;
    if (!usable) {
        // Without a consistent control frame, the points themselves.
        for (auto& p : ctrl) box.add(p[0], p[1], p[2]);
        for (auto& p : fit) box.add(p[0], p[1], p[2]);
        return;
    }
    auto eval = [&](double u, size_t span) {
        // de Boor on homogeneous points.
        std::array<std::array<double, 4>, 17> d;
        for (int j = 0; j <= degree; ++j) {
            const auto& p = ctrl[span - static_cast<size_t>(degree) + static_cast<size_t>(j)];
            d[static_cast<size_t>(j)] = {p[0] * p[3], p[1] * p[3], p[2] * p[3], p[3]};
        }
        for (int r = 1; r <= degree; ++r)
            for (int j = degree; j >= r; --j) {
                size_t k = span - static_cast<size_t>(degree) + static_cast<size_t>(j);
                double den = knots[k + static_cast<size_t>(degree - r) + 1] - knots[k];
                double a = den > 0 ? (u - knots[k]) / den : 0;
                for (int q = 0; q < 4; ++q)
                    d[static_cast<size_t>(j)][static_cast<size_t>(q)] =
                        (1 - a) * d[static_cast<size_t>(j - 1)][static_cast<size_t>(q)] + a * d[static_cast<size_t>(j)][static_cast<size_t>(q)];
            }
        const auto& h = d[static_cast<size_t>(degree)];
        if (h[3] != 0) box.add(h[0] / h[3], h[1] / h[3], h[2] / h[3]);
    };
    for (size_t span = static_cast<size_t>(degree); span < n; ++span) {
        double u0 = knots[span], u1 = knots[span + 1];
        if (!(u1 > u0)) continue;
        const int samples = 24;
        for (int k = 0; k <= samples; ++k) eval(u0 + (u1 - u0) * k / samples, span);
    }
    for (auto& p : fit) box.add(p[0], p[1], p[2]);
}

void TkDbExtentsCalc::addEntity(const TkDbRecord& e, TkDbBox& box) {
    std::string_view t = e.type();
    if (t == "LINE") {
        box.add(e.real(10), e.real(20), e.real(30));
        box.add(e.real(11), e.real(21), e.real(31));
    } else if (t == "POINT") {
        box.add(e.real(10), e.real(20), e.real(30));
    } else if (t == "CIRCLE" || t == "ARC") {
        TkDbOcs ocs(e);
        double r = std::fabs(e.real(40));
        double a0 = t == "ARC" ? deg(e.real(50)) : 0, a1 = t == "ARC" ? deg(e.real(51)) : 2 * kPi;
        addArc(box, ocs, e.real(10), e.real(20), e.real(30), r, a0, a1);
    } else if (t == "ELLIPSE") {
        double cx = e.real(10), cy = e.real(20), cz = e.real(30);
        double mx = e.real(11), my = e.real(21), ratio = e.real(40, {}, 1);
        double hx = std::sqrt(mx * mx + ratio * ratio * my * my), hy = std::sqrt(my * my + ratio * ratio * mx * mx);
        box.add(cx - hx, cy - hy, cz);
        box.add(cx + hx, cy + hy, cz);
    } else if (t == "LWPOLYLINE") {
        TkDbOcs ocs(e);
        double z = e.real(38);
        auto tags = e.tags();
        bool closed = (e.integer(70) & 1) != 0;
        std::vector<std::array<double, 3>> v;  // x, y, bulge
        double dummy;
        for (size_t i = 0; i < tags.size(); ++i) {
            if (tags[i].code == 10) v.push_back({tkDbToDouble(tags[i].value(), dummy) ? dummy : 0, 0, 0});
            else if (tags[i].code == 20 && !v.empty()) v.back()[1] = tkDbToDouble(tags[i].value(), dummy) ? dummy : 0;
            else if (tags[i].code == 42 && !v.empty()) v.back()[2] = tkDbToDouble(tags[i].value(), dummy) ? dummy : 0;
        }
        for (size_t i = 0; i < v.size(); ++i) {
            box.add(ocs.toWcs(v[i][0], v[i][1], z));
            size_t j = i + 1 == v.size() ? (closed ? 0 : v.size()) : i + 1;
            if (j < v.size()) addBulge(box, ocs, v[i][0], v[i][1], v[j][0], v[j][1], v[i][2], z);
        }
    } else if (t == "SOLID" || t == "TRACE" || t == "3DFACE") {
        bool wcs = t == "3DFACE";
        TkDbOcs ocs(e);
        for (int k = 0; k < 4; ++k) {
            if (!e.find(10 + k)) continue;
            if (wcs) box.add(e.real(10 + k), e.real(20 + k), e.real(30 + k));
            else box.add(ocs.toWcs(e.real(10 + k), e.real(20 + k), e.real(30 + k)));
        }
    } else if (t == "TEXT" || t == "ATTDEF" || t == "ATTRIB") {
        TkDbOcs ocs(e);
        double h = e.real(40, {}, 1), wf = e.real(41, {}, 1), rot = deg(e.real(50));
        double len = static_cast<double>(e.str(1).size()) * h * 0.8 * wf;
        double x = e.real(10), y = e.real(20), z = e.real(30);
        double c = std::cos(rot), s = std::sin(rot);
        for (double dx : {0.0, len})
            for (double dy : {-0.25 * h, h}) box.add(ocs.toWcs(x + dx * c - dy * s, y + dx * s + dy * c, z));
    } else if (t == "MTEXT") {
        double h = e.real(40, {}, 1), w = e.real(41), x = e.real(10), y = e.real(20), z = e.real(30);
        int attach = static_cast<int>(e.integer(71, {}, 1));
        double lines = 1;
        std::string_view text = e.str(1);
        for (size_t p = text.find("\\P"); p != std::string_view::npos; p = text.find("\\P", p + 2)) lines += 1;
        double height = lines * h * 1.67;
        if (w <= 0) w = static_cast<double>(text.size()) * h * 0.8 / lines;
        int col = (attach - 1) % 3, row = (attach - 1) / 3;
        double left = x - w * col / 2.0, top = y + height * row / 2.0;
        box.add(left, top - height, z);
        box.add(left + w, top, z);
    } else if (t == "INSERT") {
        addInsert(e, box);
    } else if (t == "DIMENSION") {
        if (const BlockInfo* b = block(e.str(2))) box.add(ofBlock(b->handle));
    } else if (t == "SPLINE") {
        addSpline(e, box);
    } else if (t == "LEADER" || t == "MLINE") {
        auto tags = e.tags();
        int xc = t == "MLINE" ? 11 : 10;
        for (size_t i = 0; i + 1 < tags.size(); ++i) {
            if (tags[i].code != xc || tags[i + 1].code != xc + 10) continue;
            double x = 0, y = 0, z = 0;
            tkDbToDouble(tags[i].value(), x);
            tkDbToDouble(tags[i + 1].value(), y);
            if (i + 2 < tags.size() && tags[i + 2].code == xc + 20) tkDbToDouble(tags[i + 2].value(), z);
            box.add(x, y, z);
        }
    } else if (t == "HATCH") {
        // Boundary vertices and edge end points; seed points and the elevation point are left out.
        auto [b, end] = e.subclassRange("AcDbHatch");
        if (b == TkDbRecord::npos) return;
        auto tags = e.tags();
        TkDbOcs ocs(e);
        bool first10 = true;
        double x = 0, y = 0;
        for (size_t i = b; i < end; ++i) {
            if (tags[i].code == 98) break;  // seed points follow
            if ((tags[i].code == 10 || tags[i].code == 11) && i + 1 < end && tags[i + 1].code == tags[i].code + 10) {
                if (tags[i].code == 10 && first10) { first10 = false; continue; }
                tkDbToDouble(tags[i].value(), x);
                tkDbToDouble(tags[i + 1].value(), y);
                box.add(ocs.toWcs(x, y, 0));
            }
        }
    } else if (t == "VIEWPORT") {
        if (e.integer(69) == 1) return;  // the overall viewport is the sheet itself, not drawn content
        double cx = e.real(10), cy = e.real(20), w = e.real(40) / 2, h = e.real(41) / 2;
        box.add(cx - w, cy - h, e.real(30));
        box.add(cx + w, cy + h, e.real(30));
    } else if (t == "IMAGE" || t == "WIPEOUT") {
        double x = e.real(10), y = e.real(20), z = e.real(30);
        double ux = e.real(11), uy = e.real(21), vx = e.real(12), vy = e.real(22);
        double w = e.real(13), h = e.real(23);
        box.add(x, y, z);
        box.add(x + ux * w, y + uy * w, z);
        box.add(x + vx * h, y + vy * h, z);
        box.add(x + ux * w + vx * h, y + uy * w + vy * h, z);
    }
}

void TkDbDatabase::updateExtents() {
    TkDbExtentsCalc calc(*this);
    auto write = [&](std::string_view minVar, std::string_view maxVar, const TkDbBox& b) {
        TkDbPoint3 lo = b.empty() ? TkDbPoint3{1e20, 1e20, 1e20} : b.min;
        TkDbPoint3 hi = b.empty() ? TkDbPoint3{-1e20, -1e20, -1e20} : b.max;
        setVar(minVar, {{10, tkDbDoubleText(lo.x)}, {20, tkDbDoubleText(lo.y)}, {30, tkDbDoubleText(lo.z)}});
        setVar(maxVar, {{10, tkDbDoubleText(hi.x)}, {20, tkDbDoubleText(hi.y)}, {30, tkDbDoubleText(hi.z)}});
    };
    for (auto& b : blockRecords()) {
        if (b.isModelSpace()) write("$EXTMIN", "$EXTMAX", calc.ofBlock(b.handle()));
        else if (tkDbNameEqualNoCase(b.name(), "*Paper_Space")) write("$PEXTMIN", "$PEXTMAX", calc.ofBlock(b.handle()));
    }
    for (auto& l : layouts()) {
        TkDbRecord* rec = const_cast<TkDbRecord*>(l.record());
        if (rec->subclassRange("AcDbLayout").first == TkDbRecord::npos) continue;
        TkDbBox b = calc.ofBlock(l.blockRecordHandle());
        TkDbPoint3 lo = b.empty() ? TkDbPoint3{1e20, 1e20, 1e20} : b.min;
        TkDbPoint3 hi = b.empty() ? TkDbPoint3{-1e20, -1e20, -1e20} : b.max;
        const int codes[] = {14, 24, 34, 15, 25, 35};
        const double vals[] = {lo.x, lo.y, lo.z, hi.x, hi.y, hi.z};
        for (int k = 0; k < 6; ++k)
            if (rec->indexOf(codes[k], "AcDbLayout") != TkDbRecord::npos) rec->set(codes[k], tkDbDoubleText(vals[k]), "AcDbLayout");
    }
}

bool TkDbDatabase::blockExtents(uint64_t br, TkDbPoint3& min, TkDbPoint3& max) const {
    TkDbExtentsCalc calc(*this);
    TkDbBox b = calc.ofBlock(br);
    if (b.empty()) return false;
    min = b.min;
    max = b.max;
    return true;
}
