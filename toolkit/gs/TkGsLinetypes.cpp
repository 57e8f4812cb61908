#include "toolkit/gs/TkGsLinetypes.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "toolkit/db/TkDbDatabase.h"

namespace {

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// The LTYPE's elements (group 49) as its pattern.
TkGsLinetype patternOf(const TkDbRecord& ltype) {
    std::vector<double> elements;
    for (const TkDbTag& t : ltype.tags()) {
        double v = 0;
        if (t.code == 49 && tkDbToDouble(t.value(), v)) elements.push_back(v);
    }
    return tkGsDashPattern(std::move(elements));
}

}  // namespace

TkGsLinetype tkGsDashPattern(std::vector<double> elements) {
    // A pattern from a file may hold anything: at most 64 elements count, each a finite length.
    elements.erase(std::remove_if(elements.begin(), elements.end(), [](double v) { return !std::isfinite(v) || std::fabs(v) >= 1e9; }),
                   elements.end());
    if (elements.size() > 64) elements.resize(64);
    // A pattern that opens with a gap is the same line shifted: it starts at its first dash here.
    TkGsLinetype p;
    size_t first = 0;
    while (first < elements.size() && elements[first] < 0) p.lead += -elements[first++];
    if (first == elements.size()) p.lead = 0;
    std::rotate(elements.begin(), elements.begin() + static_cast<std::ptrdiff_t>(first), elements.end());
    for (double v : elements) {
        const bool dash = v >= 0;
        const bool expectDash = p.dashes.size() % 2 == 0;
        if (dash == expectDash) p.dashes.push_back(std::fabs(v));
        else if (!p.dashes.empty()) p.dashes.back() += std::fabs(v);  // two dashes or two gaps in a row
    }
    if (p.dashes.size() % 2 == 1) p.dashes.push_back(0);
    for (double d : p.dashes) p.period += d;
    // Without a gap it draws as a continuous line.
    bool gap = false;
    for (size_t i = 1; i < p.dashes.size(); i += 2) gap = gap || p.dashes[i] > 0;
    if (!gap || !(p.period > 0)) p.dashes.clear();
    return p;
}

TkGsLinetypes::TkGsLinetypes(const TkDbDatabase& db) {
    for (TkDbRecord* r : db.tableEntries("LTYPE")) {
        TkGsLinetype p = patternOf(*r);
        if (!p.dashes.empty()) patterns_[upper(r->str(2))] = std::move(p);
    }
    for (TkDbRecord* r : db.tableEntries("LAYER")) layerLinetype_[std::string(r->str(2))] = upper(r->str(6));
    const double scale = db.getVarDouble("$LTSCALE", 1);
    globalScale_ = std::isfinite(scale) && scale > 0 ? scale : 1;
    paperScaled_ = db.getVarInt("$PSLTSCALE", 1) != 0;
}

const TkGsLinetype* TkGsLinetypes::named(std::string_view name) const {
    auto it = patterns_.find(upper(name));
    return it == patterns_.end() ? nullptr : &it->second;
}

const TkGsLinetype* TkGsLinetypes::of(const TkDbRecord& e, const TkGsLinetype* byBlock, std::string_view onLayer) const {
    if (patterns_.empty()) return nullptr;
    const std::string name = upper(e.str(6));
    if (name == "BYBLOCK") return byBlock;
    if (name.empty() || name == "BYLAYER") {
        auto layer = layerLinetype_.find(std::string(onLayer.empty() ? e.str(8) : onLayer));
        return layer == layerLinetype_.end() ? nullptr : named(layer->second);
    }
    return named(name);
}

double TkGsLinetypes::scaleOf(const TkDbRecord& e) const {
    const double own = e.real(48, {}, 1);
    return globalScale_ * (std::isfinite(own) && own > 0 ? own : 1);
}

bool TkGsLinetypes::applyTo(QPen& pen, const TkGsLinetype& pattern, double unitsToDevice, double length) {
    const double period = pattern.period * unitsToDevice;
    // A pattern shorter than two device units shows as a line; so does one that would cut a path
    // into more than a hundred thousand dashes (a rasterizer makes each of them).
    if (!std::isfinite(period) || period < 2 || !std::isfinite(length) || length / period > 1e5) return false;
    // Qt counts dashes in pen widths; a cosmetic pen of width 0 is one unit wide.
    const double width = pen.widthF() > 0 ? pen.widthF() : 1;
    const bool roundEnds = pen.capStyle() != Qt::FlatCap;
    QList<qreal> dashes;
    for (size_t i = 0; i + 1 < pattern.dashes.size(); i += 2) {
        double dash = pattern.dashes[i] * unitsToDevice / width, gap = pattern.dashes[i + 1] * unitsToDevice / width;
        // Round or square ends reach half a width past each end of a dash: drawn a width shorter
        // (a dot stays a dot) and its gap a width longer, the ink spans what the pattern says and
        // short gaps stay open.
        if (roundEnds) {
            const double cut = std::min(dash, 1.0);
            dash -= cut;
            gap += cut;
        }
        dashes << std::max(dash, 1e-3) << std::max(gap, 1e-3);
    }
    pen.setDashPattern(dashes);
    // A pattern that opens with a gap starts that far before its first dash.
    if (pattern.lead > 0 && pattern.period > 0) pen.setDashOffset(std::fmod(pattern.period - pattern.lead, pattern.period) * unitsToDevice / width);
    return true;
}
