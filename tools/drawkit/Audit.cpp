// drawkit audit FILE [--json]: what the reader repaired or let pass in a drawing, one line each,
// and what a drawing of each layout leaves out under the budgets every render and extents
// computation has (nesting too deep, too many entities from blocks).
// Exit 0 when it read as it is, 1 when it read with repairs or leaves something out, 2 when it is refused.
#include <cstdio>

#include "toolkit/db/TkDbExtents.h"
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
    // The same budgets as a thumbnail or a published page, measured by the extents that need no
    // drawing: what they skip is what those skip.
    std::vector<std::string> notes;
    if (r)
        for (const TkDbLayout& l : db.layouts()) {
            TkDbPoint3 lo, hi;
            std::vector<std::string> skipped;
            db.blockExtents(l.blockRecordHandle(), lo, hi, &skipped);
            if (std::string n = TkDbExtentsCalc(db).viewportsNote(l.blockRecordHandle()); !n.empty()) skipped.push_back(n);
            for (const std::string& n : skipped) notes.push_back("layout \"" + l.name() + "\": " + n);
        }
    const bool clean = db.problems().empty() && notes.empty();
    if (asJson) {
        std::string o = "{\n  \"file\": " + json(path) + ",\n  \"status\": \"" +
                        (!r ? "refused" : clean ? "clean" : db.problems().empty() ? "left out" : "repaired") + "\",\n";
        if (!r) o += "  \"reason\": " + json(r.message) + ",\n  \"line\": " + std::to_string(r.line) + ",\n";
        o += "  \"problems\": [";
        for (size_t i = 0; i < db.problems().size(); ++i) {
            const TkDbResult& p = db.problems()[i];
            o += std::string(i ? ",\n" : "\n") + "    {\"line\": " + std::to_string(p.line) + ", \"message\": " + json(p.message) + "}";
        }
        o += db.problems().empty() ? "],\n" : "\n  ],\n";
        o += "  \"notes\": [";
        for (size_t i = 0; i < notes.size(); ++i) o += std::string(i ? ", " : "") + json(notes[i]);
        o += "]\n}\n";
        std::fputs(o.c_str(), stdout);
    } else if (!r) {
        reportFailure(path, r);
    } else {
        for (const TkDbResult& p : db.problems()) std::printf("%s: %s\n", path.c_str(), p.describe().c_str());
        for (const std::string& n : notes) std::printf("%s: note: %s\n", path.c_str(), n.c_str());
        std::printf("%s: %s\n", path.c_str(),
                    clean ? "reads as it is"
                    : db.problems().empty() ? "reads as it is; a drawing of it leaves out what the notes say"
                                          : (std::to_string(db.problems().size()) + " problem" + (db.problems().size() == 1 ? "" : "s") +
                                             " found; the drawing reads, and a save writes what was repaired")
                                                .c_str());
    }
    if (!r) return 2;
    return clean ? 0 : 1;
}
