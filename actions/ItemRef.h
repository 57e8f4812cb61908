#pragma once
// An item of a set as a request names it: by the id its object is stored under (the palette, whose
// pointers may not outlive a read of the set) or as a person types it (a subset path or a sheet
// number, for drawkit). Either survives the set being read again under the lock.
#include <cstdint>

#include "model/SheetSetImpl.h"

struct ItemRef {
    uint64_t id = 0;
    TkString typed;
    static ItemRef byId(uint64_t id) { return {id, {}}; }
    static ItemRef named(const TkString& typed) { return {0, typed}; }
    bool empty() const { return !id && typed.empty(); }
    // What a message calls it.
    TkString describe() const;
};

// The component the reference names in `set`; null with `error` saying why. An empty typed name
// is the sheet set itself.
CComponent* resolveItem(CSheetSetImpl& set, const ItemRef& ref, TkString& error);
CSubset* resolveSubset(CSheetSetImpl& set, const ItemRef& ref, TkString& error);
CSheet* resolveSheet(CSheetSetImpl& set, const ItemRef& ref, TkString& error);
