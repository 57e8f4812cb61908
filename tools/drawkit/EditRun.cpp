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
            if (!end || *end || secs < 0) a.error = "--wait takes a number of seconds, not " + args[i];
            a.waitMs = static_cast<int>(secs * 1000);
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

int runEdit(const std::string& setArg, int waitMs, const SheetSetChange& change, const TkString& done, bool nothingIsFine) {
    std::error_code ec;
    if (!fs::is_regular_file(setArg, ec)) return fail(2, setArg + ": no such sheet set file");
    CSheetSetMgrImpl mgr;
    TkString path = tkFromUtf8(fs::absolute(setArg).lexically_normal().string());
    if (!mgr.openSheetSet(path.c_str())) return fail(2, setArg + ": " + tkToUtf8(mgr.lastError()));
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

SheetSetChange reporting(const std::function<bool(CSheetSetImpl&, TkString&)>& f) {
    return [f](CSheetSetImpl& set) {
        TkString error;
        if (f(set, error)) return true;
        if (!error.empty()) std::fprintf(stderr, "drawkit: %s\n", tkToUtf8(error).c_str());  // a look that changed nothing says nothing
        return false;
    };
}

int followTitleBlocks(const std::string& setArg, bool json) {
    CSheetSetMgrImpl mgr;
    if (!mgr.openSheetSet(tkFromUtf8(fs::absolute(setArg).lexically_normal().string()).c_str()))
        return fail(2, setArg + ": " + tkToUtf8(mgr.lastError()));
    const TitleBlockReport r = updateTitleBlocks(mgr.getSheetSet(0));
    if (json) {
        std::string problems;
        for (const TkString& p : r.problems) problems += (problems.empty() ? "" : ", ") + ::json(tkToUtf8(p));
        std::printf("{\n  \"drawingsChanged\": %d,\n  \"textsChanged\": %d,\n  \"drawingsCurrent\": %d,\n  \"problems\": [%s]\n}\n",
                    r.drawingsChanged, r.textsChanged, r.drawingsCurrent, problems.c_str());
    } else {
        for (const TkString& p : r.problems) std::printf("title block not updated: %s\n", tkToUtf8(p).c_str());
        std::printf("title blocks: %d drawing%s updated (%d texts), %d already current\n", r.drawingsChanged, r.drawingsChanged == 1 ? "" : "s",
                    r.textsChanged, r.drawingsCurrent);
    }
    return r.problems.empty() ? 0 : 1;
}
