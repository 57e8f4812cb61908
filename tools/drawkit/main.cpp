// drawkit: the drawing toolkit and sheet sets on the command line, for people and scripts. The verbs,
// their arguments and help are in Verbs.cpp; the verbs themselves in the files named after them.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagWriter.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/Json.h"
#include "tools/drawkit/Verbs.h"
#include "toolkit/common/TkIdentity.h"
#include "VornVersion.h"

namespace {

// A verb we do not have: the one it most likely meant, or where the list is.
int unknownVerb(const std::string& name) {
    if (name.starts_with("-")) {
        std::fprintf(stderr, "drawkit: unknown option '%s' (drawkit --help lists the verbs)\n", name.c_str());
    } else if (const Verb* v = closestVerb(name)) {
        std::fprintf(stderr, "drawkit: unknown verb '%s'; did you mean '%s'?\n", name.c_str(), v->name);
    } else {
        std::fprintf(stderr, "drawkit: unknown verb '%s' (drawkit help lists the verbs)\n", name.c_str());
    }
    return 2;
}

// Characters in UTF-8 text: every byte but the continuation bytes.
size_t textWidth(const std::string& s) {
    return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string padded(const std::string& s, size_t width) {
    size_t w = textWidth(s);
    return w >= width ? s : s + std::string(width - w, ' ');
}

struct StampEntry {
    std::string name;
    std::string value;
};

std::vector<StampEntry> readStamp(const TkDbDatabase& db, bool& present) {
    std::vector<StampEntry> out;
    present = false;
    auto root = db.dictionary(db.namedObjectsDictionary());
    if (!root) return out;
    auto stamp = db.dictionary(root->get("VrSheetSetData"));
    if (!stamp) return out;
    present = true;
    for (auto& e : stamp->entries()) {
        StampEntry s{e.name, ""};
        if (auto x = db.xrecord(e.handle)) {
            auto values = x->values();
            if (!values.empty()) s.value = values.front().text;
        }
        out.push_back(std::move(s));
    }
    return out;
}

int info(const std::string& path, bool asJson, bool strict) {
    TkDbDatabase db;
    TkDbReadOptions opt;
    opt.recover = !strict;
    if (!readOrReport(db, path, opt)) return 2;
    auto layouts = db.layouts();
    bool hasStamp = false;
    auto stamp = readStamp(db, hasStamp);
    auto counts = db.entityCounts();
    std::string current = db.currentLayoutName();
    if (asJson) {
        std::string o = "{\n";
        o += "  \"file\": " + json(path) + ",\n";
        o += "  \"version\": " + json(tkDbVersionName(db.version())) + ",\n";
        o += "  \"acadver\": " + json(db.getVar("$ACADVER")) + ",\n";
        o += "  \"lastSavedBy\": " + json(db.getSysVar("LOGINNAME")) + ",\n";
        o += "  \"currentLayout\": " + json(current) + ",\n";
        o += "  \"layouts\": [";
        for (size_t i = 0; i < layouts.size(); ++i) {
            const auto& l = layouts[i];
            char size[96];
            std::snprintf(size, sizeof size, "\"paperWidth\": %.17g, \"paperHeight\": %.17g", l.paperWidth(), l.paperHeight());
            o += std::string(i ? ",\n" : "\n") + "    {\"name\": " + json(l.name()) + ", \"handle\": " + json(l.handleText()) +
                 ", \"tabOrder\": " + std::to_string(l.tabOrder()) + ", \"paper\": " + json(l.paperName()) + ", " + size +
                 ", \"initialized\": " + (db.isInitialized(l) ? "true" : "false") + "}";
        }
        o += "\n  ],\n";
        o += "  \"pageSetups\": [";
        auto setups = db.pageSetups();
        for (size_t i = 0; i < setups.size(); ++i)
            o += std::string(i ? ", " : "") + "{\"name\": " + json(setups[i].pageSetupName()) + ", \"paper\": " +
                 json(setups[i].paperName()) + ", \"plotAreaType\": " + std::to_string(setups[i].plotAreaType()) +
                 ", \"modelSpace\": " + (setups[i].isModelSetup() ? "true" : "false") + "}";
        o += "],\n";
        o += "  \"stamp\": ";
        if (!hasStamp) {
            o += "null";
        } else {
            o += "{";
            for (size_t i = 0; i < stamp.size(); ++i) o += (i ? ", " : "") + json(stamp[i].name) + ": " + json(stamp[i].value);
            o += "}";
        }
        o += ",\n  \"entities\": {\"modelSpace\": " + std::to_string(counts.modelSpace) +
             ", \"paperSpace\": " + std::to_string(counts.paperSpace) + ", \"blocks\": " + std::to_string(counts.blocks) + "},\n";
        o += "  \"problems\": [";
        for (size_t i = 0; i < db.problems().size(); ++i) o += (i ? ", " : "") + json(db.problems()[i].describe());
        o += "]\n}\n";
        std::fputs(o.c_str(), stdout);
        return 0;
    }
    std::printf("File:           %s\n", path.c_str());
    std::printf("Version:        %s (%s)\n", std::string(tkDbVersionName(db.version())).c_str(), db.getVar("$ACADVER").c_str());
    std::printf("Last saved by:  %s\n", db.getSysVar("LOGINNAME").c_str());
    std::printf("Current layout: %s\n", current.c_str());
    std::printf("Layouts:\n");
    // Columns as wide as their longest entry, counted in characters, not UTF-8 bytes.
    size_t nameWidth = 24, paperWidth = 34;
    for (const auto& l : layouts) {
        nameWidth = std::max(nameWidth, textWidth(l.name()) + 1);
        paperWidth = std::max(paperWidth, textWidth(l.paperName()) + 1);
    }
    std::printf("  %-3s %s %-8s %s %-18s %s\n", "tab", padded("name", nameWidth).c_str(), "handle", padded("paper", paperWidth).c_str(),
                "size (mm)", "initialized");
    for (const auto& l : layouts) {
        char size[40];
        std::snprintf(size, sizeof size, "%g x %g", l.paperWidth(), l.paperHeight());
        std::printf("  %-3d %s %-8s %s %-18s %s\n", l.tabOrder(), padded(l.name(), nameWidth).c_str(), l.handleText().c_str(),
                    padded(l.paperName(), paperWidth).c_str(), size, db.isInitialized(l) ? "yes" : "no");
    }
    for (auto& p : db.pageSetups())
        std::printf("Page setup:     %s (%s, plot area %d%s)\n", p.pageSetupName().c_str(), p.paperName().c_str(),
                    p.plotAreaType(), p.isModelSetup() ? ", model space" : "");
    if (hasStamp) {
        std::printf("Sheet set stamp (VrSheetSetData):\n");
        for (auto& s : stamp) std::printf("  %-14s %s\n", s.name.c_str(), s.value.c_str());
    } else {
        std::printf("Sheet set stamp: none\n");
    }
    std::printf("Entities:       %zu in model space, %zu in paper space, %zu in block definitions\n", counts.modelSpace,
                counts.paperSpace, counts.blocks);
    for (auto& p : db.problems()) std::printf("Recovered:      %s\n", p.describe().c_str());
    return 0;
}

int roundtrip(const std::string& in, const std::string& out, int version) {
    TkDbDatabase db;
    if (!readOrReport(db, in)) return 2;
    TkDbResult r = db.saveAs(out, version ? version : db.version());
    if (!r) {
        reportFailure(out, r);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tkEnsureRuntimeDir();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(overallHelp().c_str(), stderr);
        return 2;
    }
    if (args[0] == "--version") {
        std::printf("drawkit " VORN_VERSION "\n");
        return 0;
    }
    if (args[0] == "--help" || args[0] == "-h" || (args[0] == "help" && args.size() == 1)) {
        std::fputs(overallHelp().c_str(), stdout);
        return 0;
    }
    if (args[0] == "help") {
        const Verb* v = findVerb(args[1]);
        if (!v) return unknownVerb(args[1]);
        std::fputs(verbHelp(*v).c_str(), stdout);
        return 0;
    }
    const Verb* verb = findVerb(args[0]);
    if (!verb) return unknownVerb(args[0]);
    if (asksForHelp(*verb, std::vector<std::string>(args.begin() + 1, args.end()))) {
        std::fputs(verbHelp(*verb).c_str(), stdout);
        return 0;
    }
    if (int code = checkVerbArgs(*verb, std::vector<std::string>(args.begin() + 1, args.end()))) return code;
    if (args[0] == "edit") return drawkitEdit(std::vector<std::string>(args.begin() + 1, args.end()));
    if (args[0] == "objects") return drawkitObjects(args[1]);
    if (args[0] == "sheets") return drawkitSheets(std::vector<std::string>(args.begin() + 1, args.end()));
    if (args[0] == "check") return drawkitCheck(std::vector<std::string>(args.begin() + 1, args.end()));
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "audit") return drawkitAudit(rest);
    if (args[0] == "new-set") return drawkitNewSet(rest);
    if (args[0] == "new-sheet") return drawkitNewSheet(rest);
    if (args[0] == "import") return drawkitImport(rest);
    if (args[0] == "remove") return drawkitRemove(rest);
    if (args[0] == "publish") return drawkitPublish(rest);
    if (args[0] == "update-fields") return drawkitUpdateFields(rest);
    if (args[0] == "resave") return drawkitResave(rest);
    if (args[0] == "renumber") return drawkitRenumber(rest);
    if (args[0] == "rename") return drawkitRename(rest);
    if (args[0] == "sheet-list") return drawkitSheetList(rest);
    if (args[0] == "index") return drawkitIndex(rest);
    if (args[0] == "selection") return drawkitSelection(rest);
    if (args[0] == "transmit") return drawkitTransmit(rest);
    if (args[0] == "new-subset") return drawkitNewSubset(rest);
    if (args[0] == "move") return drawkitMove(rest);
    if (args[0] == "prop") return drawkitProp(rest);
    if (args[0] == "restamp") return drawkitRestamp(rest);
    if (args[0] == "thumb") return drawkitThumb(std::vector<std::string>(args.begin() + 1, args.end()));
    std::vector<std::string> pos;
    bool asJson = false, strict = false;
    int version = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json") asJson = true;
        else if (args[i] == "--strict") strict = true;
        else if (args[i] == "--recover") continue;  // what every read does now; kept for old scripts
        else if (args[i] == "--version" && i + 1 < args.size()) {
            char* end = nullptr;
            version = static_cast<int>(std::strtol(args[++i].c_str(), &end, 10));
            if (!end || *end || tkDbVersionString(version).empty()) {
                return usageError(args[0], "unknown drawing version code " + args[i] + " (use 21 to 33)");
            }
        } else pos.push_back(args[i]);
    }
    if (args[0] == "info") return info(pos[0], asJson, strict);
    return roundtrip(pos[0], pos[1], version);
}
