// drawkit audit FILE [--json]: what the reader repaired or let pass in a drawing, one line each.
// Exit 0 when it read as it is, 1 when it read with repairs, 2 when it is refused.
#include <cstdio>

#include "tools/drawkit/Commands.h"
#include "tools/drawkit/Json.h"

int drawkitAudit(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "--json")) {
        std::fprintf(stderr, "usage: drawkit audit FILE [--json]\n");
        return 2;
    }
    const std::string& path = args[0];
    const bool asJson = args.size() == 2;
    TkDbDatabase db;
    TkDbResult r = db.readDxfFile(path);
    if (asJson) {
        std::string o = "{\n  \"file\": " + json(path) + ",\n  \"status\": \"" +
                        (!r ? "refused" : db.problems().empty() ? "clean" : "repaired") + "\",\n";
        if (!r) o += "  \"reason\": " + json(r.message) + ",\n  \"line\": " + std::to_string(r.line) + ",\n";
        o += "  \"problems\": [";
        for (size_t i = 0; i < db.problems().size(); ++i) {
            const TkDbResult& p = db.problems()[i];
            o += std::string(i ? ",\n" : "\n") + "    {\"line\": " + std::to_string(p.line) + ", \"message\": " + json(p.message) + "}";
        }
        o += db.problems().empty() ? "]\n}\n" : "\n  ]\n}\n";
        std::fputs(o.c_str(), stdout);
    } else if (!r) {
        reportFailure(path, r);
    } else {
        for (const TkDbResult& p : db.problems()) std::printf("%s: %s\n", path.c_str(), p.describe().c_str());
        std::printf("%s: %s\n", path.c_str(),
                    db.problems().empty() ? "reads as it is"
                                          : (std::to_string(db.problems().size()) + " problem" + (db.problems().size() == 1 ? "" : "s") +
                                             " found; the drawing reads, and a save writes what was repaired")
                                                .c_str());
    }
    if (!r) return 2;
    return db.problems().empty() ? 0 : 1;
}
