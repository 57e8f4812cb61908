#include "toolkit/db/TkDbMLeader.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "toolkit/db/TkDbRecord.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

double num(const TkDbTag& t) {
    double d = 0;
    tkDbToDouble(t.value(), d);
    return std::isfinite(d) ? d : 0;
}

bool yes(const TkDbTag& t) { return num(t) != 0; }

}  // namespace

TkDbMLeaderGeom tkDbMLeader(const TkDbRecord& e) {
    constexpr size_t kMaxLeaders = 64, kMaxVertices = 100000;
    TkDbMLeaderGeom g;
    enum Section { Outside, Context, Leader, Line } at = Outside;
    size_t vertices = 0;
    bool skipped = false;  // a leader past the most we keep
    TkDbPoint3 textDirection{1, 0, 0};
    int alignment = 1;
    bool directionGiven = false;
    auto tags = e.tags();
    // Points are x (code c), y (c + 10), z (c + 20) in a row; a y without its x is ignored.
    auto y = [&](size_t i, int code, TkDbPoint3& p) {
        if (i > 0 && tags[i - 1].code == code - 10) p.y = num(tags[i]);
    };
    for (size_t i = 0; i < tags.size(); ++i) {
        const TkDbTag& t = tags[i];
        const int c = t.code;
        const std::string_view v = t.value();
        if (c == 300 && v == "CONTEXT_DATA{") at = Context;
        else if (c == 301 && at == Context) at = Outside;
        else if (c == 302 && v == "LEADER{" && at == Context) {
            at = Leader;
            skipped = g.leaders.size() >= kMaxLeaders;
            if (!skipped) g.leaders.emplace_back();
        } else if (c == 303 && at == Leader) at = Context;
        else if (c == 304 && v == "LEADER_LINE{" && at == Leader) {
            at = Line;
            if (!skipped && g.leaders.back().lines.size() < kMaxVertices) g.leaders.back().lines.emplace_back();
        } else if (c == 305 && at == Line) at = Leader;
        else if (at == Line) {
            if (skipped || g.leaders.back().lines.empty()) continue;
            std::vector<TkDbPoint3>& line = g.leaders.back().lines.back();
            if (c == 10 && vertices < kMaxVertices) {
                line.push_back({num(t), 0, 0});
                ++vertices;
            } else if (c == 20 && !line.empty()) {
                y(i, 20, line.back());
            }
        } else if (at == Leader) {
            if (skipped) continue;
            TkDbMLeaderGeom::Leader& l = g.leaders.back();
            if (c == 290) l.hasLast = yes(t);
            else if (c == 291) l.hasDogleg = yes(t);
            else if (c == 10) l.last.x = num(t);
            else if (c == 20) y(i, 20, l.last);
            else if (c == 11) l.dogleg.x = num(t);
            else if (c == 21) y(i, 21, l.dogleg);
            else if (c == 40) l.doglegLength = num(t);
        } else if (at == Context) {
            switch (c) {
            case 140: g.arrowSize = num(t); break;
            case 41: g.text.height = num(t); break;
            case 290: g.hasText = yes(t); break;
            case 304: g.text.text = std::string(v); break;
            case 12: g.text.insert.x = num(t); break;
            case 22: y(i, 22, g.text.insert); break;
            case 13: textDirection.x = num(t), directionGiven = true; break;
            case 23: y(i, 23, textDirection); break;
            case 42: g.text.rotation = num(t); break;
            case 43: g.text.width = num(t); break;
            case 171: alignment = static_cast<int>(std::clamp(num(t), 1.0, 3.0)); break;
            case 296: g.hasBlock = yes(t); break;
            case 341: tkDbParseHandle(v, g.block); break;
            case 15: g.blockAt.x = num(t); break;
            case 25: y(i, 25, g.blockAt); break;
            case 16: g.blockScale.x = num(t); break;
            case 26: y(i, 26, g.blockScale); break;
            case 46: g.blockRotation = num(t); break;
            default: break;
            }
        } else {
            if (c == 170) g.linesVisible = num(t) != 0;
            else if (c == 291) g.doglegs = yes(t);
            else if (c == 342) tkDbParseHandle(v, g.arrowBlock);
        }
    }
    // The text hangs from its location by its top edge, left, centred or right as aligned.
    g.text.attachment = alignment;
    if (directionGiven && (textDirection.x != 0 || textDirection.y != 0)) g.text.rotation = std::atan2(textDirection.y, textDirection.x);
    return g;
}
