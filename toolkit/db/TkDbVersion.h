#pragma once
// The toolkit's drawing version codes and their DXF version strings.
#include <string_view>

enum TkDbVersionCode : int {
    kTkDbVerUnknown = 0,
    kTkDbVerR12 = 16,    // AC1009, read only: it has no layouts or object handles to speak of
    kTkDbVerR14 = 21,    // AC1014, saved as R2000 because R14 cannot hold layouts
    kTkDbVerR2000 = 23,  // AC1015
    kTkDbVerR2004 = 25,  // AC1018
    kTkDbVerR2007 = 27,  // AC1021, first version whose text is UTF-8
    kTkDbVerR2010 = 29,  // AC1024
    kTkDbVerR2013 = 31,  // AC1027
    kTkDbVerR2018 = 33,  // AC1032
};

// "AC1024" for 29; empty for codes the toolkit does not know.
std::string_view tkDbVersionString(int code);
// 29 for "AC1024"; kTkDbVerUnknown for anything else.
int tkDbVersionFromString(std::string_view acadver);
// The version that is really written for a requested one (R14 becomes R2000).
int tkDbSaveVersion(int requested);
// "R2010" and the like, for people.
std::string_view tkDbVersionName(int code);
