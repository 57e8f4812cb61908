#pragma once
// Middle layer: one DXF record (an entity, object, table entry or header variable) as its list of
// tags, with lookups that respect subclass markers, application groups and extended data. Records
// read from a file point into the file buffer; the first edit copies the tags into the record.
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/db/TkDbTag.h"

struct TkDbValue {
    int code = 0;
    std::string text;
};

class TkDbRecord {
public:
    TkDbRecord(const TkDbTag* first, uint32_t count) : base_(first), count_(count) {}

    // "LINE", "LAYOUT", "$ACADVER": the value of the first tag.
    std::string_view type() const { return count() ? tags()[0].value() : std::string_view(); }
    std::span<const TkDbTag> tags() const {
        return own_ ? std::span<const TkDbTag>(own_->tags) : std::span<const TkDbTag>(base_, count_);
    }
    size_t count() const { return own_ ? own_->tags.size() : count_; }
    uint64_t handle() const { return handle_; }
    uint64_t owner() const { return owner_; }
    bool erased() const { return erased_; }

    // Index of the first tag with `code` inside subclass `subclass` (whole record when empty), skipping
    // application groups ("102 {...}") and extended data; npos when absent.
    static constexpr size_t npos = static_cast<size_t>(-1);
    size_t indexOf(int code, std::string_view subclass = {}, size_t from = 0) const;
    const TkDbTag* find(int code, std::string_view subclass = {}) const;
    std::string_view str(int code, std::string_view subclass = {}) const;
    double real(int code, std::string_view subclass = {}, double def = 0.0) const;
    long long integer(int code, std::string_view subclass = {}, long long def = 0) const;
    uint64_t ref(int code, std::string_view subclass = {}) const;  // 0 when absent or not hex
    // Range [begin, end) of the tags of a subclass, excluding its marker; {npos, npos} if absent.
    std::pair<size_t, size_t> subclassRange(std::string_view subclass) const;
    // Index where extended data (first 1001 tag) starts, or count().
    size_t xdataStart() const;

    // Edits. Values are copied; indexes refer to tags().
    void setTag(size_t index, std::string_view value);
    void setTagCode(size_t index, int code);
    // Replaces the first value of `code` in `subclass`, or adds the tag at the end of that subclass.
    void set(int code, std::string_view value, std::string_view subclass = {});
    void insert(size_t index, int code, std::string_view value);
    void erase(size_t from, size_t to);
    void replaceTail(size_t from, const std::vector<TkDbValue>& values);

private:
    friend class TkDbDatabase;
    struct Owned {
        std::vector<TkDbTag> tags;
        std::deque<std::string> strings;  // stable storage for edited values
    };
    Owned& own();
    TkDbTag makeTag(int code, std::string_view value);

    const TkDbTag* base_;
    uint32_t count_;
    bool erased_ = false;
    uint64_t handle_ = 0;
    uint64_t owner_ = 0;
    std::unique_ptr<Owned> own_;
};

bool tkDbToDouble(std::string_view s, double& v);
bool tkDbToInt(std::string_view s, long long& v);
