#include "model/ScriptedEdits.h"

#include "model/ItemLookup.h"
#include "model/MoveComponents.h"
#include "model/NameRules.h"

bool addSubsetPath(CSheetSetImpl& set, const TkString& path, TkString& error) {
    std::vector<TkString> names;
    for (size_t start = 0; start <= path.size();) {
        size_t slash = std::min(path.find(L'/', start), path.size());
        if (slash > start) names.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    if (names.empty()) {
        error = L"no subset name given";
        return false;
    }
    // Every name is checked before anything is made: a change that fails changes nothing.
    for (const TkString& name : names)
        if (name.find_first_not_of(L" \t") == TkString::npos || hasUnsupportedCharacters(name) ||
            name.size() > static_cast<size_t>(kMaxTitleLength)) {
            error = L"\"" + name + L"\" is not a subset name: at least one character and at most " + std::to_wstring(kMaxTitleLength) +
                    L", none of " + unsupportedNameCharacters();
            return false;
        }
    if (findSubsetByPath(&set, path)) {
        error = L"the subset \"" + path + L"\" exists already";
        return false;
    }
    CSubset* at = &set;
    TkString walked;
    for (const TkString& name : names) {
        walked += (walked.empty() ? L"" : L"/") + name;
        if (CSubset* existing = findSubsetByPath(&set, walked)) {
            at = existing;
            continue;
        }
        CSubset* sub = at->addNewSubset(-1, name.c_str());
        sub->setNewSheetLocation(at->getNewSheetLocation().c_str(), false);
        sub->setTemplate(at->getTemplateLayoutName().c_str(), at->getTemplateLayoutHandle().c_str(), at->getTemplateFileName().c_str(), false);
        sub->setPromptForTemplate(at->getPromptForTemplate(), false);
        at = sub;
    }
    return true;
}

bool moveItem(CSheetSetImpl& set, const TkString& item, const TkString& toSubset, const TkString& after, TkString& error) {
    CComponent* moving = findItem(&set, item, error);
    if (!moving) return false;
    if (moving == &set) {
        error = L"the sheet set itself cannot be moved";
        return false;
    }
    CSubset* dest = findSubsetByPath(&set, toSubset);
    if (!dest) {
        error = L"no subset \"" + toSubset + L"\" in the sheet set";
        return false;
    }
    if (isWithin(dest, moving)) {
        error = L"a subset cannot move into itself";
        return false;
    }
    CComponent* anchor = nullptr;
    if (!after.empty()) {
        anchor = findItem(&set, after, error);
        if (!anchor) return false;
        if (anchor->getParent() != dest) {
            error = L"\"" + after + L"\" is not in the subset \"" + toSubset + L"\"";
            return false;
        }
    } else if (dest->getCount() > 0) {
        anchor = dest->getAt(dest->getCount() - 1);
    }
    if (anchor == moving) return true;  // it is there already
    std::vector<CComponent*> moved = anchor ? moveComponents(anchor, true, {moving}) : moveComponents(dest, false, {moving});
    if (moved.empty()) error = L"\"" + item + L"\" cannot be moved there";
    return !moved.empty();
}

bool setCustomProperties(CSheetSetImpl& set, const TkString& item, const PropertyValues& values, TkString& error) {
    CComponent* target = &set;
    if (!item.empty() && !(target = findItem(&set, item, error))) return false;
    if (target->getType() == 1) {
        error = L"subsets have no custom properties; name a sheet or leave the item out for the sheet set";
        return false;
    }
    if (values.empty()) {
        error = L"no NAME=VALUE given";
        return false;
    }
    CCustomProperties* props = target->getType() == 2 ? static_cast<CSheet*>(target)->getCustomProperties() : set.getCustomProperties();
    std::vector<CustomProperty> all;
    props->getAll(all);
    for (const auto& [name, value] : values) {
        if (name.empty()) {
            error = L"a custom property needs a name";
            return false;
        }
        auto it = std::find_if(all.begin(), all.end(), [&](const CustomProperty& p) { return p.name == name; });
        if (it != all.end()) it->value = value;
        else all.push_back({name, value, target->getType() == 0});
    }
    props->setAll(all);
    return true;
}
