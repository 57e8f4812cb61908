#include "actions/PublishFlags.h"

#include "model/PublishFlags.h"

ActionResult setPublishFlags(EditSession& session, const PublishFlagsRequest& request) {
    CSheetSetImpl& set = *session.set();
    ActionResult r;
    for (const auto& [ref, on] : request.items) {
        TkString error;
        CComponent* c = resolveItem(set, ref, error);
        if (!c) {
            if (!ref.id) return session.commit(ActionResult::refused(error));
            continue;
        }
        if (setPublishFlag(c, on)) r.status = ActionResult::Done;
        else r.leftAlone.push_back({ref.describe(), L"its subset publishes nothing", false});
    }
    return session.commit(r);
}
