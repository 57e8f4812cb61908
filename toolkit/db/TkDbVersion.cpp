#include "toolkit/db/TkDbVersion.h"

namespace {
struct VersionRow { int code; std::string_view acadver; std::string_view name; };
constexpr VersionRow kVersions[] = {
    {kTkDbVerR12, "AC1009", "R12"},     {kTkDbVerR14, "AC1014", "R14"},     {kTkDbVerR2000, "AC1015", "R2000"},
    {kTkDbVerR2004, "AC1018", "R2004"}, {kTkDbVerR2007, "AC1021", "R2007"}, {kTkDbVerR2010, "AC1024", "R2010"},
    {kTkDbVerR2013, "AC1027", "R2013"}, {kTkDbVerR2018, "AC1032", "R2018"},
};
}  // namespace

std::string_view tkDbVersionString(int code) {
    for (const auto& v : kVersions)
        if (v.code == code) return v.acadver;
    return {};
}

int tkDbVersionFromString(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    for (const auto& v : kVersions)
        if (v.acadver == s) return v.code;
    // R13 and the pre-R12 versions share R12's flat structure as far as this toolkit is concerned.
    if (s == "AC1012" || s == "AC1006" || s == "AC1004" || s == "AC1002") return kTkDbVerR12;
    return kTkDbVerUnknown;
}

int tkDbSaveVersion(int requested) { return requested == kTkDbVerR14 ? kTkDbVerR2000 : requested; }

std::string_view tkDbVersionName(int code) {
    for (const auto& v : kVersions)
        if (v.code == code) return v.name;
    return "unknown";
}
