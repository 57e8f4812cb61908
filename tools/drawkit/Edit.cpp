#include <cstdio>
#include <cstdlib>

#include "toolkit/db/TkDbDatabase.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/Json.h"

int drawkitEdit(const std::vector<std::string>& a) {
    // a: IN OUT then operations, applied in the order given.
    if (a.size() < 2) {
        std::fprintf(stderr, "usage: drawkit edit IN OUT [--rename OLD NEW] [--delete NAME] [--current NAME] [--version CODE]\n");
        return 2;
    }
    TkDbDatabase db;
    if (!readOrReport(db, a[0])) return 2;
    TkDbResult r;
    int version = db.version();
    for (size_t i = 2; i < a.size(); ++i) {
        auto need = [&](size_t n) {
            if (i + n >= a.size()) {
                std::fprintf(stderr, "drawkit: %s needs %zu value(s)\n", a[i].c_str(), n);
                std::exit(2);
            }
        };
        if (a[i] == "--rename") { need(2); r = db.renameLayout(a[i + 1], a[i + 2]); i += 2; }
        else if (a[i] == "--delete") { need(1); r = db.deleteLayout(a[i + 1]); i += 1; }
        else if (a[i] == "--current") { need(1); r = db.setCurrentLayout(a[i + 1]); i += 1; }
        else if (a[i] == "--version") {
            need(1);
            version = std::atoi(a[i + 1].c_str());
            i += 1;
            if (tkDbVersionString(version).empty()) {
                std::fprintf(stderr, "drawkit: unknown drawing version code %s (use 21 to 33)\n", a[i].c_str());
                return 2;
            }
        } else {
            std::fprintf(stderr, "drawkit: unknown edit %s\n", a[i].c_str());
            return 2;
        }
        if (!r) {
            std::fprintf(stderr, "drawkit: %s\n", r.describe().c_str());
            return 1;
        }
    }
    r = db.saveAs(a[1], version);
    if (!r) {
        reportFailure(a[1], r);
        return 1;
    }
    return 0;
}
