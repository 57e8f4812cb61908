// Editing the named objects: dictionaries and xrecords.
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbCodes.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {
void addEntry(TkDbRecord* dict, std::string_view name, uint64_t h) {
    size_t at = dict->xdataStart();
    dict->insert(at, 3, name);
    dict->insert(at + 1, 350, tkDbHandleText(h));
}
}  // namespace

uint64_t TkDbDatabase::getOrAddDictionary(uint64_t owner, std::string_view name) {
    auto parent = dictionary(owner);
    if (!parent || name.empty()) return 0;
    if (uint64_t h = parent->get(name)) {
        if (dictionary(h)) return h;
        return 0;  // the name is taken by something that is not a dictionary; leave it alone
    }
    uint64_t h = allocateHandle();
    std::string ht = tkDbHandleText(h), ot = tkDbHandleText(owner);
    appendRecord("OBJECTS", {{0, "DICTIONARY"}, {5, ht}, {102, "{ACAD_REACTORS"}, {330, ot}, {102, "}"}, {330, ot},
                             {100, "AcDbDictionary"}, {281, "1"}});
    addEntry(byHandle(owner), name, h);
    return h;
}

uint64_t TkDbDatabase::setXrecord(uint64_t dict, std::string_view name, const std::vector<TkDbValue>& values) {
    auto d = dictionary(dict);
    if (!d || name.empty()) return 0;
    if (uint64_t old = d->get(name)) {
        if (auto x = xrecord(old)) {
            byHandle(old)->replaceTail(x->dataStart(), values);
            return old;
        }
        removeDictionaryEntry(dict, name);
    }
    uint64_t h = allocateHandle();
    std::string ht = tkDbHandleText(h), ot = tkDbHandleText(dict);
    std::vector<TkDbValue> rec{{0, "XRECORD"}, {5, ht}, {102, "{ACAD_REACTORS"}, {330, ot}, {102, "}"},
                               {330, ot},      {100, "AcDbXrecord"}, {280, "1"}};
    rec.insert(rec.end(), values.begin(), values.end());
    appendRecord("OBJECTS", rec);
    addEntry(byHandle(dict), name, h);
    return h;
}

bool TkDbDatabase::removeDictionaryEntry(uint64_t dict, std::string_view name) {
    auto d = dictionary(dict);
    if (!d) return false;
    auto e = d->find(name);
    if (!e) return false;
    TkDbRecord* rec = byHandle(dict);
    size_t to = e->keyTag + 1;
    if (to < rec->count() && (rec->tags()[to].code == tkdxf::kSoftOwner || rec->tags()[to].code == tkdxf::kHardOwner)) ++to;
    rec->erase(e->keyTag, to);
    // The entry's object goes too when this dictionary owns it; a soft reference leaves it be.
    TkDbRecord* obj = byHandle(e->handle);
    if (obj && obj->owner() == dict) eraseWithOwned(obj);
    return true;
}
