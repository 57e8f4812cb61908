#include "toolkit/sm/TkSmStore.h"

#include <fcntl.h>
#include <unistd.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sstream>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

constexpr const char* kRoot = "VornSheetSet";

// An object's stored id: decimal digits, from 1 to well below where counting up from the largest
// could wrap. Anything else (empty, signs, words, huge numbers) is no id: the object gets a fresh one.
uint64_t storedId(const pugi::xml_node& n) {
    std::string_view s = n.attribute("id").as_string();
    if (s.empty() || s.size() > 15) return 0;
    uint64_t id = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return 0;
        id = id * 10 + static_cast<uint64_t>(c - '0');
    }
    return id;
}

int hexDigit(char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; }

// The whole file and the identity of what was read, through one descriptor.
bool readWholeFile(const std::string& path, std::string& bytes, TkFileIdentity& identity) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    identity = TkFileIdentity::ofDescriptor(fd);
    if (identity.size > 0) bytes.reserve(static_cast<size_t>(identity.size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return identity.known();
}

// XML attributes cannot carry control characters, and lose tabs and line breaks on reading; those
// and '%' itself travel percent-escaped.
std::string escape(const TkString& s) {
    std::string u = tkToUtf8(s), out;
    out.reserve(u.size());
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char c : u) {
        if (c < 0x20 || c == '%' || c == 0x7F) {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

TkString unescape(const char* s) {
    std::string out;
    for (const char* p = s; *p; ++p) {
        if (*p == '%' && p[1] && p[2] && hexDigit(p[1]) >= 0 && hexDigit(p[2]) >= 0) {
            out.push_back(static_cast<char>(hexDigit(p[1]) * 16 + hexDigit(p[2])));
            p += 2;
        } else {
            out.push_back(*p);
        }
    }
    return tkFromUtf8(out);
}

void setText(pugi::xml_node n, const char* name, const TkString& v) {
    if (!v.empty()) n.append_attribute(name) = escape(v).c_str();
}
TkString text(const pugi::xml_node& n, const char* name) { return unescape(n.attribute(name).as_string()); }

const char* kVarTypes[] = {"empty", "bool", "i8", "i16", "i32", "i64", "double", "text", "wtext", "binary"};

// ---------------------------------------------------------------- writing

struct Writer {
    fs::path folder;

    void id(pugi::xml_node n, const TkSmObject* o) { n.append_attribute("id") = static_cast<unsigned long long>(o->id()); }

    std::string relative(const TkString& path) {
        if (path.empty() || folder.empty()) return {};
        fs::path p(tkToUtf8(path));
        if (!p.is_absolute()) return p.string();
        return p.lexically_relative(folder).string();
    }

    void file(pugi::xml_node parent, const char* element, const char* role, const TkSmFileReference* r) {
        if (!r) return;
        pugi::xml_node n = parent.append_child(element);
        if (role) n.append_attribute("role") = role;
        id(n, r);
        setText(n, "path", r->getFileName());
        std::string rel = relative(r->getFileName());
        if (!rel.empty()) n.append_attribute("relative") = escape(tkFromUtf8(rel)).c_str();
        if (auto* l = tkSmSafeCast<TkSmDbLayoutReference>(const_cast<TkSmFileReference*>(r))) {
            setText(n, "name", l->getName());
            setText(n, "handle", l->getHandle());
        } else if (auto* b = tkSmSafeCast<TkSmDbBlockRecordReference>(const_cast<TkSmFileReference*>(r))) {
            setText(n, "name", b->getName());
            setText(n, "handle", b->getHandle());
            setText(n, "ownerHandle", b->getOwnerHandle());
        }
    }

    void properties(pugi::xml_node parent, const TkSmCustomPropertyBag* bag) {
        if (!bag || bag->properties().empty()) return;
        pugi::xml_node n = parent.append_child("Properties");
        id(n, bag);
        for (const auto& e : bag->properties()) {
            pugi::xml_node p = n.append_child("Property");
            id(p, e.value.get());
            setText(p, "name", e.name);
            const TkSmVariant& v = e.value->getValue();
            p.append_attribute("type") = kVarTypes[static_cast<int>(v.type)];
            p.append_attribute("flags") = static_cast<long long>(e.value->getFlags());
            switch (v.type) {
            case TkSmVarType::Empty: break;
            case TkSmVarType::Bool: p.append_attribute("value") = v.b ? "1" : "0"; break;
            case TkSmVarType::Double: p.append_attribute("value") = v.d; break;
            case TkSmVarType::Text:
            case TkSmVarType::WText: p.append_attribute("value") = escape(v.text).c_str(); break;
            case TkSmVarType::Binary: {
                std::string hex;
                static const char* digits = "0123456789ABCDEF";
                for (uint8_t b : v.bytes) {
                    hex.push_back(digits[b >> 4]);
                    hex.push_back(digits[b & 15]);
                }
                p.append_attribute("value") = hex.c_str();
                break;
            }
            default: p.append_attribute("value") = static_cast<long long>(v.i);
            }
        }
    }

    void component(pugi::xml_node n, const TkSmComponent* c) {
        id(n, c);
        setText(n, "name", c->getName());
        setText(n, "desc", c->getDesc());
    }

    void subsetBody(pugi::xml_node n, const TkSmSubset* s) {
        if (s->getPromptForDwt()) n.append_attribute("promptForTemplate") = 1;
        if (s->getOverrideSheetPublish()) n.append_attribute("excludeFromPublish") = 1;
        file(n, "FileRef", "NewSheetLocation", s->getNewSheetLocation());
        file(n, "LayoutRef", "Template", s->getDefDwtLayout());
        properties(n, s->getCustomPropertyBag());
        auto e = s->getSheetEnumerator();
        while (TkSmComponent* c = e.next()) {
            if (auto* sheet = tkSmSafeCast<TkSmSheet>(c)) {
                pugi::xml_node x = n.append_child("Sheet");
                component(x, sheet);
                setText(x, "number", sheet->getNumber());
                setText(x, "title", sheet->getTitle());
                if (sheet->getDoNotPlot()) x.append_attribute("doNotPlot") = 1;
                setText(x, "revisionNumber", sheet->getRevisionNumber());
                setText(x, "revisionDate", sheet->getRevisionDate());
                setText(x, "issuePurpose", sheet->getIssuePurpose());
                setText(x, "category", sheet->getCategory());
                file(x, "LayoutRef", "Layout", sheet->getLayout());
                properties(x, sheet->getCustomPropertyBag());
            } else if (auto* sub = tkSmSafeCast<TkSmSubset>(c)) {
                pugi::xml_node x = n.append_child("Subset");
                component(x, sub);
                subsetBody(x, sub);
            }
        }
    }
};

}  // namespace

// ---------------------------------------------------------------- reading

struct TkSmStoreReader {
    TkSmDatabase& db;
    fs::path folder;
    std::unordered_map<uint64_t, TkSmObject*> byId;
    uint64_t maxId = 0;
    std::vector<std::pair<TkSmSheetSelSet*, uint64_t>> members;

    [[noreturn]] void bad(const std::string& what) { throw TkException(TkError_BadFormat, what); }

    void adopt(TkSmObject* o, const pugi::xml_node& n, TkSmObject* owner);
    static void setIdentity(TkSmObject* o, TkSmObject* owner, uint64_t id);
    // Parts that a new object creates for itself (a property bag, the collections) take the id
    // the file gave them, so ids stay stable across saves.
    void keepId(TkSmObject* o, const pugi::xml_node& n);

    template <class T>
    TkSmPtr<T> make(const pugi::xml_node& n, TkSmObject* owner) {
        TkSmPtr<T> p = TkSmPtr<T>::adopt(T::create());
        adopt(p.get(), n, owner);
        return p;
    }

    // The folder the set was saved in, as its references tell (empty when none does), and whether
    // that is another folder than the one it sits in now: a copied or moved project.
    fs::path savedFolder;
    bool moved = false;

    // The first reference that tells the folder ends the walk: a big set is not gathered whole.
    void findSavedFolder(const pugi::xml_document& doc) {
        doc.find_node([&](const pugi::xml_node& n) {
            if (!n.attribute("relative") || !n.attribute("path")) return false;
            const fs::path rel = fs::path(tkToUtf8(text(n, "relative"))).lexically_normal();
            const fs::path abs = fs::path(tkToUtf8(text(n, "path"))).lexically_normal();
            if (rel.empty() || rel.is_absolute() || !abs.is_absolute() || *rel.begin() == "..") return false;
            // abs = savedFolder / rel: take rel's parts off abs's end.
            fs::path at = abs;
            bool fits = true;
            for (auto it = rel.end(); fits && it != rel.begin();) {
                --it;
                fits = at.filename() == *it;
                at = at.parent_path();
            }
            if (!fits) return false;
            savedFolder = at;
            moved = !folder.empty() && savedFolder != folder.lexically_normal();
            return true;
        });
    }

    static bool inside(const fs::path& file, const fs::path& dir) {
        const fs::path r = file.lexically_normal().lexically_relative(dir);
        return !r.empty() && *r.begin() != "..";
    }

    // Relative path first: it follows the project folder when the folder moves. A moved project
    // never reaches back into the folder it was copied from: what is not beside it is missing.
    TkString resolve(const pugi::xml_node& n) {
        TkString abs = text(n, "path");
        TkString rel = text(n, "relative");
        const bool original = moved && !abs.empty() && inside(fs::path(tkToUtf8(abs)), savedFolder);
        if (rel.empty() || folder.empty()) return original ? TkString() : abs;
        std::error_code ec;
        fs::path viaRel = (folder / tkToUtf8(rel)).lexically_normal();
        if (original || fs::exists(viaRel, ec) || abs.empty() || !fs::exists(fs::path(tkToUtf8(abs)), ec)) return tkFromUtf8(viaRel.string());
        return abs;
    }

    template <class T>
    TkSmPtr<T> file(const pugi::xml_node& n, TkSmObject* owner) {
        TkSmPtr<T> r = make<T>(n, owner);
        r->file_ = resolve(n);
        r->relative_ = text(n, "relative");
        r->recorded_ = text(n, "path");
        if constexpr (std::is_same_v<T, TkSmDbLayoutReference>) {
            r->setName(text(n, "name"));
            r->setHandle(text(n, "handle"));
        } else if constexpr (std::is_same_v<T, TkSmDbBlockRecordReference>) {
            r->setName(text(n, "name"));
            r->setHandle(text(n, "handle"));
            r->setOwnerHandle(text(n, "ownerHandle"));
        }
        return r;
    }

    pugi::xml_node role(const pugi::xml_node& n, const char* element, const char* r) {
        for (pugi::xml_node c = n.child(element); c; c = c.next_sibling(element))
            if (std::string_view(c.attribute("role").as_string()) == r) return c;
        return {};
    }

    void properties(const pugi::xml_node& n, TkSmComponent* c) {
        pugi::xml_node props = n.child("Properties");
        if (!props) return;
        TkSmCustomPropertyBag* bag = c->getCustomPropertyBag();
        keepId(bag, props);
        for (pugi::xml_node p = props.child("Property"); p; p = p.next_sibling("Property")) {
            TkSmPtr<TkSmCustomPropertyValue> v = make<TkSmCustomPropertyValue>(p, bag);
            TkSmVariant var;
            std::string_view type = p.attribute("type").as_string("wtext");
            auto it = std::find(std::begin(kVarTypes), std::end(kVarTypes), type);
            if (it == std::end(kVarTypes)) bad("a custom property has the unknown type \"" + std::string(type) + "\"");
            var.type = static_cast<TkSmVarType>(it - std::begin(kVarTypes));
            pugi::xml_attribute value = p.attribute("value");
            switch (var.type) {
            case TkSmVarType::Empty: break;
            case TkSmVarType::Bool: var.b = value.as_bool(); break;
            case TkSmVarType::Double: var.d = value.as_double(); break;
            case TkSmVarType::Text:
            case TkSmVarType::WText: var.text = unescape(value.as_string()); break;
            case TkSmVarType::Binary: {
                std::string_view hex = value.as_string();
                for (size_t i = 0; i < hex.size(); i += 2) {
                    int hi = hexDigit(hex[i]), lo = i + 1 < hex.size() ? hexDigit(hex[i + 1]) : -1;
                    if (hi < 0 || lo < 0) bad("a binary custom property holds \"" + std::string(hex.substr(0, 40)) + "\", which is not hexadecimal");
                    var.bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
                }
                break;
            }
            default: var.i = value.as_llong();
            }
            v->setValue(var);
            v->setFlags(p.attribute("flags").as_int());
            TkString name = text(p, "name");
            if (name.empty()) bad("a custom property without a name");
            bag->setProperty(name, v.get());
        }
    }

    void subsetBody(const pugi::xml_node& n, TkSmSubset* s, int depth = 0) {
        // Every walk of the tree after this one may recurse: a file may not nest deeper than that.
        if (depth > kTkSmMaxSubsetDepth) bad("subsets are nested deeper than " + std::to_string(kTkSmMaxSubsetDepth) + " levels");
        s->setName(text(n, "name"));
        s->setDesc(text(n, "desc"));
        s->setPromptForDwt(n.attribute("promptForTemplate").as_bool());
        s->setOverrideSheetPublish(n.attribute("excludeFromPublish").as_bool());
        if (auto r = role(n, "FileRef", "NewSheetLocation")) s->setNewSheetLocation(file<TkSmFileReference>(r, s).get());
        if (auto r = role(n, "LayoutRef", "Template")) s->setDefDwtLayout(file<TkSmDbLayoutReference>(r, s).get());
        properties(n, s);
        for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
            std::string_view kind = c.name();
            if (kind == "Sheet") {
                TkSmPtr<TkSmSheet> sheet = make<TkSmSheet>(c, s);
                sheet->setName(text(c, "name"));
                sheet->setDesc(text(c, "desc"));
                sheet->setNumber(text(c, "number"));
                sheet->setTitle(text(c, "title"));
                sheet->setDoNotPlot(c.attribute("doNotPlot").as_bool());
                sheet->setRevisionNumber(text(c, "revisionNumber"));
                sheet->setRevisionDate(text(c, "revisionDate"));
                sheet->setIssuePurpose(text(c, "issuePurpose"));
                sheet->setCategory(text(c, "category"));
                if (auto r = role(c, "LayoutRef", "Layout")) sheet->setLayout(file<TkSmDbLayoutReference>(r, sheet.get()).get());
                properties(c, sheet.get());
                s->children_.push_back(TkSmPtr<TkSmComponent>(sheet.get()));
            } else if (kind == "Subset") {
                TkSmPtr<TkSmSubset> sub = make<TkSmSubset>(c, s);
                subsetBody(c, sub.get(), depth + 1);
                s->children_.push_back(TkSmPtr<TkSmComponent>(sub.get()));
            }
        }
    }
};

void TkSmStoreReader::adopt(TkSmObject* o, const pugi::xml_node& n, TkSmObject* owner) {
    uint64_t id = storedId(n);
    if (id == 0) id = db.allocateId();  // hand-edited files may leave ids out
    if (!byId.emplace(id, o).second) bad("two objects have the id " + std::to_string(id));
    maxId = std::max(maxId, id);
    setIdentity(o, owner, id);
    o->initNew(owner);  // creates the parts a new object has (property bag, collections)
}

void TkSmStoreReader::setIdentity(TkSmObject* o, TkSmObject* owner, uint64_t id) {
    o->owner_ = owner;
    o->db_ = owner->isKindOf(TkSmDatabase::desc()) ? static_cast<TkSmDatabase*>(owner) : owner->database();
    o->id_ = id;
}

void TkSmStoreReader::keepId(TkSmObject* o, const pugi::xml_node& n) {
    // An id some other object has already keeps the fresh one: nothing refers to these parts.
    if (uint64_t id = storedId(n); id && byId.emplace(id, o).second) o->id_ = id;
}

std::string TkSmStore::serialize(const TkSmDatabase& db, const TkString& folderPath) {
    pugi::xml_document doc;
    auto decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child(kRoot);
    root.append_attribute("format") = kFormat;
    setText(root, "template", db.getTemplateDstFileName());
    Writer w{fs::path(tkToUtf8(folderPath))};
    const TkSmSheetSet* ss = db.getSheetSet();
    pugi::xml_node n = root.append_child("SheetSet");
    w.component(n, ss);
    const char* project[] = {"projectNumber", "projectName", "projectPhase", "projectMilestone"};
    const TkString* values[] = {&ss->getProjectNumber(), &ss->getProjectName(), &ss->getProjectPhase(), &ss->getProjectMilestone()};
    for (int i = 0; i < 4; ++i) setText(n, project[i], *values[i]);
    w.file(n, "FileRef", "PageSetupOverrides", ss->getAltPageSetups());
    w.file(n, "BlockRef", "LabelBlock", ss->getDefLabelBlk());
    pugi::xml_node callouts = n.append_child("CalloutBlocks");
    w.id(callouts, ss->getCalloutBlocks());
    for (auto e = ss->getCalloutBlocks()->getEnumerator(); auto* b = e.next();) w.file(callouts, "BlockRef", nullptr, b);
    pugi::xml_node folders = n.append_child("ModelViewFolders");
    w.id(folders, ss->getResources());
    for (auto e = ss->getResources()->getEnumerator(); auto* f = e.next();) w.file(folders, "FileRef", nullptr, f);
    pugi::xml_node sels = n.append_child("SheetSelections");
    w.id(sels, ss->getSheetSelSets());
    for (auto e = ss->getSheetSelSets()->getEnumerator(); auto* s = e.next();) {
        pugi::xml_node x = sels.append_child("Selection");
        w.component(x, s);
        // Members that left the sheet set (removed sheets) are not written.
        for (auto m = s->getEnumerator(); auto* c = m.next();) {
            bool inSet = false;
            for (TkSmObject* o = c; o; o = o->owner())
                if (o == ss) inSet = true;
            if (inSet) x.append_child("Member").append_attribute("ref") = static_cast<unsigned long long>(c->id());
        }
    }
    w.subsetBody(n, ss);
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

TkFileIdentity TkSmStore::load(TkSmDatabase& db, const TkString& path) {
    std::string p = tkToUtf8(path);
    std::string backupNote;
    std::error_code ec;
    if (fs::exists(p + ".bak", ec)) backupNote = "; the previous good copy is " + p + ".bak";
    if (!fs::exists(p, ec)) throw TkException(TkError_FileNotFound, "cannot find the sheet set data file " + p);
    if (fs::is_directory(p, ec)) throw TkException(TkError_FileAccess, p + " is a folder, not a sheet set data file");
    std::string bytes;
    TkFileIdentity identity;
    if (!readWholeFile(p, bytes, identity)) throw TkException(TkError_FileAccess, "cannot read the sheet set data file " + p);
    pugi::xml_document doc;
    pugi::xml_parse_result r = doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
    if (r.status == pugi::status_out_of_memory) throw TkException(TkError_FileAccess, "cannot read the sheet set data file " + p);
    if (!r) {
        // pugixml gives a byte offset; people look for lines.
        long line = 1 + std::count(bytes.begin(), bytes.begin() + std::clamp<ptrdiff_t>(r.offset, 0, static_cast<ptrdiff_t>(bytes.size())), '\n');
        throw TkException(TkError_BadFormat, "the sheet set data file " + p + " is damaged (" + r.description() +
                                                 " at line " + std::to_string(line) + ")" + backupNote);
    }
    pugi::xml_node root = doc.child(kRoot);
    if (!root) throw TkException(TkError_BadFormat, p + " is not a sheet set data file" + backupNote);
    int format = root.attribute("format").as_int(0);
    if (format < 1) throw TkException(TkError_BadFormat, p + " has no format version" + backupNote);
    if (format > kFormat)
        throw TkException(TkError_UnsupportedVersion, p + " was written by a newer version of the sheet set manager (format " +
                                                          std::to_string(format) + ")" + backupNote);
    pugi::xml_node n = root.child("SheetSet");
    if (!n) throw TkException(TkError_BadFormat, p + " holds no sheet set" + backupNote);

    db.fileName_ = path;
    db.templateName_ = text(root, "template");
    std::error_code absError;
    TkSmStoreReader rd{db, fs::absolute(fs::path(p), absError).parent_path(), {}, 0, {}};
    rd.findSavedFolder(doc);
    db.savedElsewhere_ = rd.moved ? tkFromUtf8(rd.savedFolder.string()) : TkString();
    // New objects made while reading (property bags, collections) take ids above all in the file.
    uint64_t maxId = 0;
    for (pugi::xpath_node x : doc.select_nodes("//*[@id]")) maxId = std::max<uint64_t>(maxId, storedId(x.node()));
    db.nextId_ = std::max<uint64_t>(db.nextId_, maxId + 1);
    try {
        TkSmSheetSet* ss = db.getSheetSet();
        // The parts the empty database made for itself took the first ids, which the file may give
        // to other objects: they take fresh ones now, and their stored ones below when those are free.
        for (TkSmObject* part : std::initializer_list<TkSmObject*>{ss->getCustomPropertyBag(), ss->getCalloutBlocks(),
                                                                   ss->getResources(), ss->getSheetSelSets()})
            TkSmStoreReader::setIdentity(part, part->owner(), db.allocateId());
        uint64_t ssId = storedId(n);
        if (ssId == 0) ssId = db.allocateId();
        rd.byId.emplace(ssId, ss);
        TkSmStoreReader::setIdentity(ss, &db, ssId);
        rd.keepId(ss->getCalloutBlocks(), n.child("CalloutBlocks"));
        rd.keepId(ss->getResources(), n.child("ModelViewFolders"));
        rd.keepId(ss->getSheetSelSets(), n.child("SheetSelections"));
        const char* project[] = {"projectNumber", "projectName", "projectPhase", "projectMilestone"};
        ss->setProjectNumber(text(n, project[0]));
        ss->setProjectName(text(n, project[1]));
        ss->setProjectPhase(text(n, project[2]));
        ss->setProjectMilestone(text(n, project[3]));
        if (auto r2 = rd.role(n, "FileRef", "PageSetupOverrides")) ss->setAltPageSetups(rd.file<TkSmFileReference>(r2, ss).get());
        if (auto r2 = rd.role(n, "BlockRef", "LabelBlock")) ss->setDefLabelBlk(rd.file<TkSmDbBlockRecordReference>(r2, ss).get());
        for (auto b = n.child("CalloutBlocks").child("BlockRef"); b; b = b.next_sibling("BlockRef"))
            ss->getCalloutBlocks()->add(rd.file<TkSmDbBlockRecordReference>(b, ss->getCalloutBlocks()).get());
        for (auto f = n.child("ModelViewFolders").child("FileRef"); f; f = f.next_sibling("FileRef"))
            ss->getResources()->add(rd.file<TkSmFileReference>(f, ss->getResources()).get());
        rd.subsetBody(n, ss);
        for (auto s = n.child("SheetSelections").child("Selection"); s; s = s.next_sibling("Selection")) {
            TkSmSheetSelSet* sel = ss->getSheetSelSets()->add(text(s, "name"), text(s, "desc"));
            rd.keepId(sel, s);
            rd.byId.emplace(sel->id(), sel);
            for (auto m = s.child("Member"); m; m = m.next_sibling("Member")) rd.members.emplace_back(sel, m.attribute("ref").as_ullong());
        }
        // Selections refer to sheets and subsets by id, so they are resolved last. A member that
        // names nothing (a sheet removed by hand) is dropped.
        for (auto& [sel, id] : rd.members) {
            auto it = rd.byId.find(id);
            if (it != rd.byId.end())
                if (auto* c = tkSmSafeCast<TkSmComponent>(it->second); c && !c->isKindOf(TkSmSheetSelSet::desc()))
                    sel->add(c);
        }
    } catch (const TkException& e) {
        throw TkException(e.code(), std::string("the sheet set data file ") + p + " is damaged: " + e.what() + backupNote);
    } catch (const std::exception& e) {
        throw TkException(TkError_BadFormat, std::string("the sheet set data file ") + p + " cannot be read: " + e.what() + backupNote);
    }
    db.modified_ = false;
    return identity;
}

bool TkSmStore::isReadable(const std::string& utf8Path) {
    pugi::xml_document doc;
    if (!doc.load_file(utf8Path.c_str())) return false;
    pugi::xml_node root = doc.child(kRoot);
    int format = root.attribute("format").as_int(0);
    return root && format >= 1 && format <= kFormat && root.child("SheetSet");
}
