#pragma once
// What drawkit's scripted edits share: their arguments, and running a change under the set's edit
// lock with the exit codes 0 done, 1 a bad item or argument, 2 a set that cannot be read or
// written, 3 locked by someone else (after --wait SECONDS, when given).
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "actions/SheetSetEdit.h"

struct EditArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>> options;  // options with a value, each time given
    std::set<std::string> flags;                              // options without one
    int waitMs = 0;
    std::string error;
    bool has(const std::string& o) const { return options.count(o) || flags.count(o); }
    std::string value(const std::string& o) const { return options.count(o) ? options.at(o).back() : std::string(); }
};

// `--wait SECONDS` always; `valueOptions` take the next argument, `flagOptions` none.
EditArgs parseEditArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions = {},
                       const std::set<std::string>& flagOptions = {});
int fail(int code, const std::string& what);
// Opens the set, runs the change in an edit session (title blocks followed under the lock), and
// turns the result into an exit code;
// `done` is printed on success. With `nothingIsFine` a change that changed nothing is no error.
int runEdit(const std::string& setArg, int waitMs, const SheetSetChange& change, const TkString& done, bool nothingIsFine = false);
// A change that reports its own error and exit 1 when it changes nothing.
SheetSetChange reporting(const std::function<bool(CSheetSetImpl&, TkString&)>& f);
// Turns a core's result into what drawkit prints and its exit code: `done` and the changes on
// standard output, what was left alone after them, failures on standard error.
int report(const std::string& setArg, const ActionResult& r, const TkString& done = {}, bool nothingIsFine = false);
// The absolute, plain path of a set named on the command line.
TkString setPathOf(const std::string& setArg);
