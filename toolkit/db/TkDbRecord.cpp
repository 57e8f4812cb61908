#include "toolkit/db/TkDbRecord.h"
#include "toolkit/db/TkDbCodes.h"

#include <charconv>
#include <cstdlib>

#include "toolkit/db/TkDbTagWriter.h"

bool tkDbToDouble(std::string_view s, double& v) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size() && !s.empty();
}

bool tkDbToInt(std::string_view s, long long& v) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size() && !s.empty();
}

size_t TkDbRecord::xdataStart() const {
    auto t = tags();
    for (size_t i = 1; i < t.size(); ++i)
        if (t[i].code == tkdxf::kXdataApp) return i;
    return t.size();
}

// Both scans stop at the extended data, found on the way rather than first: a drawing pass asks
// every entity for each of its values.
std::pair<size_t, size_t> TkDbRecord::subclassRange(std::string_view subclass) const {
    auto t = tags();
    for (size_t i = 1; i < t.size() && t[i].code != tkdxf::kXdataApp; ++i) {
        if (t[i].code == tkdxf::kSubclass && t[i].value() == subclass) {
            size_t j = i + 1;
            while (j < t.size() && t[j].code != tkdxf::kSubclass && t[j].code != tkdxf::kXdataApp) ++j;
            return {i + 1, j};
        }
    }
    return {npos, npos};
}

size_t TkDbRecord::indexOf(int code, std::string_view subclass, size_t from) const {
    auto t = tags();
    size_t begin = 1, end = t.size();
    if (!subclass.empty()) {
        auto r = subclassRange(subclass);
        if (r.first == npos) return npos;
        begin = r.first;
        end = r.second;
    }
    if (from > begin) begin = from;
    bool inGroup = false;
    for (size_t i = begin; i < end; ++i) {
        const TkDbTag& g = t[i];
        if (g.code == tkdxf::kXdataApp) break;
        if (g.code == tkdxf::kAppGroup) {
            // "{ACAD_REACTORS" opens an application group, "}" closes it.
            inGroup = g.len > 0 && g.ptr[0] == '{';
            continue;
        }
        if (!inGroup && g.code == code) return i;
    }
    return npos;
}

const TkDbTag* TkDbRecord::find(int code, std::string_view subclass) const {
    size_t i = indexOf(code, subclass);
    return i == npos ? nullptr : &tags()[i];
}

std::string_view TkDbRecord::str(int code, std::string_view subclass) const {
    const TkDbTag* t = find(code, subclass);
    return t ? t->value() : std::string_view();
}

double TkDbRecord::real(int code, std::string_view subclass, double def) const {
    const TkDbTag* t = find(code, subclass);
    double v;
    return t && tkDbToDouble(t->value(), v) ? v : def;
}

long long TkDbRecord::integer(int code, std::string_view subclass, long long def) const {
    const TkDbTag* t = find(code, subclass);
    long long v;
    return t && tkDbToInt(t->value(), v) ? v : def;
}

uint64_t TkDbRecord::ref(int code, std::string_view subclass) const {
    const TkDbTag* t = find(code, subclass);
    uint64_t h = 0;
    return t && tkDbParseHandle(t->value(), h) ? h : 0;
}

TkDbRecord::Owned& TkDbRecord::own() {
    if (!own_) {
        own_ = std::make_unique<Owned>();
        own_->tags.assign(base_, base_ + count_);
    }
    return *own_;
}

TkDbTag TkDbRecord::makeTag(int code, std::string_view value) {
    Owned& o = own();
    o.strings.emplace_back(value);
    const std::string& s = o.strings.back();
    return TkDbTag{s.data(), static_cast<uint32_t>(s.size()), code};
}

void TkDbRecord::setTag(size_t index, std::string_view value) {
    TkDbTag t = makeTag(own().tags.at(index).code, value);
    own_->tags[index] = t;
}

void TkDbRecord::setTagCode(size_t index, int code) { own().tags.at(index).code = code; }

void TkDbRecord::set(int code, std::string_view value, std::string_view subclass) {
    size_t i = indexOf(code, subclass);
    if (i != npos) {
        setTag(i, value);
        return;
    }
    // At the end of the subclass; a tag of a subclass the record lacks goes before the extended
    // data, never after it, where it would become extended data itself.
    size_t at = xdataStart();
    if (!subclass.empty()) {
        auto r = subclassRange(subclass);
        if (r.first != npos) at = r.second;
    }
    insert(at, code, value);
}

void TkDbRecord::insert(size_t index, int code, std::string_view value) {
    TkDbTag t = makeTag(code, value);
    auto& v = own_->tags;
    v.insert(v.begin() + static_cast<ptrdiff_t>(std::min(index, v.size())), t);
}

void TkDbRecord::erase(size_t from, size_t to) {
    auto& v = own().tags;
    if (from >= to || from >= v.size()) return;
    v.erase(v.begin() + static_cast<ptrdiff_t>(from), v.begin() + static_cast<ptrdiff_t>(std::min(to, v.size())));
}

void TkDbRecord::replaceTail(size_t from, const std::vector<TkDbValue>& values) {
    erase(from, count());
    for (const auto& v : values) insert(count(), v.code, v.text);
}
