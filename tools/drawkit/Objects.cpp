#include <cstdio>
#include <unordered_set>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagWriter.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/Json.h"

namespace {

void dump(const TkDbDatabase& db, uint64_t h, int depth, std::unordered_set<uint64_t>& seen, std::string& o) {
    std::string pad(static_cast<size_t>(depth) * 2, ' ');
    const TkDbRecord* r = db.byHandle(h);
    if (!r) {
        o += "null";
        return;
    }
    o += "{\"handle\": " + json(tkDbHandleText(h)) + ", \"type\": " + json(r->type());
    if (!seen.insert(h).second || depth > 32) {  // a dictionary that contains itself
        o += "}";
        return;
    }
    if (auto d = db.dictionary(h)) {
        o += ", \"entries\": {";
        bool first = true;
        for (auto& e : d->entries()) {
            o += std::string(first ? "\n" : ",\n") + pad + "  " + json(e.name) + ": ";
            first = false;
            dump(db, e.handle, depth + 1, seen, o);
        }
        o += "}";
    } else if (auto x = db.xrecord(h)) {
        o += ", \"values\": [";
        bool first = true;
        for (auto& v : x->values()) {
            o += std::string(first ? "" : ", ") + "[" + std::to_string(v.code) + ", " + json(v.text) + "]";
            first = false;
        }
        o += "]";
    }
    o += "}";
}

}  // namespace

int drawkitObjects(const std::string& path) {
    TkDbDatabase db;
    if (!readOrReport(db, path)) return 2;
    std::string o;
    std::unordered_set<uint64_t> seen;
    dump(db, db.namedObjectsDictionary(), 0, seen, o);
    std::puts(o.c_str());
    return 0;
}
