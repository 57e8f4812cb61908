// Editing layouts: rename, delete, make current.
#include <algorithm>
#include <unordered_set>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {
constexpr std::string_view kActivePaper = "*Paper_Space";

bool validLayoutName(std::string_view n) {
    if (n.empty() || n.size() > 255) return false;
    if (n.find_first_of("<>/\\\":;?*|,=`") != std::string_view::npos) return false;
    return n.front() != ' ' && n.back() != ' ';
}

uint64_t layoutDictionary(const TkDbDatabase& db) {
    auto root = db.dictionary(db.namedObjectsDictionary());
    return root ? root->get("ACAD_LAYOUT") : 0;
}
}  // namespace

TkDbResult TkDbDatabase::renameLayout(std::string_view from, std::string_view to) {
    auto l = findLayout(from);
    if (!l) return TkDbResult::fail(eTkKeyNotFound, "the drawing has no layout \"" + std::string(from) + "\"");
    if (tkDbNameEqualNoCase(from, "Model") || tkDbNameEqualNoCase(to, "Model"))
        return TkDbResult::fail(eTkNotApplicable, "the Model layout cannot be renamed");
    if (!validLayoutName(to)) return TkDbResult::fail(eTkInvalidInput, "\"" + std::string(to) + "\" is not a valid layout name");
    for (auto& o : layouts())
        if (o.record() != l->record() && tkDbNameEqualNoCase(o.name(), to))
            return TkDbResult::fail(eTkDuplicateKey, "a layout named \"" + o.name() + "\" exists already");
    // Through the record itself: a layout read from a damaged file may have no usable handle.
    TkDbRecord* rec = const_cast<TkDbRecord*>(l->record());
    rec->set(1, to, "AcDbLayout");
    if (auto dict = dictionary(layoutDictionary(*this)))
        for (auto& e : dict->entries())
            if (e.handle && e.handle == l->handle()) byHandle(dict->handle())->setTag(e.keyTag, to);
    return TkDbResult::success();
}

void TkDbDatabase::moveBlockEntities(uint64_t fromBr, std::string_view toSection, uint64_t toBr) {
    // Moves the entities of a layout between the ENTITIES section (the active layout) and its block
    // definition in the BLOCKS section; handles and owners stay as they are.
    std::string_view fromSection = toSection == "ENTITIES" ? "BLOCKS" : "ENTITIES";
    std::vector<TkDbRecord*> moving = sectionSpan(fromSection, fromBr);
    if (moving.empty()) return;
    if (toSection == "BLOCKS" && !blockBegin(toBr)) {
        // A damaged drawing without the BLOCK and ENDBLK of this layout: give it them, or the
        // entities would land inside whatever block came last.
        const TkDbRecord* br = byHandle(toBr);
        std::string name(br ? br->str(2) : "*Paper_Space");
        std::string h = tkDbHandleText(toBr);
        appendRecord("BLOCKS", {{0, "BLOCK"}, {5, tkDbHandleText(allocateHandle())}, {330, h}, {100, "AcDbEntity"},
                                {67, "1"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, name}, {70, "0"}, {10, "0.0"},
                                {20, "0.0"}, {30, "0.0"}, {3, name}, {1, ""}});
        appendRecord("BLOCKS", {{0, "ENDBLK"}, {5, tkDbHandleText(allocateHandle())}, {330, h}, {100, "AcDbEntity"},
                                {67, "1"}, {8, "0"}, {100, "AcDbBlockEnd"}});
    }
    TkDbSection* from = section(fromSection);
    blockIndexValid_ = false;
    const std::unordered_set<TkDbRecord*> leaving(moving.begin(), moving.end());
    std::erase_if(from->records, [&](TkDbRecord* r) { return leaving.count(r) != 0; });
    for (TkDbRecord* r : moving)
        if (r->subclassRange("AcDbEntity").first != TkDbRecord::npos && r->indexOf(67, "AcDbEntity") == TkDbRecord::npos)
            r->set(67, "1", "AcDbEntity");  // paper-space entities say so wherever they are
    TkDbSection* to = ensureSection(toSection);
    auto at = to->records.end();
    if (toSection == "BLOCKS") {
        const TkDbRecord* begin = blockBegin(toBr);
        auto it = std::find(to->records.begin(), to->records.end(), begin);
        while (it != to->records.end() && (*it)->type() != "ENDBLK") ++it;
        at = it;
    }
    to->records.insert(at, moving.begin(), moving.end());
    blockIndexValid_ = false;
}

TkDbResult TkDbDatabase::setCurrentLayout(std::string_view name) {
    auto l = findLayout(name);
    if (!l) return TkDbResult::fail(eTkKeyNotFound, "the drawing has no layout \"" + std::string(name) + "\"");
    TkDbRecord* br = byHandle(l->blockRecordHandle());
    if (!br) return TkDbResult::fail(eTkBadStructure, "the layout \"" + std::string(name) + "\" has no block");
    if (TkDbBlockRecord(br).isModelSpace()) {
        setVar("$TILEMODE", 70, "1");
        return TkDbResult::success();
    }
    if (!tkDbNameEqualNoCase(br->str(2), kActivePaper)) {
        // The active layout owns the name "*Paper_Space" and keeps its entities in ENTITIES; swap
        // both with the layout that was active until now.
        std::string newName = std::string(br->str(2));
        auto old = findBlockRecord(kActivePaper);
        TkDbRecord* oldBr = old ? const_cast<TkDbRecord*>(old->record()) : nullptr;
        if (oldBr) moveBlockEntities(oldBr->handle(), "BLOCKS", oldBr->handle());
        moveBlockEntities(br->handle(), "ENTITIES", br->handle());
        auto rename = [&](TkDbRecord* rec, const std::string& to) {
            if (TkDbRecord* begin = const_cast<TkDbRecord*>(blockBegin(rec->handle()))) {
                begin->set(2, to, "AcDbBlockBegin");
                if (begin->indexOf(3, "AcDbBlockBegin") != TkDbRecord::npos) begin->set(3, to, "AcDbBlockBegin");
            }
            // The name sits in one subclass or another depending on who wrote the file.
            rec->set(2, to);
        };
        // Rename the BLOCKs while the names still tell them apart, then the records.
        rename(br, std::string(kActivePaper));
        if (oldBr) rename(oldBr, newName);
        blockIndexValid_ = false;
    }
    setVar("$TILEMODE", 70, "0");
    return TkDbResult::success();
}

TkDbResult TkDbDatabase::deleteLayout(std::string_view name) {
    auto l = findLayout(name);
    if (!l) return TkDbResult::fail(eTkKeyNotFound, "the drawing has no layout \"" + std::string(name) + "\"");
    TkDbRecord* br = byHandle(l->blockRecordHandle());
    if (!br || TkDbBlockRecord(br).isModelSpace())
        return TkDbResult::fail(eTkNotApplicable, "the Model layout cannot be deleted");
    std::vector<TkDbLayout> paper;
    for (auto& o : layouts())
        if (const TkDbRecord* b = byHandle(o.blockRecordHandle()); b && !TkDbBlockRecord(b).isModelSpace()) paper.push_back(o);
    if (paper.size() <= 1)
        return TkDbResult::fail(eTkNotApplicable, "\"" + std::string(name) + "\" is the last paper layout; a drawing keeps one");

    if (tkDbNameEqualNoCase(br->str(2), kActivePaper)) {
        // Another layout takes over the active paper space first; model space stays current if it was.
        long long tile = getVarInt("$TILEMODE", 1);
        for (auto& o : paper)
            if (o.record() != l->record()) { setCurrentLayout(o.name()); break; }
        setVar("$TILEMODE", 70, std::to_string(tile));
    }
    std::vector<TkDbRecord*> doomed = sectionSpan("BLOCKS", br->handle());
    if (const TkDbRecord* begin = blockBegin(br->handle())) {
        doomed.push_back(const_cast<TkDbRecord*>(begin));
        const TkDbSection* blocks = section("BLOCKS");
        auto it = std::find(blocks->records.begin(), blocks->records.end(), begin);
        while (it != blocks->records.end() && (*it)->type() != "ENDBLK") ++it;
        if (it != blocks->records.end()) doomed.push_back(*it);
    }
    doomed.push_back(br);
    doomed.push_back(const_cast<TkDbRecord*>(l->record()));
    uint64_t dict = layoutDictionary(*this);
    if (auto d = dictionary(dict))
        for (auto& e : d->entries())
            if (e.handle && e.handle == l->handle()) { removeDictionaryEntry(dict, e.name); break; }
    eraseWithOwned(doomed);

    // Tab orders stay contiguous: model 0, then 1, 2, ...
    int order = 0;
    for (auto& o : layouts()) {
        TkDbRecord* rec = const_cast<TkDbRecord*>(o.record());
        if (o.tabOrder() != order) rec->set(71, std::to_string(order), "AcDbLayout");
        ++order;
    }
    return TkDbResult::success();
}
