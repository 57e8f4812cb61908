// Queries over the records of a drawing: header, tables, blocks, entities, dictionaries, layouts.
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbCodes.h"
#include "toolkit/common/TkUtf8.h"

#include <algorithm>
#include <unordered_set>

#include "toolkit/db/TkDbTagWriter.h"

TkDbDatabase::TkDbDatabase() = default;
TkDbDatabase::~TkDbDatabase() = default;

void TkDbDatabase::clear() {
    fileName_.clear();
    buffer_.release();
    TkDbTagArray().swap(tags_);
    pool_.clear();
    extraBuffers_.clear();
    extraTags_.clear();
    sections_.clear();
    prologue_.clear();
    handles_.clear();
    header_.clear();
    problems_.clear();
    blockIndexValid_ = false;
    nextHandle_ = 1;
    version_ = kTkDbVerUnknown;
}

TkDbSection* TkDbDatabase::section(std::string_view name) {
    for (auto& s : sections_)
        if (s.name == name) return &s;
    return nullptr;
}

const TkDbSection* TkDbDatabase::section(std::string_view name) const {
    return const_cast<TkDbDatabase*>(this)->section(name);
}

const TkDbRecord* TkDbDatabase::headerVar(std::string_view name) const {
    auto it = header_.find(std::string(name));
    return it == header_.end() || it->second->erased() ? nullptr : it->second;
}

std::string TkDbDatabase::getVar(std::string_view name) const {
    const TkDbRecord* r = headerVar(name);
    return r && r->count() > 1 ? std::string(r->tags()[1].value()) : std::string();
}

double TkDbDatabase::getVarDouble(std::string_view name, double def) const {
    double v;
    return tkDbToDouble(getVar(name), v) ? v : def;
}

long long TkDbDatabase::getVarInt(std::string_view name, long long def) const {
    long long v;
    return tkDbToInt(getVar(name), v) ? v : def;
}

void TkDbDatabase::setVar(std::string_view name, const std::vector<TkDbValue>& values) {
    auto it = header_.find(std::string(name));
    if (it != header_.end()) {
        it->second->replaceTail(1, values);
        return;
    }
    std::vector<TkDbValue> rec{{9, std::string(name)}};
    rec.insert(rec.end(), values.begin(), values.end());
    TkDbRecord* r = appendRecord("HEADER", rec);
    header_.emplace(std::string(name), r);
}

std::string TkDbDatabase::getSysVar(std::string_view name) const {
    if (tkDbNameEqualNoCase(name, "LOGINNAME")) return getVar("$LASTSAVEDBY");
    std::string var = "$";
    for (char c : name) var.push_back(tkAsciiUpper(c));
    return getVar(var);
}

TkDbRecord* TkDbDatabase::byHandle(uint64_t h) const {
    auto it = handles_.find(h);
    return it == handles_.end() || it->second->erased() ? nullptr : it->second;
}

uint64_t TkDbDatabase::allocateHandle() {
    while (handles_.count(nextHandle_)) ++nextHandle_;
    return nextHandle_++;
}

std::vector<TkDbRecord*> TkDbDatabase::tableEntries(std::string_view table) const {
    std::vector<TkDbRecord*> out;
    const TkDbSection* s = section("TABLES");
    if (!s) return out;
    bool in = false;
    for (TkDbRecord* r : s->records) {
        if (r->erased()) continue;
        std::string_view type = r->type();
        if (type == "TABLE") { in = r->str(2) == table; continue; }
        if (type == "ENDTAB") { in = false; continue; }
        if (in) out.push_back(r);
    }
    return out;
}

std::vector<TkDbBlockRecord> TkDbDatabase::blockRecords() const {
    std::vector<TkDbBlockRecord> out;
    for (TkDbRecord* r : tableEntries("BLOCK_RECORD")) out.emplace_back(r);
    return out;
}

std::optional<TkDbBlockRecord> TkDbDatabase::findBlockRecord(std::string_view name) const {
    for (TkDbRecord* r : tableEntries("BLOCK_RECORD"))
        if (tkDbNameEqualNoCase(r->str(2), name)) return TkDbBlockRecord(r);
    return std::nullopt;
}

const TkDbDatabase::BlockSpan* TkDbDatabase::blockSpan(uint64_t br) const {
    if (!blockIndexValid_) {
        blockIndex_.clear();
        if (const TkDbSection* s = section("BLOCKS")) {
            // BLOCKs name their block record by owner; drawings without owners by name only.
            std::unordered_map<std::string, uint64_t> byName;
            for (TkDbRecord* r : tableEntries("BLOCK_RECORD")) {
                std::string n(r->str(2));
                for (char& c : n) c = tkAsciiLower(c);
                byName.emplace(std::move(n), r->handle());
            }
            uint64_t open = 0;
            for (size_t i = 0; i < s->records.size(); ++i) {
                const TkDbRecord* r = s->records[i];
                if (r->erased()) continue;
                if (r->type() == "BLOCK") {
                    uint64_t owner = r->owner();
                    if (!owner || !byHandle(owner)) {
                        std::string n(r->str(2));
                        for (char& c : n) c = tkAsciiLower(c);
                        auto it = byName.find(n);
                        owner = it == byName.end() ? 0 : it->second;
                    }
                    open = owner && !blockIndex_.count(owner) ? owner : 0;
                    if (open) blockIndex_[open] = BlockSpan{i, s->records.size()};
                } else if (r->type() == "ENDBLK" && open) {
                    blockIndex_[open].end = i;
                    open = 0;
                }
            }
        }
        blockIndexValid_ = true;
    }
    auto it = blockIndex_.find(br);
    return it == blockIndex_.end() ? nullptr : &it->second;
}

const TkDbRecord* TkDbDatabase::blockBegin(uint64_t br) const {
    const BlockSpan* span = blockSpan(br);
    if (!span) return nullptr;
    const TkDbRecord* r = section("BLOCKS")->records[span->begin];
    return r->erased() ? nullptr : r;
}

namespace {
bool isFollower(std::string_view type) { return type == "VERTEX" || type == "SEQEND" || type == "ATTRIB"; }
}  // namespace

std::vector<TkDbRecord*> TkDbDatabase::sectionSpan(std::string_view which, uint64_t br) const {
    // Every record of the block record's entities, followers (vertices, attributes) included.
    std::vector<TkDbRecord*> out;
    const TkDbRecord* brRec = byHandle(br);
    if (!brRec) return out;
    if (which == "ENTITIES") {
        const TkDbSection* s = section("ENTITIES");
        if (!s) return out;
        TkDbBlockRecord b(brRec);
        bool paper = b.isPaperSpace();
        bool taking = false;
        for (TkDbRecord* r : s->records) {
            if (r->erased()) continue;
            if (!isFollower(r->type())) {
                taking = r->owner() ? r->owner() == br : (r->integer(67) == 1) == paper;
            }
            if (taking) out.push_back(r);
        }
        return out;
    }
    const TkDbSection* s = section("BLOCKS");
    const BlockSpan* span = blockSpan(br);
    if (!s || !span || s->records[span->begin]->erased()) return out;
    for (size_t i = span->begin + 1; i < span->end && i < s->records.size(); ++i)
        if (!s->records[i]->erased()) out.push_back(s->records[i]);
    return out;
}

std::vector<TkDbRecord*> TkDbDatabase::blockContents(uint64_t br) const {
    const TkDbRecord* brRec = byHandle(br);
    if (!brRec) return {};
    TkDbBlockRecord b(brRec);
    bool inEntities = b.isModelSpace() || tkDbNameEqualNoCase(b.name(), "*Paper_Space");
    return sectionSpan(inEntities ? "ENTITIES" : "BLOCKS", br);
}

std::vector<TkDbRecord*> TkDbDatabase::entitiesOf(uint64_t br) const {
    std::vector<TkDbRecord*> out = blockContents(br);
    std::erase_if(out, [](TkDbRecord* r) { return isFollower(r->type()); });
    return out;
}

TkDbEntityCounts TkDbDatabase::entityCounts() const {
    TkDbEntityCounts c;
    std::unordered_set<uint64_t> paper;
    uint64_t model = 0;
    for (auto& b : blockRecords()) {
        if (b.isModelSpace()) model = b.handle();
        else if (b.isPaperSpace()) paper.insert(b.handle());
    }
    auto countIn = [&](const TkDbSection* s, bool blocksSection) {
        if (!s) return;
        // In the blocks section, an entity belongs to the block it sits in; which block that is
        // shows in its BLOCK's name (drawings without block records have no owners to go by).
        enum { Model, Paper, Block } current = Block;
        for (TkDbRecord* r : s->records) {
            if (r->erased()) continue;
            std::string_view t = r->type();
            if (blocksSection && t == "BLOCK") {
                std::string_view name = r->str(2);
                current = tkDbNameEqualNoCase(name, "*Model_Space") ? Model
                          : tkDbStartsWithNoCase(name, "*Paper_Space") ? Paper : Block;
                continue;
            }
            if (blocksSection && t == "ENDBLK") continue;
            if (isFollower(t)) continue;
            if (blocksSection) {
                (current == Model ? c.modelSpace : current == Paper ? c.paperSpace : c.blocks)++;
                continue;
            }
            uint64_t owner = r->owner();
            if (owner == 0) {
                (r->integer(67) == 1 ? c.paperSpace : c.modelSpace)++;
                continue;
            }
            if (owner == model) ++c.modelSpace;
            else if (paper.count(owner)) ++c.paperSpace;
            else ++c.blocks;
        }
    };
    countIn(section("ENTITIES"), false);
    countIn(section("BLOCKS"), true);
    return c;
}

uint64_t TkDbDatabase::namedObjectsDictionary() const {
    const TkDbSection* s = section("OBJECTS");
    if (!s) return 0;
    // The first DICTIONARY of the objects section is the root; it is owned by nobody.
    for (TkDbRecord* r : s->records)
        if (!r->erased() && r->type() == "DICTIONARY") return r->handle();
    return 0;
}

std::optional<TkDbDictionary> TkDbDatabase::dictionary(uint64_t h) const {
    TkDbRecord* r = byHandle(h);
    if (!r || (r->type() != "DICTIONARY" && r->type() != "ACDBDICTIONARYWDFLT")) return std::nullopt;
    return TkDbDictionary(r);
}

std::optional<TkDbXrecord> TkDbDatabase::xrecord(uint64_t h) const {
    TkDbRecord* r = byHandle(h);
    if (!r || r->type() != "XRECORD") return std::nullopt;
    return TkDbXrecord(r);
}

std::vector<TkDbLayout> TkDbDatabase::layouts() const {
    std::vector<TkDbLayout> out;
    std::unordered_set<const TkDbRecord*> seen;
    if (auto root = dictionary(namedObjectsDictionary()))
        if (auto dict = dictionary(root->get("ACAD_LAYOUT")))
            for (auto& e : dict->entries())
                if (TkDbRecord* r = byHandle(e.handle); r && r->type() == "LAYOUT" && seen.insert(r).second)
                    out.emplace_back(r);
    // Layouts missing from the dictionary still exist for whoever reads the objects section.
    if (const TkDbSection* s = section("OBJECTS"))
        for (TkDbRecord* r : s->records)
            if (!r->erased() && r->type() == "LAYOUT" && seen.insert(r).second) out.emplace_back(r);
    std::stable_sort(out.begin(), out.end(), [](const TkDbLayout& a, const TkDbLayout& b) { return a.tabOrder() < b.tabOrder(); });
    return out;
}

std::optional<TkDbLayout> TkDbDatabase::findLayout(std::string_view name) const {
    for (auto& l : layouts())
        if (l.name() == name) return l;
    return std::nullopt;
}

std::string TkDbDatabase::currentLayoutName() const {
    if (getVarInt("$TILEMODE", 1) != 0) {
        for (auto& l : layouts()) {
            const TkDbRecord* br = byHandle(l.blockRecordHandle());
            if (br && TkDbBlockRecord(br).isModelSpace()) return l.name();
        }
        return "Model";
    }
    for (auto& l : layouts()) {
        const TkDbRecord* br = byHandle(l.blockRecordHandle());
        if (br && tkDbNameEqualNoCase(br->str(2), "*Paper_Space")) return l.name();
    }
    return "Model";
}

const TkDbRecord* TkDbDatabase::overallViewport(const TkDbLayout& layout) const {
    const TkDbRecord* br = byHandle(layout.blockRecordHandle());
    if (!br || TkDbBlockRecord(br).isModelSpace()) return nullptr;
    for (TkDbRecord* r : entitiesOf(br->handle()))
        if (r->type() == "VIEWPORT" && r->integer(69, "AcDbViewport", r->integer(69)) == 1) return r;
    return nullptr;
}

std::vector<TkDbPlotSettings> TkDbDatabase::pageSetups() const {
    std::vector<TkDbPlotSettings> out;
    if (auto root = dictionary(namedObjectsDictionary()))
        if (auto dict = dictionary(root->get("ACAD_PLOTSETTINGS")))
            for (auto& e : dict->entries())
                if (TkDbRecord* r = byHandle(e.handle); r && r->type() == "PLOTSETTINGS") out.emplace_back(r);
    return out;
}

void TkDbDatabase::reindexRecord(TkDbRecord* r) {
    auto t = r->tags();
    r->handle_ = r->owner_ = 0;
    bool inGroup = false, haveOwner = false;
    for (size_t k = 1; k < t.size(); ++k) {
        const TkDbTag& g = t[k];
        if (g.code == tkdxf::kSubclass || g.code == tkdxf::kXdataApp) break;
        if (g.code == tkdxf::kAppGroup) { inGroup = g.len && g.ptr[0] == '{'; continue; }
        if (inGroup) continue;
        if ((g.code == tkdxf::kHandle || g.code == tkdxf::kDimStyleHandle) && r->handle_ == 0) tkDbParseHandle(g.value(), r->handle_);
        else if (g.code == tkdxf::kOwner && !haveOwner) { haveOwner = true; tkDbParseHandle(g.value(), r->owner_); }
    }
    if (r->handle_) {
        handles_[r->handle_] = r;
        if (r->handle_ >= nextHandle_) nextHandle_ = r->handle_ + 1;
    }
}

TkDbSection* TkDbDatabase::ensureSection(std::string_view name) {
    if (TkDbSection* s = section(name)) return s;
    // Sections go in their usual order, so a drawing that lacked one still reads everywhere.
    static const std::string_view order[] = {"HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"};
    auto rank = [&](std::string_view n) {
        for (size_t i = 0; i < std::size(order); ++i)
            if (order[i] == n) return i;
        return std::size(order);
    };
    auto pos = std::find_if(sections_.begin(), sections_.end(), [&](const TkDbSection& x) { return rank(x.name) > rank(name); });
    return &*sections_.insert(pos, TkDbSection{std::string(name), {}});
}

TkDbRecord* TkDbDatabase::appendRecord(std::string_view secName, const std::vector<TkDbValue>& values,
                                       const TkDbRecord* before) {
    std::string& text = extraBuffers_.emplace_back();
    for (const auto& v : values) text += v.text;
    auto& tags = extraTags_.emplace_back();
    tags.reserve(values.size());
    size_t off = 0;
    for (const auto& v : values) {
        tags.push_back(TkDbTag{text.data() + off, static_cast<uint32_t>(v.text.size()), v.code});
        off += v.text.size();
    }
    pool_.emplace_back(tags.data(), static_cast<uint32_t>(tags.size()));
    TkDbRecord* r = &pool_.back();

    TkDbSection* s = ensureSection(secName);
    auto at = before ? std::find(s->records.begin(), s->records.end(), before) : s->records.end();
    s->records.insert(at, r);
    blockIndexValid_ = false;
    if (secName != "HEADER" && secName != "CLASSES") reindexRecord(r);
    return r;
}

void TkDbDatabase::eraseWithOwned(const std::vector<TkDbRecord*>& roots) {
    // Owner to owned, over every live record, then erase the owned closure of the root.
    std::unordered_multimap<uint64_t, TkDbRecord*> owned;
    for (auto& s : sections_)
        for (TkDbRecord* r : s.records)
            if (!r->erased() && r->owner()) owned.emplace(r->owner(), r);
    std::vector<TkDbRecord*> stack(roots);
    while (!stack.empty()) {
        TkDbRecord* r = stack.back();
        stack.pop_back();
        if (!r || r->erased()) continue;
        r->erased_ = true;
        if (r->handle()) {
            handles_.erase(r->handle());
            auto [b, e] = owned.equal_range(r->handle());
            for (auto it = b; it != e; ++it) stack.push_back(it->second);
        }
    }
}
