#include "tools/drawkit/EditRun.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "model/TitleBlocks.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Json.h"

namespace fs = std::filesystem;

EditArgs parseEditArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                       const std::set<std::string>& flagOptions) {
    EditArgs a;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        bool hasValue = i + 1 < args.size();
        if (s == "--wait" && hasValue) {
            char* end = nullptr;
            double secs = std::strtod(args[++i].c_str(), &end);
            // A day is as long as any script means to wait; more (or inf, nan) would not fit.
            if (!end || *end || !(secs >= 0 && secs <= 86400)) a.error = "--wait takes a number of seconds from 0 to 86400, not " + args[i];
            else a.waitMs = static_cast<int>(secs * 1000);
        } else if (valueOptions.count(s) && hasValue) {
            a.options[s].push_back(args[++i]);
        } else if (flagOptions.count(s)) {
            a.flags.insert(s);
        } else if (s.starts_with("--") && s.size() > 2) {
            a.error = valueOptions.count(s) ? s + " needs a value" : "unknown option " + s;
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

int report(const std::string& setArg, const ActionResult& r, const TkString& done, bool nothingIsFine) {
    auto leftAlone = [&] {
        for (const ActionResult::LeftAlone& l : r.leftAlone) std::printf("%s: %s\n", tkToUtf8(l.reason).c_str(), tkToUtf8(l.item).c_str());
    };
    switch (r.status) {
    case ActionResult::Done: break;
    case ActionResult::NothingToDo:
        if (!nothingIsFine) return r.message.empty() ? 1 : fail(1, tkToUtf8(r.message));
        break;
    case ActionResult::Locked:
        if (r.holder.held) return fail(3, setArg + ": locked by " + tkToUtf8(r.holder.describe()));
        return fail(2, setArg + ": " + tkToUtf8(r.message));
    case ActionResult::Refused:
        leftAlone();
        return fail(1, tkToUtf8(r.message));
    default: return fail(2, setArg + ": " + tkToUtf8(r.failureText(tkFromUtf8(setArg))));
    }
    if (!done.empty()) std::printf("%s\n", tkToUtf8(done).c_str());
    for (const TkString& c : r.changed) std::printf("%s\n", tkToUtf8(c).c_str());
    leftAlone();
    return r.hasProblems() ? 1 : 0;
}

TkString setPathOf(const std::string& setArg) { return tkFromUtf8(fs::absolute(setArg).lexically_normal().string()); }

int runEdit(const std::string& setArg, int waitMs, const SheetSetChange& change, const TkString& done, bool nothingIsFine) {
    std::error_code ec;
    if (!fs::is_regular_file(setArg, ec)) return fail(2, setArg + ": no such sheet set file");
    const ActionResult r = runAction(setPathOf(setArg), waitMs, [&](EditSession& s) { return applyChange(s, change); });
    return report(setArg, r, done, nothingIsFine);
}

SheetSetChange reporting(const std::function<bool(CSheetSetImpl&, TkString&)>& f) {
    return [f](CSheetSetImpl& set) {
        TkString error;
        if (f(set, error)) return true;
        if (!error.empty()) std::fprintf(stderr, "drawkit: %s\n", tkToUtf8(error).c_str());  // a look that changed nothing says nothing
        return false;
    };
}
