#include "drawings/SheetSetStamp.h"

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/sm/TkSmError.h"

TkString readStampSheetSetPath(const TkDbDatabase* db) {
    if (!db) return {};
    auto root = db->dictionary(db->namedObjectsDictionary());
    if (!root) return {};
    auto stamp = db->dictionary(root->get("VrSheetSetData"));
    if (!stamp) return {};
    auto record = db->xrecord(stamp->get("ShSetFileName"));
    if (!record) return {};
    for (const TkDbValue& v : record->values())
        if (v.code == 1) return tkFromUtf8(v.text);
    return {};
}
