#pragma once
// Small builders over the sheet-set library, shared by the writers of the example project and the
// example sheet sets.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "toolkit/common/TkUtf8.h"
#include "toolkit/sm/TkSmDatabase.h"

namespace examplegen {

inline TkString W(const std::string& s) { return tkFromUtf8(s); }

template <class T>
T* owned(TkSmObject* owner) {
    T* p = T::create();
    p->initNew(owner);
    return p;
}

inline void addProperty(TkSmComponent* c, const TkString& name, const TkString& value, long flags) {
    auto* v = owned<TkSmCustomPropertyValue>(c->getCustomPropertyBag());
    v->setValue(TkSmVariant::fromText(value));
    v->setFlags(flags);
    c->getCustomPropertyBag()->setProperty(name, v);
    v->release();
}

inline void setTemplate(TkSmSubset* s, const std::filesystem::path& dwt, const std::string& layout, const std::string& handle) {
    auto* t = owned<TkSmDbLayoutReference>(s);
    t->setName(W(layout));
    t->setHandle(W(handle));
    t->setFileName(W(dwt.string()));
    s->setDefDwtLayout(t);
    t->release();
}

inline void setLocation(TkSmSubset* s, const std::filesystem::path& folder) {
    auto* location = owned<TkSmFileReference>(s);
    location->setFileName(W(folder.string()));
    s->setNewSheetLocation(location);
    location->release();
}

inline void setPageSetups(TkSmSheetSet* ss, const std::filesystem::path& dwt) {
    auto* pageSetups = owned<TkSmFileReference>(ss);
    pageSetups->setFileName(W(dwt.string()));
    ss->setAltPageSetups(pageSetups);
    pageSetups->release();
}

// The subset for "A/B/C", made on first use with its parents, in the order of first use; each
// takes its parent's sheet creation template.
inline TkSmSubset* subsetFor(TkSmSheetSet* ss, std::map<std::string, TkSmSubset*>& made, const std::string& path) {
    if (auto it = made.find(path); it != made.end()) return it->second;
    size_t slash = path.rfind('/');
    TkSmSubset* parent = slash == std::string::npos ? ss : subsetFor(ss, made, path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    TkSmSubset* subset = parent->createSubset(W(name), L"");
    // A new subset makes its sheets from its parent's template, as subsets made in the palette do.
    if (const TkSmDbLayoutReference* t = parent->getDefDwtLayout(); t && !t->getName().empty()) {
        auto* copy = owned<TkSmDbLayoutReference>(subset);
        copy->setName(t->getName());
        copy->setHandle(t->getHandle());
        copy->setFileName(t->getFileName());
        subset->setDefDwtLayout(copy);
        copy->release();
    }
    return made[path] = subset;
}

// Saves the set's data file; false with the reason on standard error.
inline bool saveSet(TkSmDatabase* db, const std::filesystem::path& dst) {
    try {
        db->save();
    } catch (const TkException& e) {
        std::fprintf(stderr, "make-examples: %s\n", e.what());
        return false;
    }
    // A set made again over the one of an earlier run keeps no backup of it: examples ship alone.
    std::error_code ec;
    std::filesystem::remove(dst.string() + ".bak", ec);
    std::printf("wrote %s\n", dst.c_str());
    return true;
}

}  // namespace examplegen
