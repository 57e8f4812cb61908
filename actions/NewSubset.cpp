#include "actions/NewSubset.h"

#include "toolkit/sm/TkSmComponents.h"

#include "model/ItemLookup.h"
#include "model/NameRules.h"
#include "model/PublishFlags.h"

SubsetSettings subsetSettingsOf(const CSubset* s) {
    return {s->getNewSheetLocation(), s->getTemplateLayoutName(), s->getTemplateLayoutHandle(), s->getTemplateFileName(),
            s->getPromptForTemplate(), s->getIncludeForPublish()};
}

namespace {

CSubset* childNamed(CSubset* parent, const TkString& name) {
    std::vector<CSubset*> children;
    parent->getSubsets(children, false);
    for (CSubset* c : children)
        if (sameTextNoCase(c->getName(), name)) return c;
    return nullptr;
}

void apply(CSubset* s, const SubsetSettings& v) {
    s->setIncludeForPublish(v.includeForPublish, false);
    s->setNewSheetLocation(v.location.c_str(), false);
    s->setPromptForTemplate(v.promptForTemplate, false);
    s->setTemplate(v.templateLayout.c_str(), v.templateHandle.c_str(), v.templateFile.c_str(), false);
}

}  // namespace

ActionResult newSubset(EditSession& session, const NewSubsetRequest& request, uint64_t* madeId) {
    CSheetSetImpl& set = *session.set();
    TkString error;
    CSubset* parent = request.parent.empty() ? &set : resolveSubset(set, request.parent, error);
    if (!parent) return session.commit(ActionResult::refused(error));
    if (request.names.empty()) return session.commit(ActionResult::refused(L"the new subset has no name"));
    for (const TkString& name : request.names)
        if (!checkSubsetName(name, error)) return session.commit(ActionResult::refused(error));
    // Every name is checked before anything is made: a refusal leaves nothing half made.
    CSubset* at = parent;
    size_t existing = 0;
    for (; existing + 1 < request.names.size(); ++existing) {
        CSubset* child = childNamed(at, request.names[existing]);
        if (!child) break;
        at = child;
    }
    if (existing + 1 == request.names.size() && childNamed(at, request.names.back()))
        return session.commit(ActionResult::refused(L"a subset \"" + request.names.back() + L"\" is there already"));
    int depth = 0;  // of `at` below the set
    for (CComponent* c = at; c && c != &set; c = c->getParent()) ++depth;
    if (depth + static_cast<int>(request.names.size() - existing) > kTkSmMaxSubsetDepth)
        return session.commit(ActionResult::refused(L"subsets may nest at most " + std::to_wstring(kTkSmMaxSubsetDepth) + L" levels deep"));
    ActionResult r;
    r.status = ActionResult::Done;
    for (size_t i = existing; i < request.names.size(); ++i) {
        const SubsetSettings settings = i + 1 == request.names.size() && request.settings ? *request.settings : subsetSettingsOf(at);
        CSubset* made = at->addNewSubset(-1, request.names[i].c_str());
        apply(made, settings);
        r.changed.push_back(L"new subset " + request.names[i]);
        at = made;
    }
    // Values by name are checked as a whole; a wrong one refuses the edit, and the session drops
    // the subsets made in memory.
    if (!request.values.empty() && !setComponentProperties(set, at, request.values, error)) return session.commit(ActionResult::refused(error));
    if (madeId) *madeId = componentId(at);
    return session.commit(r);
}
