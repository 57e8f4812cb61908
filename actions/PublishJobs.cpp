#include "actions/PublishJobs.h"

#include <algorithm>

namespace {

bool resolveAll(CSheetSetImpl& set, const std::vector<ItemRef>& refs, std::vector<CComponent*>& items, TkString& error) {
    for (const ItemRef& ref : refs) {
        CComponent* c = resolveItem(set, ref, error);
        if (!c) return false;
        items.push_back(c);
    }
    if (items.empty()) items.push_back(&set);
    return true;
}

}  // namespace

ActionResult publishJob(CSheetSetImpl& set, const PublishRequest& request, VrPublishJob& job) {
    std::vector<CComponent*> items;
    TkString error;
    if (!resolveAll(set, request.items, items, error)) return ActionResult::refused(error);
    if (!request.pageSetup.empty()) {
        const std::vector<TkString>& names = set.getPageSetupNames();
        if (std::find(names.begin(), names.end(), request.pageSetup) == names.end()) {
            TkString known;
            for (const TkString& n : names) known += (known.empty() ? L"" : L", ") + n;
            return ActionResult::refused(L"no page setup \"" + request.pageSetup + L"\" in the sheet set's page setup overrides file" +
                                         (known.empty() ? TkString(L" (it has none)") : L" (it has " + known + L")"));
        }
    }
    job = makePublishJob(&set, gatherPublishSheets(items), request.pageSetup);
    if (job.sheets.empty()) return ActionResult::nothingToDo(L"no sheet to publish: the items' publish flags leave every sheet out");
    ActionResult r;
    r.status = ActionResult::Done;
    return r;
}

ActionResult transmittalJob(CSheetSetImpl& set, const std::vector<ItemRef>& refs, VrTransmittalJob& job) {
    std::vector<CComponent*> items;
    TkString error;
    if (!resolveAll(set, refs, items, error)) return ActionResult::refused(error);
    job = makeTransmittalJob(&set, items);
    if (job.drawings.empty()) return ActionResult::nothingToDo(L"no drawing to transmit");
    ActionResult r;
    r.status = ActionResult::Done;
    return r;
}
