#include "tools/drawkit/Verbs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace {

const VerbOption kWait{"--wait", "SECONDS", "wait up to SECONDS for the set's lock instead of exiting 3 at once"};

const char* const kExitCodes =
    "exit status:\n"
    "  0  done\n"
    "  1  done in part, an item not found, or a drawing held by someone else\n"
    "  2  a usage error, or input that cannot be read\n"
    "  3  the sheet set is locked by someone else (--wait SECONDS waits for it)\n";

std::vector<Verb> makeVerbs() {
    using V = Verb;
    return {
        {"info", "FILE [--json] [--strict]", "a drawing's version, layouts, page setups, sheet set stamp and entity counts",
         {{"--json", "", "as JSON"}, {"--strict", "", "refuse a damaged drawing instead of repairing it in memory"},
          {"--recover", "", "(what every read does; kept for old scripts)"}},
         "drawkit info \"A-101 Ground Floor.dwg\" --json", 1, 1, V::Drawing},
        {"audit", "FILE [--json]", "the repairs a drawing needs and the parts a drawing pass would leave out",
         {{"--json", "", "as JSON"}}, "drawkit audit site.dxf", 1, 1, V::Drawing, "the drawing needed repairs, or a drawing pass leaves parts out"},
        {"roundtrip", "IN OUT [--version CODE]", "reads a drawing and writes it again, in another DXF version if asked",
         {{"--version", "CODE", "21 (R14) to 33 (R2018); default: as read"}}, "drawkit roundtrip old.dxf new.dxf --version 27", 2, 2,
         V::Drawing},
        {"objects", "FILE", "the named objects dictionary of a drawing as JSON, with xrecord values", {}, "drawkit objects plan.dwg", 1, 1,
         V::Drawing},
        {"thumb", "FILE OUT.png [LAYOUT] [WIDTHxHEIGHT]", "a layout drawn to a PNG image (default: the current layout, 256x168)", {},
         "drawkit thumb plan.dwg plan.png \"Ground Floor\" 512x336", 2, 4, V::Drawing},
        {"edit", "IN OUT [--rename OLD NEW] [--delete NAME] [--current NAME] [--version CODE]",
         "renames, deletes or makes current layouts of a drawing and writes the result to OUT",
         {{"--rename", "OLD NEW", "rename a layout", 2},
          {"--delete", "NAME", "delete a layout"},
          {"--current", "NAME", "make a layout current"},
          {"--version", "CODE", "the DXF version to write, 21 to 33"}},
         "drawkit edit plan.dwg plan2.dwg --rename Layout1 \"Ground Floor\"", 2, 2, V::Drawing},
        {"sheets", "SET.dst [--json|--csv]", "the sheet tree of a set, or its sheet index as CSV",
         {{"--json", "", "the tree as JSON"}, {"--csv", "", "the sheet index: one row a sheet, with its properties"}},
         "drawkit sheets \"Riverside Library.dst\" --csv > index.csv", 1, 1, V::Set},
        {"check", "SET.dst [--json] [--repair]", "what is wrong with a set: missing drawings and layouts, duplicate numbers, ...",
         {{"--json", "", "as JSON"}, {"--repair", "", "mend what can be mended without asking (under the set's lock)"}, kWait},
         "drawkit check \"Riverside Library.dst\"", 1, 1, V::Set, "the set has errors"},
        {"new-set", "SET.dst --from FOLDER... [options] | SET.dst --example EXAMPLE.dst [options]",
         "a new sheet set from the layouts of the drawings in folders, or from an example set",
         {{"--from", "FOLDER...", "the folders whose drawings become sheets"},
          {"--example", "EXAMPLE.dst", "a set whose subsets and properties the new one copies"},
          {"--subsets-by-folder", "", "one subset for each folder"},
          {"--prefix-file-name", "", "sheet titles start with the drawing's file name"},
          {"--ignore-top-folder", "", "no subset for the top folder itself"},
          {"--name", "NAME", "the set's name (default: the file name)"},
          {"--description", "TEXT", "the set's description"},
          {"--json", "", "what was made, as JSON"}},
         "drawkit new-set Tower.dst --from drawings --subsets-by-folder", 1, 1, V::NewSet},
        {"new-subset", "SET.dst PATH [NAME=VALUE...]", "a subset, with the subsets above it that do not exist yet",
         {kWait}, "drawkit new-subset \"Riverside Library.dst\" \"Architecture/Sections\"", 2, -1, V::Set},
        {"move", "SET.dst ITEM --to SUBSET [--after ITEM]", "moves a sheet or subset (ITEM: a sheet number or subset path)",
         {{"--to", "SUBSET", "the subset to move into (\"/\" for the top)"}, {"--after", "ITEM", "place it after this one"}, kWait},
         "drawkit move \"Riverside Library.dst\" A-201 --to Architecture/Elevations", 2, 2, V::Set},
        {"prop", "SET.dst [ITEM] NAME=VALUE...", "sets custom properties of the set, or of a sheet or subset",
         {{"--nested", "", "a subset's value reaches the sheets under it"}, kWait},
         "drawkit prop \"Riverside Library.dst\" A-101 Checked=JK", 2, -1, V::Set},
        {"restamp", "SET.dst", "points the stamps of moved drawings at the set", {kWait}, "drawkit restamp \"Riverside Library.dst\"", 1, 1,
         V::Set},
        {"new-sheet", "SET.dst --subset PATH --number N --title T [--file NAME] | SET.dst --from-csv SHEETS.csv",
         "new sheets from the set's template: one, or a CSV's rows (Number, Title, Subset, File, properties) under one lock",
         {{"--subset", "PATH", "the subset it goes in"},
          {"--number", "N", "its number (unique in the set)"},
          {"--title", "T", "its title"},
          {"--file", "NAME", "the drawing's file name (default: from the number and title)"},
          {"--from-csv", "SHEETS.csv", "one sheet a row"},
          kWait},
         "drawkit new-sheet \"Riverside Library.dst\" --subset Architecture/Plans --number A-104 --title \"Roof Plan\"", 1, 1, V::Set},
        {"import", "SET.dst DRAWING... [--layout NAME]... [--subset PATH] [--prefix-file-name] | SET.dst DRAWING --layout NAME --for SHEET",
         "layouts of existing drawings as sheets, or a new layout for an existing sheet",
         {{"--layout", "NAME", "only this layout (may be given more than once)"},
          {"--subset", "PATH", "the subset the sheets go in"},
          {"--prefix-file-name", "", "sheet titles start with the drawing's file name"},
          {"--for", "SHEET", "the sheet that takes the layout"},
          kWait},
         "drawkit import \"Riverside Library.dst\" survey.dwg --subset General", 2, -1, V::Set},
        {"remove", "SET.dst ITEM...", "removes sheets and empty subsets from the set; the drawings stay on disk", {kWait},
         "drawkit remove \"Riverside Library.dst\" A-104", 2, -1, V::Set},
        {"publish", "SET.dst OUT.pdf [ITEM...] [options]", "the set (or the items named) as one PDF, or a PDF per sheet",
         {{"--page-setup", "NAME", "a named page setup of the set's page setup overrides file"},
          {"--reverse", "", "last sheet first"},
          {"--stamp", "", "a plot stamp on each page"},
          {"--log", "FILE", "a log of every sheet published or skipped"},
          {"--style", "STYLE", "monochrome (default), displayed or grayscale"},
          {"--jobs", "N", "workers drawing pages at once (default: one a core)"},
          {"--title", "TEXT", "the document's title (default: the set's name)"},
          {"--open", "", "open the PDF when it is written"},
          {"--one-per-sheet", "", "OUT is a folder that gets a PDF for each sheet"}},
         "drawkit publish \"Riverside Library.dst\" Riverside.pdf Architecture --log publish.log", 2, -1, V::Set,
         "sheets were skipped; the log says why"},
        {"transmit", "SET.dst OUT.zip [ITEM...]", "a zip package of the set, its drawings, xrefs, images, templates and a report",
         {}, "drawkit transmit \"Riverside Library.dst\" Riverside.zip", 2, -1, V::Set, "files were left out; the report says why"},
        {"update-fields", "SET.dst [--json]", "title blocks of the set's drawings brought up to the set's values",
         {{"--json", "", "what changed, as JSON"}, kWait}, "drawkit update-fields \"Riverside Library.dst\"", 1, 1, V::Set},
        {"resave", "SET.dst [--log FILE]", "every sheet's drawing stamped with the set and saved; failures logged",
         {{"--log", "FILE", "where to write the log"}, kWait}, "drawkit resave \"Riverside Library.dst\" --log resave.log", 1, 1, V::Set},
        {"renumber", "SET.dst SUBSET --pattern P [--start N] [--step N] [--rename-layouts] [--rename-files] [--dry-run]",
         "numbers a subset's sheets in order by a pattern; a collision with another sheet changes nothing",
         {{"--pattern", "P", "the numbers, # for each digit: \"A-1##\""},
          {"--start", "N", "the first number (default 1)"},
          {"--step", "N", "between numbers (default 1)"},
          {"--rename-layouts", "", "layouts take the new sheet names"},
          {"--rename-files", "", "drawing files take the new sheet names"},
          {"--dry-run", "", "say what would change, change nothing"},
          kWait},
         "drawkit renumber \"Riverside Library.dst\" Architecture/Plans --pattern \"A-1##\" --dry-run", 2, 2, V::Set},
        {"rename", "SET.dst ITEM [--number N] [--title T] [--rename-layout] [--rename-file]",
         "a sheet's new number or title, and with them its layout or drawing file if asked",
         {{"--number", "N", "the new number"},
          {"--title", "T", "the new title"},
          {"--rename-layout", "", "the layout takes the new sheet name"},
          {"--rename-file", "", "the drawing file takes the new sheet name"},
          kWait},
         "drawkit rename \"Riverside Library.dst\" A-101 --title \"Ground Floor Plan\"", 2, 2, V::Set},
        {"sheet-list", "SET.dst SHEET [--at X,Y] [--columns COLUMNS]", "a sheet list table in a sheet's layout, kept current",
         {{"--at", "X,Y", "its upper left corner in the layout's units"},
          {"--columns", "COLUMNS", "a comma list such as number,title,revision"},
          kWait},
         "drawkit sheet-list \"Riverside Library.dst\" G-002 --at 20,574", 2, 2, V::Set},
        {"index", "SET.dst --apply INDEX.csv [--dry-run] [--skip-unmatched] [--rename-layouts]",
         "an edited sheet index (from sheets --csv) applied back to the set",
         {{"--apply", "INDEX.csv", "the edited index"},
          {"--dry-run", "", "say what would change, change nothing"},
          {"--skip-unmatched", "", "rows that match no sheet are left alone instead of refused"},
          {"--rename-layouts", "", "layouts take the new sheet names"},
          kWait},
         "drawkit index \"Riverside Library.dst\" --apply index.csv --dry-run", 1, 1, V::Set},
        {"selection", "SET.dst add NAME ITEM... | restore NAME | rename OLD NEW | delete NAME", "named sheet selections of the set",
         {kWait}, "drawkit selection \"Riverside Library.dst\" add \"For client\" A-101 A-102", 3, -1, V::Set},
    };
}

bool isOption(const std::string& a) {
    // "-" alone and negative numbers are values, not options.
    return a.size() > 1 && a[0] == '-' && !(std::isdigit(static_cast<unsigned char>(a[1])) || a[1] == '.');
}

const VerbOption* optionOf(const Verb& v, const std::string& name) {
    for (const VerbOption& o : v.options)
        if (name == o.name) return &o;
    return nullptr;
}

int valuesOf(const VerbOption& o) { return o.values >= 0 ? o.values : (*o.value ? 1 : 0); }

size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::string optionList(const Verb& v) {
    std::string list;
    for (const VerbOption& o : v.options)
        if (std::string(o.name) != "--recover") list += (list.empty() ? "" : ", ") + std::string(o.name);
    return list.empty() ? "none" : list;
}

}  // namespace

const std::vector<Verb>& drawkitVerbs() {
    static const std::vector<Verb> verbs = makeVerbs();
    return verbs;
}

const Verb* findVerb(const std::string& name) {
    for (const Verb& v : drawkitVerbs())
        if (name == v.name) return &v;
    return nullptr;
}

const Verb* closestVerb(const std::string& name) {
    const Verb* best = nullptr;
    size_t bestDistance = 3;  // two edits at most, and fewer than half the word
    for (const Verb& v : drawkitVerbs()) {
        const size_t d = editDistance(name, v.name);
        if (d < bestDistance && d * 2 < std::string(v.name).size()) best = &v, bestDistance = d;
    }
    if (best) return best;
    // A unique beginning: "pub" for publish.
    for (const Verb& v : drawkitVerbs())
        if (name.size() >= 2 && std::string(v.name).starts_with(name)) {
            if (best) return nullptr;
            best = &v;
        }
    return best;
}

std::string verbHelp(const Verb& v) {
    std::string summary = v.summary;
    if (!summary.ends_with(".")) summary += ".";
    summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    std::string o = "usage: drawkit " + std::string(v.name) + " " + v.synopsis + "\n\n" + summary + "\n";
    if (!v.options.empty()) {
        o += "\noptions:\n";
        for (const VerbOption& opt : v.options) {
            std::string left = "  " + std::string(opt.name) + (*opt.value ? " " + std::string(opt.value) : "");
            if (left.size() < 26) left.resize(26, ' ');
            else left += "\n" + std::string(26, ' ');
            o += left + opt.what + "\n";
        }
    }
    o += std::string("  -h, --help").append(14, ' ') + "this help\n";
    o += "\nexample:\n  " + std::string(v.example) + "\n\n" + kExitCodes;
    if (*v.exitNote) o += "  here 1 also means: " + std::string(v.exitNote) + "\n";
    return o;
}

std::string overallHelp() {
    std::string o = "usage: drawkit VERB [ARGUMENTS] [OPTIONS]\n\n";
    for (const Verb& v : drawkitVerbs()) {
        std::string name = "  " + std::string(v.name);
        name.resize(16, ' ');
        o += name + v.summary + "\n";
    }
    o += "\n  drawkit help VERB (or drawkit VERB --help) shows a verb's arguments, options and an example.\n"
         "  drawkit --version shows the version.\n\n";
    return o + kExitCodes;
}

int usageError(const std::string& verb, const std::string& what) {
    const Verb* v = findVerb(verb);
    std::fprintf(stderr, "drawkit %s: %s\n", verb.c_str(), what.c_str());
    if (v) std::fprintf(stderr, "usage: drawkit %s %s\n(drawkit help %s for more)\n", v->name, v->synopsis, v->name);
    return 2;
}

bool asksForHelp(const Verb& v, const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") return true;
        if (const VerbOption* o = optionOf(v, args[i])) i += valuesOf(*o) > 0 ? static_cast<size_t>(valuesOf(*o)) : 0;
    }
    return false;
}

int checkVerbArgs(const Verb& v, const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!isOption(a)) {
            positional.push_back(a);
            continue;
        }
        const VerbOption* o = optionOf(v, a);
        if (!o) return usageError(v.name, "unknown option " + a + " (options: " + optionList(v) + ")");
        if (std::string(o->value).ends_with("...")) {  // values up to the next option
            size_t n = 0;
            while (i + 1 < args.size() && !isOption(args[i + 1])) ++i, ++n;
            if (n == 0) return usageError(v.name, a + " needs at least one " + std::string(o->value, std::string(o->value).size() - 3));
            continue;
        }
        const int n = valuesOf(*o);
        if (i + static_cast<size_t>(n) >= args.size())
            return usageError(v.name, a + " needs " + (n == 1 ? "a value: " : "values: ") + o->value);
        i += static_cast<size_t>(n);
    }
    const int count = static_cast<int>(positional.size());
    if (count < v.minArgs) return usageError(v.name, count == 0 ? "missing arguments" : "too few arguments");
    if (v.maxArgs >= 0 && count > v.maxArgs) return usageError(v.name, "unexpected argument " + positional[static_cast<size_t>(v.maxArgs)]);
    if (positional.empty()) return 0;
    std::error_code ec;
    const std::string& first = positional.front();
    if (v.input == Verb::Set && !std::filesystem::is_regular_file(first, ec)) {
        std::fprintf(stderr, "drawkit %s: %s: no such sheet set file\n", v.name, first.c_str());
        return 2;
    }
    if (v.input == Verb::Drawing && !std::filesystem::is_regular_file(first, ec)) {
        std::fprintf(stderr, "drawkit %s: %s: no such drawing\n", v.name, first.c_str());
        return 2;
    }
    return 0;
}
