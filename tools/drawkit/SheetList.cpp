// drawkit sheet-list SET.dst SHEET [--at X,Y] [--columns number,title,...] [--wait SECONDS]
// A table of the set's sheets in SHEET's layout, kept current by every later edit.
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "actions/SheetList.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/EditRun.h"

namespace {

// "X,Y" in paper units; false when it is not two finite numbers.
bool parsePoint(const std::string& text, SheetListPlacement& at) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    char* end = nullptr;
    const std::string xs = text.substr(0, comma), ys = text.substr(comma + 1);
    at.x = std::strtod(xs.c_str(), &end);
    if (xs.empty() || *end) return false;
    at.y = std::strtod(ys.c_str(), &end);
    if (ys.empty() || *end) return false;
    at.given = std::isfinite(at.x) && std::isfinite(at.y) && std::abs(at.x) < 1e9 && std::abs(at.y) < 1e9;
    return at.given;
}

}  // namespace

int drawkitSheetList(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--at", "--columns"}, {});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() != 2)
        return fail(2, "usage: drawkit sheet-list SET.dst SHEET [--at X,Y] [--columns number,title,...] [--wait SECONDS]");
    SheetListRequest request{ItemRef::named(tkFromUtf8(a.positional[1]))};
    if (a.has("--at") && !parsePoint(a.value("--at"), request.at))
        return fail(2, "--at takes the table's upper left corner as X,Y in the layout's units, such as 20,574");
    if (a.has("--columns")) {
        request.columns.clear();
        std::istringstream list(a.value("--columns"));
        for (std::string c; std::getline(list, c, ',');)
            if (!c.empty()) request.columns.push_back(tkFromUtf8(c));
        if (request.columns.empty()) return fail(2, "--columns takes a list such as number,title,revision");
    }
    return report(a.positional[0],
                  runAction(setPathOf(a.positional[0]), a.waitMs, [&](EditSession& s) { return insertSheetList(s, request); }),
                  L"sheet list table in " + tkFromUtf8(a.positional[1]));
}
