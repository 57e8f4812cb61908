#pragma once
// Output helpers of drawkit: JSON text for --json, one-line failure reports.
#include <cstdio>
#include <string>
#include <string_view>

inline std::string json(std::string_view s) {
    std::string o = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': o += "\\\""; break;
        case '\\': o += "\\\\"; break;
        case '\n': o += "\\n"; break;
        case '\r': o += "\\r"; break;
        case '\t': o += "\\t"; break;
        default:
            if (c < 0x20) {
                char b[8];
                std::snprintf(b, sizeof b, "\\u%04x", c);
                o += b;
            } else {
                o.push_back(static_cast<char>(c));
            }
        }
    }
    return o + "\"";
}

#include "toolkit/db/TkDbError.h"

// One line on standard error: "drawkit: FILE: message (line N)", the file named once.
inline void reportFailure(const std::string& file, const TkDbResult& r) {
    std::string msg = r.describe();
    if (msg.find(file) == std::string::npos) msg = file + ": " + msg;
    std::fprintf(stderr, "drawkit: %s\n", msg.c_str());
}

#include "toolkit/db/TkDbDatabase.h"

// Reads a drawing; on failure reports it in one line and returns false.
inline bool readOrReport(TkDbDatabase& db, const std::string& path, const TkDbReadOptions& opt = {}) {
    TkDbResult r = db.readDxfFile(path, opt);
    if (!r) reportFailure(path, r);
    return r.ok();
}
