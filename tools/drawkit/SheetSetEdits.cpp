// drawkit's scripted edits of a sheet set: new-subset, move, prop and restamp. They take the same
// edit lock as the palette, read the set again when someone else saved it meanwhile, and save
// before they let go. Exit 0 done, 1 a bad item or argument, 2 a set that cannot be read or
// written, 3 locked by someone else (after --wait SECONDS, when given).
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "model/Restamp.h"
#include "model/ScriptedEdits.h"
#include "model/SheetSetEdit.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"

namespace {

namespace fs = std::filesystem;

struct EditArgs {
    std::vector<std::string> positional;
    std::string to, after;
    int waitMs = 0;
    bool hasTo = false;
    std::string error;
};

EditArgs parse(const std::vector<std::string>& args, bool allowMoveOptions) {
    EditArgs a;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        bool hasValue = i + 1 < args.size();
        if (s == "--wait" && hasValue) {
            char* end = nullptr;
            double secs = std::strtod(args[++i].c_str(), &end);
            if (!end || *end || secs < 0) a.error = "--wait takes a number of seconds, not " + args[i];
            a.waitMs = static_cast<int>(secs * 1000);
        } else if (allowMoveOptions && s == "--to" && hasValue) {
            a.to = args[++i];
            a.hasTo = true;
        } else if (allowMoveOptions && s == "--after" && hasValue) {
            a.after = args[++i];
        } else if (s.starts_with("--") && s.size() > 2) {
            a.error = "unknown option " + s;
        } else {
            a.positional.push_back(s);
        }
    }
    return a;
}

int fail(int code, const std::string& what) {
    std::fprintf(stderr, "drawkit: %s\n", what.c_str());
    return code;
}

// Opens the set, runs the change under its edit lock, and turns the result into an exit code.
int runEdit(const std::string& setArg, int waitMs, const SheetSetChange& change, const TkString& done, bool nothingIsFine = false) {
    std::error_code ec;
    if (!fs::is_regular_file(setArg, ec)) return fail(2, setArg + ": no such sheet set file");
    CSheetSetMgrImpl mgr;
    TkString path = tkFromUtf8(fs::absolute(setArg).lexically_normal().string());
    if (!mgr.openSheetSet(path.c_str())) return fail(2, setArg + ": " + tkToUtf8(mgr.lastError()));
    TkString why;
    SheetSetEditResult r = editSheetSet(mgr, 0, change, waitMs);
    switch (r.status) {
    case SheetSetEditResult::Done: break;
    case SheetSetEditResult::NotApplied:
        if (!nothingIsFine) return 1;
        break;
    case SheetSetEditResult::Locked:
        if (r.holder.held) return fail(3, setArg + ": locked by " + tkToUtf8(r.holder.describe()));
        return fail(2, setArg + ": " + tkToUtf8(r.message));
    default: return fail(2, setArg + ": " + tkToUtf8(editFailureText(r, path)));
    }
    if (!done.empty()) std::printf("%s\n", tkToUtf8(done).c_str());
    return 0;
}

// A change that reports its own error and exit 1 when it changes nothing.
SheetSetChange reporting(const std::function<bool(CSheetSetImpl&, TkString&)>& f) {
    return [f](CSheetSetImpl& set) {
        TkString error;
        if (f(set, error)) return true;
        std::fprintf(stderr, "drawkit: %s\n", tkToUtf8(error).c_str());
        return false;
    };
}

}  // namespace

int drawkitNewSubset(const std::vector<std::string>& args) {
    EditArgs a = parse(args, false);
    if (!a.error.empty()) return fail(1, a.error);
    if (a.positional.size() != 2) return fail(1, "usage: drawkit new-subset SET.dst PATH [--wait SECONDS]");
    TkString subsetPath = tkFromUtf8(a.positional[1]);
    return runEdit(a.positional[0], a.waitMs, reporting([&](CSheetSetImpl& s, TkString& e) { return addSubsetPath(s, subsetPath, e); }),
                   L"new subset " + subsetPath);
}

int drawkitMove(const std::vector<std::string>& args) {
    EditArgs a = parse(args, true);
    if (!a.error.empty()) return fail(1, a.error);
    if (a.positional.size() != 2 || !a.hasTo)
        return fail(1, "usage: drawkit move SET.dst ITEM --to SUBSET [--after ITEM] [--wait SECONDS]");
    TkString item = tkFromUtf8(a.positional[1]), to = tkFromUtf8(a.to), after = tkFromUtf8(a.after);
    return runEdit(a.positional[0], a.waitMs, reporting([&](CSheetSetImpl& s, TkString& e) { return moveItem(s, item, to, after, e); }),
                   L"moved " + item + L" to " + (to.empty() ? TkString(L"the sheet set") : to));
}

int drawkitProp(const std::vector<std::string>& args) {
    EditArgs a = parse(args, false);
    if (!a.error.empty()) return fail(1, a.error);
    if (a.positional.size() < 2) return fail(1, "usage: drawkit prop SET.dst [ITEM] NAME=VALUE... [--wait SECONDS]");
    TkString item;
    PropertyValues values;
    for (size_t i = 1; i < a.positional.size(); ++i) {
        const std::string& p = a.positional[i];
        size_t eq = p.find('=');
        if (eq == std::string::npos) {
            if (i != 1) return fail(1, "expected NAME=VALUE, not " + p);
            item = tkFromUtf8(p);
            continue;
        }
        values.emplace_back(tkFromUtf8(p.substr(0, eq)), tkFromUtf8(p.substr(eq + 1)));
    }
    return runEdit(a.positional[0], a.waitMs,
                   reporting([&](CSheetSetImpl& s, TkString& e) { return setCustomProperties(s, item, values, e); }),
                   std::to_wstring(values.size()) + L" custom propert" + (values.size() == 1 ? L"y" : L"ies") + L" set on " +
                       (item.empty() ? TkString(L"the sheet set") : item));
}

int drawkitRestamp(const std::vector<std::string>& args) {
    EditArgs a = parse(args, false);
    if (!a.error.empty()) return fail(1, a.error);
    if (a.positional.size() != 1) return fail(1, "usage: drawkit restamp SET.dst [--wait SECONDS]");
    RestampReport report;
    // The drawings change, the set does not: it is held so that nobody edits it meanwhile, and
    // nothing of it is saved.
    int code = runEdit(a.positional[0], a.waitMs,
                       [&](CSheetSetImpl& s) {
                           report = restampDrawings(&s);
                           return false;
                       },
                       {}, true);
    if (code != 0) return code;
    for (const TkString& p : report.problems) std::printf("left alone: %s\n", tkToUtf8(p).c_str());
    std::printf("%d drawing%s restamped, %d already pointing here, %zu left alone\n", report.changed, report.changed == 1 ? "" : "s",
                report.current, report.problems.size());
    return 0;
}
