#pragma once
#include <vector>
// Bounding boxes of entities, in world coordinates, for the extents a drawing carries in its header
// and layouts. Text is estimated from its height and length; the rest is exact for its kind.
#include <string>
#include <unordered_map>

#include "toolkit/db/TkDbObjects.h"

class TkDbDatabase;

struct TkDbBox {
    TkDbPoint3 min{1e300, 1e300, 1e300};
    TkDbPoint3 max{-1e300, -1e300, -1e300};
    bool empty() const { return min.x > max.x; }
    void add(double x, double y, double z = 0) {
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

class TkDbExtentsCalc {
public:
    explicit TkDbExtentsCalc(const TkDbDatabase& db) : db_(db) {}
    // Everything a block record holds; block references are expanded, each block once.
    TkDbBox ofBlock(uint64_t blockRecord);

private:
    // `followers`: the vertices after a POLYLINE.
    void addEntity(const TkDbRecord& e, const std::vector<const TkDbRecord*>& followers, TkDbBox& box);
    void addInsert(const TkDbRecord& e, TkDbBox& box);
    struct BlockInfo {
        uint64_t handle = 0;
        TkDbPoint3 base;
    };
    const BlockInfo* block(std::string_view name);  // by name, case-insensitive; cached

    const TkDbDatabase& db_;
    std::unordered_map<std::string, BlockInfo> blocks_;
    bool blocksRead_ = false;
    std::unordered_map<uint64_t, TkDbBox> done_;
    std::unordered_map<uint64_t, bool> busy_;  // guards against blocks that contain themselves
};
