#pragma once
// Bounding boxes of entities, in world coordinates, for the extents a drawing carries in its header
// and layouts. Text is estimated from its height and length; the rest is exact for its kind.
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/db/TkDbBudget.h"

#include "toolkit/db/TkDbObjects.h"

class TkDbDatabase;

struct TkDbBox {
    TkDbPoint3 min{1e300, 1e300, 1e300};
    TkDbPoint3 max{-1e300, -1e300, -1e300};
    bool empty() const { return min.x > max.x; }
    // Points that overflowed on their way here (a huge scale of a huge block) measure nothing.
    void add(double x, double y, double z = 0) {
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return;
        if (x < min.x) min.x = x;
        if (y < min.y) min.y = y;
        if (z < min.z) min.z = z;
        if (x > max.x) max.x = x;
        if (y > max.y) max.y = y;
        if (z > max.z) max.z = z;
    }
    void add(const TkDbPoint3& p) { add(p.x, p.y, p.z); }
    void add(const TkDbBox& b) {
        if (!b.empty()) { add(b.min); add(b.max); }
    }
};

struct TkDbInsertGeom;

class TkDbExtentsCalc {
public:
    explicit TkDbExtentsCalc(const TkDbDatabase& db) : db_(db) {}
    // What a drawing pass reaches in a block record (a layout, model space), with block references
    // expanded under the budget a render has (TkDbBudget): the same depth limit and entity count,
    // so the box holds what a thumbnail or page shows. Each block is measured once per depth.
    TkDbBox ofBlock(uint64_t blockRecord);
    // What the budgets left out, over every ofBlock() so far, each note once.
    const std::vector<std::string>& notes() const { return notes_; }

    struct Measure {
        TkDbBox box;          // in the block's own coordinates
        uint64_t weight = 0;  // what drawing all of it costs, as TkDbBudget counts
    };
    // The whole block drawn at `depth`, references past the nesting limit left out; no budget.
    // A renderer asks it whether a copy of a block shows at all before drawing it.
    const Measure& full(uint64_t blockRecord, int depth);
    // What a drawing of a paper layout leaves out of the model its viewports show, as a note, or
    // empty. Each viewport draws the model again, paid from the layout's one budget after the
    // layout's own references; extents never look through a viewport, so ofBlock() cannot tell.
    std::string viewportsNote(uint64_t layoutBlockRecord);

private:
    struct BlockInfo {
        uint64_t handle = 0;
        TkDbPoint3 base;
    };
    // As much of the block as `budget` pays for, in drawing order: whole entities by their measure,
    // and into the one that does not fit.
    void walk(uint64_t blockRecord, int depth, TkDbBudget& budget, TkDbBox& box);
    // The block a reference or dimension draws, if any and if not too deep.
    const BlockInfo* target(const TkDbRecord& e, int depth, TkDbBudget* noteTo);
    // `followers`: the vertices after a POLYLINE. References are not measured here.
    void addEntity(const TkDbRecord& e, const std::vector<const TkDbRecord*>& followers, TkDbBox& box);
    // Copies [first, first + count) of an array, row by row, of a block whose box is `inner`.
    void addCopies(const TkDbRecord& e, const TkDbInsertGeom& g, const BlockInfo& b, const TkDbBox& inner, uint64_t first,
                   uint64_t count, TkDbBox& box);
    const BlockInfo* block(std::string_view name);  // by name, case-insensitive; cached
    void note(const TkDbBudget& budget);

    const TkDbDatabase& db_;
    std::unordered_map<std::string, BlockInfo> blocks_;
    bool blocksRead_ = false;
    std::unordered_map<uint64_t, Measure> done_;  // by block record and depth
    TkDbBudget depthNotes_;                        // notes of full(), which spends nothing
    std::vector<std::string> notes_;
};
