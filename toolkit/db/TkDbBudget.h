#pragma once
// What one pass over a drawing (a render, an extents computation) may spend on block references,
// whatever the file asks for. Nesting and arrays multiply: ten levels of ten references each are
// ten billion entities from a file of a few kilobytes, so the counts are checked here, not taken
// from the file. A pass that runs out skips the rest and keeps a note of it for `drawkit audit`
// and whoever else shows what was left out.
#include <cstdint>
#include <string>
#include <vector>

class TkDbRecord;

constexpr int kTkDbMaxNesting = 16;                       // block references inside block references
constexpr uint64_t kTkDbMaxNestedEntities = 1'000'000;   // entities reached through references, per pass

class TkDbBudget {
public:
    explicit TkDbBudget(uint64_t entities = kTkDbMaxNestedEntities, int depth = kTkDbMaxNesting)
        : left_(entities), limit_(entities), depth_(depth) {}

    // False, and noted once, when a block at `depth` (1 for a reference on the layout) is too deep.
    bool enter(int depth);
    // Takes `units` from the budget; false, and noted once, when they are not there: nothing more
    // is drawn or measured then.
    bool spend(uint64_t units);
    // Of `count` like things costing `each`, takes as many as the budget holds and says how many;
    // fewer than `count` spends the budget, as spend() does.
    uint64_t take(uint64_t count, uint64_t each);
    bool spent() const { return spent_; }
    uint64_t left() const { return left_; }
    const std::vector<std::string>& notes() const { return notes_; }

    // What an entity costs: one, and more for long ones (many vertices, long texts), so that a
    // budget of entities also bounds the work a few huge entities repeated by references would take.
    // `followers`: the vertices or attributes that come with it.
    static uint64_t costOf(const TkDbRecord& e, size_t followers = 0);

private:
    uint64_t left_, limit_;
    int depth_;
    bool spent_ = false, tooDeep_ = false;
    std::vector<std::string> notes_;
};
