#include "actions/ItemRef.h"

#include "model/ItemLookup.h"

TkString ItemRef::describe() const { return id ? L"item " + std::to_wstring(id) : typed.empty() ? L"the sheet set" : typed; }

CComponent* resolveItem(CSheetSetImpl& set, const ItemRef& ref, TkString& error) {
    if (ref.id) {
        if (CComponent* c = findComponentById(&set, ref.id)) return c;
        error = L"the item is no longer in the sheet set";  // someone removed it meanwhile
        return nullptr;
    }
    if (ref.typed.empty() || ref.typed == L"/") return &set;
    return findItem(&set, ref.typed, error);
}

CSubset* resolveSubset(CSheetSetImpl& set, const ItemRef& ref, TkString& error) {
    if (!ref.id) {
        // Typed, a subset is a path: "Plans" is never taken for a sheet numbered so.
        CSubset* s = findSubsetByPath(&set, ref.typed);
        if (!s) error = L"no subset \"" + ref.typed + L"\" in the sheet set";
        return s;
    }
    CComponent* c = resolveItem(set, ref, error);
    if (c && c->getType() == kComponentSheet) error = L"a sheet, not a subset";
    return c && c->getType() != kComponentSheet ? static_cast<CSubset*>(c) : nullptr;
}

CSheet* resolveSheet(CSheetSetImpl& set, const ItemRef& ref, TkString& error) {
    CComponent* c = resolveItem(set, ref, error);
    if (c && c->getType() != kComponentSheet) error = ref.describe() + L" is a subset, not a sheet";
    return c && c->getType() == kComponentSheet ? static_cast<CSheet*>(c) : nullptr;
}
