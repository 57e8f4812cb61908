#include "toolkit/db/TkDbBudget.h"

#include <algorithm>

#include "toolkit/db/TkDbRecord.h"

bool TkDbBudget::enter(int depth) {
    if (depth <= depth_) return true;
    if (!tooDeep_) {
        tooDeep_ = true;
        notes_.push_back("block nesting deeper than " + std::to_string(depth_) + " levels: skipped");
    }
    return false;
}

bool TkDbBudget::spend(uint64_t units) {
    if (!spent_ && units <= left_) {
        left_ -= units;
        return true;
    }
    if (!spent_) {
        spent_ = true;
        left_ = 0;
        notes_.push_back("over " + std::to_string(limit_) + " entities from nested blocks: the rest skipped");
    }
    return false;
}

uint64_t TkDbBudget::take(uint64_t count, uint64_t each) {
    if (spent_) return 0;
    const uint64_t fits = each == 0 ? count : std::min(count, left_ / each);
    left_ -= fits * each;
    if (fits < count) spend(left_ + 1);
    return fits;
}

uint64_t TkDbBudget::costOf(const TkDbRecord& e, size_t followers) {
    // A tag is a vertex coordinate or a piece of text; 250 bytes of text are one more entity.
    uint64_t bytes = 0;
    for (const TkDbTag& t : e.tags()) bytes += t.len;
    return 1 + followers + e.count() / 16 + bytes / 250;
}
