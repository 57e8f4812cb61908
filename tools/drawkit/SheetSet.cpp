// drawkit sheets / check: a sheet set read through the sheet set model, for nightly jobs over a
// project share. Output is UTF-8; paths inside the sheet set's folder are shown relative to it.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "model/SheetImpl.h"
#include "model/SheetSetCheck.h"
#include "model/SheetSetMgrImpl.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Csv.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/EditRun.h"
#include "tools/drawkit/Json.h"

namespace {

namespace fs = std::filesystem;

std::string U(const TkString& s) { return tkToUtf8(s); }

class OpenSet {
public:
    explicit OpenSet(const std::string& path) {
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) {
            std::fprintf(stderr, "drawkit: %s: no such sheet set file\n", path.c_str());
            return;
        }
        if (!mgr_.openSheetSet(tkFromUtf8(fs::absolute(path).lexically_normal().string()).c_str())) {
            std::fprintf(stderr, "drawkit: %s: not a readable sheet set data file: %s\n", path.c_str(), U(mgr_.lastError()).c_str());
            return;
        }
        set_ = mgr_.getSheetSet(0);
        folder_ = fs::path(U(set_->getFileName())).parent_path();
    }
    CSheetSet* set() const { return set_; }
    // Relative to the sheet set's folder when inside it.
    std::string shown(const TkString& path) const {
        if (path.empty()) return {};
        fs::path p = fs::path(U(path)).lexically_normal();
        fs::path rel = p.lexically_relative(folder_);
        return !rel.empty() && *rel.begin() != ".." ? rel.string() : p.string();
    }

private:
    CSheetSetMgrImpl mgr_;
    CSheetSet* set_ = nullptr;
    fs::path folder_;
};

std::vector<CustomProperty> sheetProps(const CSheet* s) {
    std::vector<CustomProperty> props;
    s->getCustomProperties()->getAll(props);
    return props;
}

// The tree as indented text: subsets by name, sheets by number, title, drawing and layout.
void printTree(const OpenSet& o, const CSubset* s, int depth) {
    for (int i = 0; i < s->getCount(); ++i) {
        std::string indent(static_cast<size_t>(depth) * 2, ' ');
        CComponent* c = s->getAt(i);
        if (auto* sheet = dynamic_cast<CSheet*>(c)) {
            std::printf("%s%-10s %s  [%s | %s]%s\n", indent.c_str(), U(sheet->getNumber()).c_str(), U(sheet->getTitle()).c_str(),
                        o.shown(sheet->getFileName()).c_str(), U(sheet->getLayoutName()).c_str(),
                        sheet->getIncludeForPublish() ? "" : "  (not published)");
        } else if (auto* sub = dynamic_cast<CSubset*>(c)) {
            std::vector<CSheet*> n;
            std::printf("%s%s/  (%d sheets)\n", indent.c_str(), U(sub->getName()).c_str(), sub->getSheets(n, true));
            printTree(o, sub, depth + 1);
        }
    }
}

std::string jsonProps(const std::vector<CustomProperty>& props) {
    std::string o = "{";
    for (size_t i = 0; i < props.size(); ++i) o += (i ? ", " : "") + json(U(props[i].name)) + ": " + json(U(props[i].value));
    return o + "}";
}

std::string jsonTree(const OpenSet& o, const CSubset* s, int depth) {
    std::string pad(static_cast<size_t>(depth) * 2, ' '), out = "[";
    for (int i = 0; i < s->getCount(); ++i) {
        out += i ? ",\n" : "\n";
        CComponent* c = s->getAt(i);
        if (auto* sh = dynamic_cast<CSheet*>(c)) {
            out += pad + "  {\"type\": \"sheet\", \"number\": " + json(U(sh->getNumber())) + ", \"title\": " + json(U(sh->getTitle())) +
                   ", \"description\": " + json(U(sh->getDesc())) + ", \"drawing\": " + json(o.shown(sh->getFileName())) +
                   ", \"layout\": " + json(U(sh->getLayoutName())) + ", \"layoutHandle\": " + json(U(sh->getLayoutHandle())) +
                   ", \"includeForPublish\": " + (sh->getIncludeForPublish() ? "true" : "false") +
                   ", \"revision\": " + json(U(sh->getRevisionNumber())) + ", \"revisionDate\": " + json(U(sh->getRevisionDate())) +
                   ", \"purpose\": " + json(U(sh->getIssuePurpose())) + ", \"category\": " + json(U(sh->getCategory())) +
                   ", \"properties\": " + jsonProps(sheetProps(sh)) + "}";
        } else if (auto* sub = dynamic_cast<CSubset*>(c)) {
            out += pad + "  {\"type\": \"subset\", \"name\": " + json(U(sub->getName())) +
                   ", \"includeForPublish\": " + (sub->getIncludeForPublish() ? "true" : "false") +
                   ", \"children\": " + jsonTree(o, sub, depth + 2) + "}";
        }
    }
    return out + (s->getCount() ? "\n" + pad + "]" : "]");
}

std::string csv(const std::string& s) { return csvCell(s); }

// The sheet index: one row per sheet in tree order, the set's sheet properties as extra columns.
void printCsv(const OpenSet& o) {
    std::vector<CustomProperty> defs;
    o.set()->getCustomProperties()->getSheetProperties(defs);
    std::string head = "Number,Title,Subset,Drawing,Layout,Revision,Revision Date,Purpose,Category,Publish";
    for (auto& d : defs) head += "," + csv(U(d.name));
    std::printf("%s\r\n", head.c_str());
    std::vector<CSheet*> sheets;
    o.set()->getSheets(sheets, true);
    for (CSheet* s : sheets) {
        TkString path = componentPath(s->getParent());
        std::string row = csv(U(s->getNumber())) + "," + csv(U(s->getTitle())) + "," + csv(U(path)) + "," +
                          csv(o.shown(s->getFileName())) + "," + csv(U(s->getLayoutName())) + "," + csv(U(s->getRevisionNumber())) +
                          "," + csv(U(s->getRevisionDate())) + "," + csv(U(s->getIssuePurpose())) + "," +
                          csv(U(s->getCategory())) + "," + (s->getIncludeForPublish() ? "yes" : "no");
        auto props = sheetProps(s);
        for (auto& d : defs) {
            std::string v;
            for (auto& p : props)
                if (p.name == d.name) v = U(p.value);
            row += "," + csv(v);
        }
        std::printf("%s\r\n", row.c_str());
    }
}

const char* severityName(SheetSetFinding::Severity s) {
    return s == SheetSetFinding::Error ? "error" : s == SheetSetFinding::Warning ? "warning" : "note";
}

}  // namespace

int drawkitSheets(const std::vector<std::string>& args) {
    OpenSet o(args[0]);
    if (!o.set()) return 2;
    std::string format = args.size() > 1 ? args[1] : "";
    std::vector<CSheet*> all;
    int count = o.set()->getSheets(all, true);
    if (format == "--json") {
        std::printf("{\n  \"file\": %s,\n  \"name\": %s,\n  \"description\": %s,\n  \"sheetCount\": %d,\n  \"children\": %s\n}\n",
                    json(U(o.set()->getFileName())).c_str(), json(U(o.set()->getName())).c_str(),
                    json(U(o.set()->getDesc())).c_str(), count, jsonTree(o, o.set(), 1).c_str());
    } else if (format == "--csv") {
        printCsv(o);
    } else {
        std::printf("%s  (%d sheets)\n", U(o.set()->getName()).c_str(), count);
        printTree(o, o.set(), 1);
    }
    return 0;
}

int drawkitCheck(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {}, {"--json", "--repair"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 1) return fail(2, "usage: drawkit check SET.dst [--json] [--repair] [--wait SECONDS]");
    const bool asJson = a.has("--json");
    if (a.has("--repair")) {
        // An edit session that changes nothing: taking the set finishes or undoes an interrupted
        // action first, under the lock.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(a.positional[0], ec)) return fail(2, a.positional[0] + ": no such sheet set file");
        const ActionResult r = runAction(setPathOf(a.positional[0]), a.waitMs, [](EditSession& s) { return s.commit(ActionResult::nothingToDo()); });
        if (!r.landed()) return report(a.positional[0], r);
        for (const ActionResult::LeftAlone& l : r.leftAlone) std::fprintf(asJson ? stderr : stdout, "repaired: %s\n", U(l.item).c_str());
    }
    OpenSet o(a.positional[0]);
    if (!o.set()) return 2;
    auto findings = checkSheetSet(o.set());
    int errors = 0;
    for (auto& f : findings) errors += f.severity == SheetSetFinding::Error;
    if (asJson) {
        std::string out = "{\n  \"file\": " + json(U(o.set()->getFileName())) + ",\n  \"errors\": " + std::to_string(errors) +
                          ",\n  \"findings\": [";
        for (size_t i = 0; i < findings.size(); ++i) {
            auto& f = findings[i];
            out += std::string(i ? ",\n" : "\n") + "    {\"severity\": \"" + severityName(f.severity) + "\", \"kind\": \"" + f.kind +
                   "\", \"where\": " + json(U(f.where)) + ", \"message\": " + json(U(f.message)) + "}";
        }
        std::printf("%s\n  ]\n}\n", out.c_str());
    } else {
        for (auto& f : findings)
            std::printf("%-7s %-22s %s: %s\n", severityName(f.severity), f.kind.c_str(), U(f.where).c_str(), U(f.message).c_str());
        std::vector<CSheet*> all;
        std::printf("%s: %d sheets, %d problem%s\n", U(o.set()->getName()).c_str(), o.set()->getSheets(all, true), errors,
                    errors == 1 ? "" : "s");
    }
    return errors ? 1 : 0;
}
