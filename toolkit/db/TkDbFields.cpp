#include "toolkit/db/TkDbFields.h"
#include "toolkit/db/TkDbCodes.h"

#include <cctype>
#include <charconv>

#include "toolkit/db/TkDbTagWriter.h"

namespace {

uint64_t hexHandle(std::string_view s) {
    uint64_t h = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), h, 16);
    return ec == std::errc() && end == s.data() + s.size() ? h : 0;
}

// The handle of the entity's extension dictionary ("102 {ACAD_XDICTIONARY / 360 h / 102 }").
uint64_t extensionDictionary(const TkDbRecord& e) {
    auto tags = e.tags();
    for (size_t i = 0; i + 1 < tags.size(); ++i)
        if (tags[i].code == tkdxf::kAppGroup && tags[i].value() == "{ACAD_XDICTIONARY" && tags[i + 1].code == tkdxf::kHardOwner) return hexHandle(tags[i + 1].value());
    return 0;
}

const TkDbRecord* fieldOf(const TkDbDatabase& db, const TkDbRecord& e) {
    const uint64_t dict = extensionDictionary(e);
    auto d = dict ? db.dictionary(dict) : std::nullopt;
    const uint64_t field = d ? d->get("ACAD_FIELD") : 0;
    const TkDbRecord* f = field ? db.byHandle(field) : nullptr;
    return f && f->type() == "FIELD" ? f : nullptr;
}

std::vector<const TkDbRecord*> childFields(const TkDbDatabase& db, const TkDbRecord& field) {
    std::vector<const TkDbRecord*> out;
    for (const TkDbTag& t : field.tags())
        if (t.code == tkdxf::kHardOwner)
            if (const TkDbRecord* c = db.byHandle(hexHandle(t.value())); c && c->type() == "FIELD") out.push_back(c);
    return out;
}

// The field's text: its code with each "%<\_FldIdx n>%" replaced by child n's value; nothing when a
// child's value is unknown.
std::optional<std::string> fieldText(const TkDbDatabase& db, const TkDbRecord& field, const TkDbValueOf& valueOf) {
    const std::string code(field.str(2));
    const std::vector<const TkDbRecord*> children = childFields(db, field);
    std::string out;
    bool any = false;
    for (size_t i = 0; i < code.size();) {
        const size_t open = code.find("%<\\_FldIdx ", i);
        if (open == std::string::npos) {
            out += code.substr(i);
            break;
        }
        out += code.substr(i, open - i);
        const size_t close = code.find(">%", open);
        if (close == std::string::npos) return std::nullopt;
        const size_t index = static_cast<size_t>(std::atoi(code.c_str() + open + 11));
        if (index >= children.size()) return std::nullopt;
        std::optional<std::string> v = valueOf(tkDbFieldName(children[index]->str(2)));
        if (!v) return std::nullopt;
        out += *v;
        any = true;
        i = close + 2;
    }
    if (!any) return std::nullopt;
    return out;
}

bool setText(TkDbRecord& e, const std::string& text) {
    if (e.str(1) == text && !e.find(3)) return false;
    // A long MTEXT keeps earlier chunks in 3 groups: the new value replaces them all.
    if (e.type() == "MTEXT")
        for (size_t i = e.indexOf(3); i != TkDbRecord::npos; i = e.indexOf(3)) e.erase(i, i + 1);
    const size_t at = e.indexOf(1);
    if (at == TkDbRecord::npos) return false;
    e.setTag(at, text);
    return true;
}

}  // namespace

std::string tkDbFieldName(std::string_view s) {
    // A field code: "\AcSm Sheet.Number \f "%tc1"": the evaluator and the switches go.
    if (s.starts_with("\\")) {
        const size_t space = s.find(' ');
        s = space == std::string_view::npos ? std::string_view() : s.substr(space + 1);
        const size_t sw = s.find(" \\");
        if (sw != std::string_view::npos) s = s.substr(0, sw);
    }
    std::string out;
    for (char c : s)
        if (std::isalnum(static_cast<unsigned char>(c))) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

int tkDbUpdateFieldTexts(TkDbDatabase& db, uint64_t blockRecord, const TkDbValueOf& valueOf) {
    int changed = 0;
    for (TkDbRecord* e : db.blockContents(blockRecord)) {
        const std::string_view t = e->type();
        if (t != "TEXT" && t != "MTEXT" && t != "ATTRIB") continue;
        std::optional<std::string> value;
        if (const TkDbRecord* field = fieldOf(db, *e)) value = fieldText(db, *field, valueOf);
        else if (t == "ATTRIB") value = valueOf(tkDbFieldName(e->str(2, "AcDbAttribute")));
        if (value && setText(*e, *value)) ++changed;
    }
    return changed;
}

bool tkDbAttachField(TkDbDatabase& db, TkDbRecord& text, std::string_view fieldCode) {
    const std::string_view t = text.type();
    if ((t != "TEXT" && t != "MTEXT" && t != "ATTRIB") || extensionDictionary(text)) return false;
    const uint64_t dictH = db.allocateHandle(), fieldH = db.allocateHandle(), childH = db.allocateHandle();
    const std::string H = tkDbHandleText(text.handle()), D = tkDbHandleText(dictH), F = tkDbHandleText(fieldH), C = tkDbHandleText(childH);
    const std::string cached(text.str(1));
    db.appendRecord("OBJECTS", {{0, "DICTIONARY"}, {5, D}, {330, H}, {100, "AcDbDictionary"}, {280, "1"}, {281, "1"}, {3, "ACAD_FIELD"}, {360, F}});
    db.appendRecord("OBJECTS", {{0, "FIELD"}, {5, F}, {330, D}, {100, "AcDbField"}, {1, "_text"}, {2, "%<\\_FldIdx 0>%"}, {90, "1"},
                                {360, C}, {97, "0"}, {91, "63"}, {92, "0"}, {94, "59"}, {95, "2"}, {96, "0"}, {300, ""}, {93, "0"},
                                {98, std::to_string(cached.size())}, {301, cached}});
    db.appendRecord("OBJECTS", {{0, "FIELD"}, {5, C}, {330, F}, {100, "AcDbField"}, {1, "AcSm"}, {2, std::string(fieldCode)}, {90, "0"},
                                {97, "0"}, {91, "63"}, {92, "0"}, {94, "59"}, {95, "2"}, {96, "0"}, {300, ""}, {93, "0"},
                                {98, std::to_string(cached.size())}, {301, cached}});
    // The dictionary hangs on the text, right after its handle.
    const size_t at = text.indexOf(5) == TkDbRecord::npos ? 1 : text.indexOf(5) + 1;
    text.insert(at, 102, "{ACAD_XDICTIONARY");
    text.insert(at + 1, 360, D);
    text.insert(at + 2, 102, "}");
    return true;
}
