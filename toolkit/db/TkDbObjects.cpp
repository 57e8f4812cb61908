#include "toolkit/db/TkDbObjects.h"
#include "toolkit/db/TkDbCodes.h"
#include "toolkit/common/TkUtf8.h"

#include <cctype>

#include "toolkit/db/TkDbTagWriter.h"

namespace {
constexpr std::string_view kPlot = "AcDbPlotSettings";
constexpr std::string_view kLayout = "AcDbLayout";

TkDbPoint3 point(const TkDbRecord* r, int code, std::string_view sub) {
    return {r->real(code, sub), r->real(code + 10, sub), r->real(code + 20, sub)};
}
}  // namespace

bool tkDbNameEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (tkAsciiLower(a[i]) != tkAsciiLower(b[i])) return false;
    return true;
}

bool tkDbStartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && tkDbNameEqualNoCase(s.substr(0, prefix.size()), prefix);
}

std::string TkDbPlotSettings::handleText() const { return tkDbHandleText(handle()); }
std::string TkDbPlotSettings::pageSetupName() const { return std::string(rec_->str(1, kPlot)); }
std::string TkDbPlotSettings::plotDevice() const { return std::string(rec_->str(2, kPlot)); }
std::string TkDbPlotSettings::paperName() const { return std::string(rec_->str(4, kPlot)); }
double TkDbPlotSettings::paperWidth() const { return rec_->real(44, kPlot); }
double TkDbPlotSettings::paperHeight() const { return rec_->real(45, kPlot); }
int TkDbPlotSettings::plotAreaType() const { return static_cast<int>(rec_->integer(74, kPlot)); }
int TkDbPlotSettings::plotRotation() const { return static_cast<int>(rec_->integer(73, kPlot)); }
int TkDbPlotSettings::plotPaperUnits() const { return static_cast<int>(rec_->integer(72, kPlot, 1)); }
bool TkDbPlotSettings::isModelSetup() const { return (rec_->integer(70, kPlot) & 1024) != 0; }

std::string TkDbLayout::name() const { return std::string(rec_->str(1, kLayout)); }
int TkDbLayout::tabOrder() const { return static_cast<int>(rec_->integer(71, kLayout)); }
uint64_t TkDbLayout::blockRecordHandle() const { return rec_->ref(330, kLayout); }
uint64_t TkDbLayout::lastActiveViewport() const { return rec_->ref(331, kLayout); }
TkDbPoint3 TkDbLayout::extMin() const { return point(rec_, 14, kLayout); }
TkDbPoint3 TkDbLayout::extMax() const { return point(rec_, 15, kLayout); }
TkDbPoint3 TkDbLayout::limMin() const { return point(rec_, 10, kLayout); }
TkDbPoint3 TkDbLayout::limMax() const { return point(rec_, 11, kLayout); }

std::vector<TkDbDictionary::Entry> TkDbDictionary::entries() const {
    std::vector<Entry> out;
    auto t = rec_->tags();
    size_t end = rec_->xdataStart();
    bool inGroup = false;
    for (size_t i = 1; i < end; ++i) {
        if (t[i].code == tkdxf::kAppGroup) { inGroup = t[i].len > 0 && t[i].ptr[0] == '{'; continue; }
        if (inGroup || t[i].code != 3) continue;
        Entry e{std::string(t[i].value()), 0, i};
        // The entry's handle follows its key: 350 soft owner, 360 hard owner.
        if (i + 1 < end && (t[i + 1].code == tkdxf::kSoftOwner || t[i + 1].code == tkdxf::kHardOwner)) tkDbParseHandle(t[i + 1].value(), e.handle);
        out.push_back(std::move(e));
    }
    return out;
}

std::optional<TkDbDictionary::Entry> TkDbDictionary::find(std::string_view name) const {
    for (auto& e : entries())
        if (e.name == name) return e;
    return std::nullopt;
}

uint64_t TkDbDictionary::get(std::string_view name) const {
    auto e = find(name);
    return e ? e->handle : 0;
}

size_t TkDbXrecord::dataStart() const {
    auto r = rec_->subclassRange("AcDbXrecord");
    if (r.first == TkDbRecord::npos) return rec_->count();
    size_t i = r.first;
    // The duplicate record cloning flag comes first; it is not part of the data.
    if (i < rec_->count() && rec_->tags()[i].code == 280) ++i;
    return i;
}

std::vector<TkDbValue> TkDbXrecord::values() const {
    std::vector<TkDbValue> out;
    auto t = rec_->tags();
    for (size_t i = dataStart(); i < t.size(); ++i) out.push_back({t[i].code, std::string(t[i].value())});
    return out;
}

std::string TkDbBlockRecord::name() const { return std::string(rec_->str(2)); }
uint64_t TkDbBlockRecord::layoutHandle() const { return rec_->ref(340, "AcDbBlockTableRecord"); }
bool TkDbBlockRecord::isModelSpace() const { return tkDbNameEqualNoCase(rec_->str(2), "*Model_Space"); }
bool TkDbBlockRecord::isPaperSpace() const { return tkDbStartsWithNoCase(rec_->str(2), "*Paper_Space"); }
bool TkDbBlockRecord::isAnonymous() const { return rec_->str(2).starts_with('*'); }

std::vector<unsigned char> TkDbBlockRecord::previewIcon() const {
    std::vector<unsigned char> out;
    auto t = rec_->tags();
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    size_t end = rec_->xdataStart();
    for (size_t i = 1; i < end; ++i) {
        if (t[i].code != 310) continue;
        std::string_view v = t[i].value();
        for (size_t k = 0; k + 1 < v.size(); k += 2) {
            int a = hex(v[k]), b = hex(v[k + 1]);
            if (a < 0 || b < 0) return {};  // damaged icon data: treat as no icon
            out.push_back(static_cast<unsigned char>((a << 4) | b));
        }
    }
    return out;
}
