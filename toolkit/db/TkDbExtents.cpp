#include "toolkit/db/TkDbExtents.h"
#include "toolkit/common/TkUtf8.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbEntities.h"
#include "toolkit/db/TkDbMLeader.h"
#include "toolkit/db/TkDbGeometry.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Adds the arc from a0 to a1 (radians, counter-clockwise) of a circle in the OCS: its ends and
// the quarter points it passes, at most five of them, whatever the angles were.
void addArc(TkDbBox& box, const TkDbOcs& ocs, double cx, double cy, double z, double r, double a0, double a1) {
    const double sweep = tkDbSweep(a0, a1);
    a0 = tkDbAngle(a0);
    a1 = a0 + sweep;
    box.add(ocs.toWcs(cx + r * std::cos(a0), cy + r * std::sin(a0), z));
    box.add(ocs.toWcs(cx + r * std::cos(a1), cy + r * std::sin(a1), z));
    for (int q = static_cast<int>(std::ceil(a0 / (kPi / 2))); q * (kPi / 2) <= a1 && q <= 8; ++q) {
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

}  // namespace

namespace {

uint64_t saturatingMul(uint64_t a, uint64_t b) {
    constexpr uint64_t kMax = uint64_t(1) << 62;
    return b != 0 && a > kMax / b ? kMax : std::min(a * b, kMax);
}
uint64_t saturatingAdd(uint64_t a, uint64_t b) { return std::min(a + b, uint64_t(1) << 62); }

// Vertices follow their polyline and are measured with it; attributes stand on their own.
template <class F>
void eachEntity(const std::vector<TkDbRecord*>& all, F&& f) {
    for (size_t i = 0; i < all.size(); ++i) {
        std::string_view t = all[i]->type();
        if (t == "VERTEX" || t == "SEQEND") continue;
        std::vector<const TkDbRecord*> followers;
        if (t == "POLYLINE")
            for (size_t k = i + 1; k < all.size() && all[k]->type() == "VERTEX"; ++k) followers.push_back(all[k]);
        if (!f(*all[i], followers)) return;
    }
}

bool isReference(std::string_view t) { return t == "INSERT" || t == "DIMENSION"; }

}  // namespace

TkDbBox TkDbExtentsCalc::ofBlock(uint64_t br) {
    TkDbBudget budget;
    TkDbBox box;
    walk(br, 0, budget, box);
    note(budget);
    note(depthNotes_);
    return box;
}

std::string TkDbExtentsCalc::viewportsNote(uint64_t br) {
    if (br == db_.modelSpace()) return {};
    uint64_t paid = full(br, 0).weight;
    int viewports = 0;
    for (const TkDbRecord* e : db_.blockContents(br)) {
        const std::string_view t = e->type();
        if (t == "VERTEX" || t == "SEQEND" || t == "ATTRIB") continue;
        paid -= std::min(paid, TkDbBudget::costOf(*e));  // the layout's own entities are free
        if (t != "VIEWPORT") continue;
        // The overall viewport is the sheet itself; one switched off or of no size draws nothing.
        const TkDbViewportGeom g = tkDbViewport(*e);
        if (g.id != 1 && g.status > 0 && g.width > 0 && g.height > 0 && g.viewHeight > 0) ++viewports;
    }
    if (viewports == 0) return {};
    const uint64_t model = full(db_.modelSpace(), 0).weight;
    if (model == 0 || saturatingAdd(paid, saturatingMul(model, static_cast<uint64_t>(viewports))) <= kTkDbMaxNestedEntities)
        return {};
    return std::to_string(viewports) + (viewports == 1 ? " viewport shows " : " viewports show ") + std::to_string(model) +
           " entities of the model" + (viewports == 1 ? "" : " each") + ", over the " + std::to_string(kTkDbMaxNestedEntities) +
           " a drawing of a layout takes: the rest skipped";
}

void TkDbExtentsCalc::note(const TkDbBudget& budget) {
    for (const std::string& n : budget.notes())
        if (std::find(notes_.begin(), notes_.end(), n) == notes_.end()) notes_.push_back(n);
}

const TkDbExtentsCalc::BlockInfo* TkDbExtentsCalc::target(const TkDbRecord& e, int depth, TkDbBudget* noteTo) {
    const BlockInfo* b = block(e.str(2));
    if (!b) return nullptr;
    return noteTo->enter(depth + 1) ? b : nullptr;
}

const TkDbExtentsCalc::Measure& TkDbExtentsCalc::full(uint64_t br, int depth) {
    // The depth is part of the key: a block measured near the limit lacks what lies below it.
    const uint64_t key = br * (kTkDbMaxNesting + 2) + static_cast<uint64_t>(depth);
    if (auto it = done_.find(key); it != done_.end()) return it->second;
    Measure m;
    eachEntity(db_.blockContents(br), [&](const TkDbRecord& e, const std::vector<const TkDbRecord*>& followers) {
        m.weight = saturatingAdd(m.weight, TkDbBudget::costOf(e, followers.size()));
        if (!isReference(e.type())) {
            addEntity(e, followers, m.box);
            return true;
        }
        const BlockInfo* b = target(e, depth, &depthNotes_);
        if (!b) return true;
        const Measure& inner = full(b->handle, depth + 1);
        if (e.type() == "DIMENSION") {
            m.weight = saturatingAdd(m.weight, 1 + inner.weight);
            m.box.add(inner.box);
            return true;
        }
        const TkDbInsertGeom g = tkDbInsert(e);
        const uint64_t copies = static_cast<uint64_t>(g.rows) * static_cast<uint64_t>(g.columns);
        m.weight = saturatingAdd(m.weight, saturatingMul(copies, 1 + inner.weight));
        addCopies(e, g, *b, inner.box, 0, copies, m.box);
        return true;
    });
    return done_.emplace(key, std::move(m)).first->second;
}

void TkDbExtentsCalc::walk(uint64_t br, int depth, TkDbBudget& budget, TkDbBox& box) {
    eachEntity(db_.blockContents(br), [&](const TkDbRecord& e, const std::vector<const TkDbRecord*>& followers) {
        // Entities of the layout itself cost nothing: only what references bring in is counted.
        if (depth > 0 && !budget.spend(TkDbBudget::costOf(e, followers.size()))) return false;
        if (!isReference(e.type())) {
            addEntity(e, followers, box);
            return true;
        }
        const BlockInfo* b = target(e, depth, &budget);
        if (!b) return true;
        const Measure& inner = full(b->handle, depth + 1);
        const bool dimension = e.type() == "DIMENSION";
        const TkDbInsertGeom g = dimension ? TkDbInsertGeom{} : tkDbInsert(e);
        const uint64_t copies = static_cast<uint64_t>(g.rows) * static_cast<uint64_t>(g.columns);
        const uint64_t left = budget.left();
        const uint64_t whole = budget.take(copies, 1 + inner.weight);
        if (dimension) box.add(whole ? inner.box : TkDbBox{});
        else addCopies(e, g, *b, inner.box, 0, whole, box);
        if (whole == copies) return true;
        // The copy the budget ran out in is measured as far as a render draws it.
        const uint64_t rest = left - whole * (1 + inner.weight);
        if (rest > 1) {
            TkDbBudget part(rest - 1);
            TkDbBox partial;
            walk(b->handle, depth + 1, part, partial);
            if (dimension) box.add(partial);
            else addCopies(e, g, *b, partial, whole, 1, box);
        }
        return depth == 0;  // the layout's own entities are measured whatever references spent
    });
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

void TkDbExtentsCalc::addCopies(const TkDbRecord& e, const TkDbInsertGeom& g, const BlockInfo& b, const TkDbBox& inner,
                                uint64_t first, uint64_t count, TkDbBox& box) {
    if (inner.empty() || count == 0) return;
    TkDbOcs ocs(e);
    const double c = std::cos(g.rotation), s = std::sin(g.rotation);
    const uint64_t columns = static_cast<uint64_t>(g.columns);
    // Copies go row by row; a run of them is at most a partial row, whole rows and a partial row,
    // and the box of a rectangle of copies is that of its corner copies.
    auto rect = [&](uint64_t c0, uint64_t c1, uint64_t r0, uint64_t r1) {
        for (double x : {inner.min.x, inner.max.x})
            for (double y : {inner.min.y, inner.max.y})
                for (double z : {inner.min.z, inner.max.z})
                    for (uint64_t ci : {c0, c1})
                        for (uint64_t ri : {r0, r1}) {
                            double px = (x - b.base.x) * g.scale.x + static_cast<double>(ci) * g.columnSpacing;
                            double py = (y - b.base.y) * g.scale.y + static_cast<double>(ri) * g.rowSpacing;
                            double pz = (z - b.base.z) * g.scale.z;
                            box.add(ocs.toWcs(g.insert.x + px * c - py * s, g.insert.y + px * s + py * c, g.insert.z + pz));
                        }
    };
    const uint64_t last = first + count - 1;
    const uint64_t r0 = first / columns, r1 = last / columns;
    if (r0 == r1) return rect(first % columns, last % columns, r0, r0);
    rect(first % columns, columns - 1, r0, r0);
    if (r1 > r0 + 1) rect(0, columns - 1, r0 + 1, r1 - 1);
    rect(0, last % columns, r1, r1);
}

namespace {

// The curve itself, sampled along every knot span: the control polygon can lie far outside it.
void addSplineCurve(const TkDbSplineGeom& g, TkDbBox& box) {
    for (auto& p : g.fit) box.add(p.x, p.y, p.z);
    const std::vector<TkDbPoint3> curve = tkDbSplinePoints(g, 24);
    for (const TkDbPoint3& p : curve) box.add(p);
    // Without a consistent control frame, the points themselves.
    if (curve.empty())
        for (auto& p : g.control) box.add(p[0], p[1], p[2]);
}

// A multiline text's box, from its line count and a typical character width.
void addMText(const TkDbMTextGeom& g, TkDbBox& box) {
    double lines = 1;
    for (size_t p = g.text.find("\\P"); p != std::string::npos; p = g.text.find("\\P", p + 2)) lines += 1;
    double height = lines * g.height * 1.67;
    double w = g.width > 0 ? g.width : static_cast<double>(g.text.size()) * g.height * 0.8 / lines;
    int col = (g.attachment - 1) % 3, row = (g.attachment - 1) / 3;
    double left = g.insert.x - w * col / 2.0, top = g.insert.y + height * row / 2.0;
    box.add(left, top - height, g.insert.z);
    box.add(left + w, top, g.insert.z);
}

void addPolyline(const TkDbPolylineGeom& g, const TkDbOcs& ocs, TkDbBox& box) {
    const size_t n = g.vertices.size();
    for (size_t i = 0; i < n; ++i) {
        const TkDbVertex& v = g.vertices[i];
        if (g.worldCoordinates) {
            box.add(v.x, v.y, v.z);
            continue;
        }
        box.add(ocs.toWcs(v.x, v.y, g.elevation));
        const size_t j = i + 1 == n ? (g.closed ? 0 : n) : i + 1;
        if (j < n) addBulge(box, ocs, v.x, v.y, g.vertices[j].x, g.vertices[j].y, v.bulge, g.elevation);
    }
}

}  // namespace

void TkDbExtentsCalc::addEntity(const TkDbRecord& e, const std::vector<const TkDbRecord*>& followers, TkDbBox& box) {
    std::string_view t = e.type();
    if (t == "LINE") {
        const TkDbLineGeom g = tkDbLine(e);
        box.add(g.start);
        box.add(g.end);
    } else if (t == "POINT") {
        box.add(e.real(10), e.real(20), e.real(30));
    } else if (t == "CIRCLE" || t == "ARC") {
        const TkDbArcGeom g = tkDbArc(e);
        addArc(box, TkDbOcs(e), g.center.x, g.center.y, g.center.z, g.radius, g.start, g.end);
    } else if (t == "ELLIPSE") {
        const TkDbEllipseGeom g = tkDbEllipse(e);
        const double mx = g.majorAxis.x, my = g.majorAxis.y;
        const double hx = std::sqrt(mx * mx + g.ratio * g.ratio * my * my), hy = std::sqrt(my * my + g.ratio * g.ratio * mx * mx);
        box.add(g.center.x - hx, g.center.y - hy, g.center.z);
        box.add(g.center.x + hx, g.center.y + hy, g.center.z);
    } else if (t == "LWPOLYLINE") {
        addPolyline(tkDbLwPolyline(e), TkDbOcs(e), box);
    } else if (t == "POLYLINE") {
        addPolyline(tkDbPolyline(e, followers), TkDbOcs(e), box);
    } else if (t == "SOLID" || t == "TRACE" || t == "3DFACE") {
        const TkDbCornersGeom g = tkDbCorners(e);
        TkDbOcs ocs(e);
        for (const TkDbPoint3& p : g.corners) box.add(g.worldCoordinates ? p : ocs.toWcs(p.x, p.y, p.z));
    } else if (t == "TEXT" || t == "ATTDEF" || t == "ATTRIB") {
        const TkDbTextGeom g = tkDbText(e);
        TkDbOcs ocs(e);
        double len = static_cast<double>(g.text.size()) * g.height * 0.8 * g.widthFactor;
        double c = std::cos(g.rotation), s = std::sin(g.rotation);
        for (double dx : {0.0, len})
            for (double dy : {-0.25 * g.height, g.height})
                box.add(ocs.toWcs(g.insert.x + dx * c - dy * s, g.insert.y + dx * s + dy * c, g.insert.z));
    } else if (t == "MTEXT") {
        addMText(tkDbMText(e), box);
    } else if (t == "SPLINE") {
        addSplineCurve(tkDbSpline(e), box);
    } else if (t == "MULTILEADER" || t == "MLEADER") {
        // Its lines and where its text or block stands (the text's own extent is left to its height).
        const TkDbMLeaderGeom g = tkDbMLeader(e);
        for (const TkDbMLeaderGeom::Leader& l : g.leaders) {
            for (const auto& line : l.lines)
                for (const TkDbPoint3& p : line) box.add(p);
            if (l.hasLast) box.add(l.last);
        }
        if (g.hasText) addMText(g.text, box);
        if (g.hasBlock) box.add(g.blockAt);
    } else if (t == "LEADER" || t == "MLINE") {
        for (const TkDbPoint3& p : tkDbPointList(e, t == "MLINE" ? 11 : 10)) box.add(p);
    } else if (t == "HATCH") {
        // Boundary vertices and edge end points.
        TkDbOcs ocs(e);
        for (const TkDbHatchLoop& loop : tkDbHatch(e).loops) {
            for (const TkDbVertex& v : loop.vertices) box.add(ocs.toWcs(v.x, v.y, 0));
            for (const TkDbHatchEdge& edge : loop.edges) {
                if (edge.kind == TkDbHatchEdge::Arc) {
                    addArc(box, ocs, edge.x0, edge.y0, 0, edge.radius, 0, 2 * kPi);
                } else {
                    box.add(ocs.toWcs(edge.x0, edge.y0, 0));
                    if (edge.kind == TkDbHatchEdge::Line) box.add(ocs.toWcs(edge.x1, edge.y1, 0));
                }
            }
        }
    } else if (t == "VIEWPORT") {
        const TkDbViewportGeom g = tkDbViewport(e);
        if (g.id == 1) return;  // the overall viewport is the sheet itself, not drawn content
        box.add(g.center.x - g.width / 2, g.center.y - g.height / 2, g.center.z);
        box.add(g.center.x + g.width / 2, g.center.y + g.height / 2, g.center.z);
    } else if (t == "IMAGE" || t == "WIPEOUT") {
        const TkDbImageGeom g = tkDbImage(e);
        auto at = [&](double a, double b) {
            box.add(g.origin.x + g.u.x * a + g.v.x * b, g.origin.y + g.u.y * a + g.v.y * b, g.origin.z);
        };
        at(0, 0);
        at(g.width, 0);
        at(0, g.height);
        at(g.width, g.height);
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

bool TkDbDatabase::blockExtents(uint64_t br, TkDbPoint3& min, TkDbPoint3& max, std::vector<std::string>* notes) const {
    TkDbExtentsCalc calc(*this);
    TkDbBox b = calc.ofBlock(br);
    if (notes) *notes = calc.notes();
    if (b.empty()) return false;
    min = b.min;
    max = b.max;
    return true;
}
