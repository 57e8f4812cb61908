#include "model/SheetListTable.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cwchar>
#include <cwctype>

#include "model/TitleBlocks.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

constexpr std::string_view kDictionary = "VrSheetLists";
constexpr const char* kBlockPrefix = "VR_SHEET_LIST_";

// Paper millimetres: text, rows and the space around them.
constexpr double kTextHeight = 2.5, kTitleHeight = 3.5, kRowHeight = 7, kPad = 1.5, kCharWidth = kTextHeight;
constexpr double kMinColumn = 15, kMaxColumn = 150, kChunkGap = 10, kMargin = 25, kBottomMargin = 10;
constexpr size_t kMinRowsPerChunk = 5;
// What a drawing's record of its table may ask for, whatever it says: columns, and room in mm.
constexpr size_t kMaxColumns = 32;
constexpr double kMaxRoom = 1e6;

void walk(const CSubset* subset, const TkString& path, bool isSet, SheetListing& out) {
    bool headed = false;
    for (int i = 0; i < subset->getCount(); ++i) {
        const CComponent* c = subset->getAt(i);
        if (c->getType() == kComponentSheet) {
            // A subset's sheets after one of its own subsets get its heading again; the set's own
            // sheets need one only after some subset's.
            if (!headed && (!isSet || !out.rows.empty())) out.rows.push_back({path, {}, {}, {}, {}, {}, {}, {}, {}});
            headed = true;
            const auto* s = static_cast<const CSheet*>(c);
            SheetListing::Row row{{}, s->getNumber(), s->getTitle(), s->getDesc(), s->getRevisionNumber(), s->getRevisionDate(),
                                  s->getIssuePurpose(), s->getCategory(), {}};
            s->getCustomProperties()->getAll(row.custom);
            out.rows.push_back(std::move(row));
        } else if (const auto* sub = dynamic_cast<const CSubset*>(c)) {
            walk(sub, isSet ? sub->getName() : path + L" / " + sub->getName(), false, out);
            headed = false;
        }
    }
}

TkString lower(TkString s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    for (wchar_t& c : s)
        if (c == L'-' || c == L'_') c = L' ';
    return s;
}

struct Column {
    TkString key;      // as normalized: "revision date", or a custom property's name in lower case
    TkString caption;  // as the header row shows it
};

const std::vector<std::pair<TkString, TkString>>& builtInColumns() {
    static const std::vector<std::pair<TkString, TkString>> columns{
        {L"number", L"Number"},     {L"title", L"Title"},       {L"description", L"Description"}, {L"revision", L"Revision"},
        {L"revision date", L"Revision Date"}, {L"purpose", L"Purpose"}, {L"category", L"Category"}};
    return columns;
}

// A column as the table shows it; an empty key when `name` names nothing the set knows.
Column columnOf(const TkString& name, const std::vector<CustomProperty>& known) {
    const TkString key = lower(name);
    for (const auto& [k, caption] : builtInColumns())
        if (k == key) return {k, caption};
    for (const CustomProperty& p : known)
        if (lower(p.name) == key) return {key, p.name};
    return {};
}

TkString cell(const SheetListing::Row& row, const TkString& key) {
    if (key == L"number") return row.number;
    if (key == L"title") return row.title;
    if (key == L"description") return row.description;
    if (key == L"revision") return row.revision;
    if (key == L"revision date") return row.revisionDate;
    if (key == L"purpose") return row.purpose;
    if (key == L"category") return row.category;
    for (const CustomProperty& p : row.custom)
        if (lower(p.name) == key) return p.value;
    return {};
}

// Every custom property name a sheet of the listing carries: the columns a table may ask for.
std::vector<CustomProperty> customNames(const SheetListing& listing) {
    std::vector<CustomProperty> names;
    for (const SheetListing::Row& row : listing.rows)
        for (const CustomProperty& p : row.custom)
            if (std::none_of(names.begin(), names.end(), [&](const CustomProperty& n) { return lower(n.name) == lower(p.name); }))
                names.push_back(p);
    return names;
}

// A text as one line of at most `chars` characters, cut with an ellipsis.
std::string fitted(const TkString& text, size_t chars) {
    TkString t = text;
    if (t.size() > chars) t = t.substr(0, chars > 1 ? chars - 1 : 0) + L"\u2026";
    return titleBlockText(t);
}

class TableWriter {
public:
    TableWriter(TkDbDatabase& db, uint64_t block) : db_(db), block_(block) {}

    void line(double x0, double y0, double x1, double y1) {
        db_.addEntity(block_, "LINE", {{100, "AcDbLine"}, {10, D(x0)}, {20, D(y0)}, {30, "0"}, {11, D(x1)}, {21, D(y1)}, {31, "0"}});
    }
    void text(double x, double y, double height, const std::string& value) {
        if (value.empty()) return;
        db_.addEntity(block_, "TEXT", {{100, "AcDbText"}, {10, D(x)}, {20, D(y)}, {30, "0"}, {40, D(height)}, {1, value}, {100, "AcDbText"}});
    }

private:
    static std::string D(double v) { return tkDbDoubleText(v); }
    TkDbDatabase& db_;
    uint64_t block_;
};

// The table drawn into `block` with its upper left corner at the block's origin; when it would
// reach below `available` millimetres it goes on in another column of rows to the right, headed
// again.
void drawTable(TkDbDatabase& db, uint64_t block, const std::vector<Column>& columns, const SheetListing& listing, double available) {
    std::vector<double> widths;
    std::vector<size_t> capacity;
    for (const Column& c : columns) {
        size_t chars = c.caption.size();
        for (const SheetListing::Row& row : listing.rows)
            if (row.heading.empty()) chars = std::max(chars, cell(row, c.key).size());
        const double w = std::clamp(static_cast<double>(chars) * kCharWidth + 2 * kPad, kMinColumn, kMaxColumn);
        widths.push_back(w);
        capacity.push_back(static_cast<size_t>((w - 2 * kPad) / kCharWidth));
    }
    double width = 0;
    for (double w : widths) width += w;
    // The widest column grows until the longest subset heading fits across the table.
    size_t longestHeading = 0;
    for (const SheetListing::Row& row : listing.rows) longestHeading = std::max(longestHeading, row.heading.size());
    const double headingWidth = std::min(static_cast<double>(longestHeading) * kCharWidth + 2 * kPad, kMaxColumn * 2);
    if (headingWidth > width) {
        const size_t widest = static_cast<size_t>(std::max_element(widths.begin(), widths.end()) - widths.begin());
        widths[widest] += headingWidth - width;
        capacity[widest] = static_cast<size_t>((widths[widest] - 2 * kPad) / kCharWidth);
        width = headingWidth;
    }
    const size_t headingChars = static_cast<size_t>((width - 2 * kPad) / kCharWidth);
    const size_t perChunk = std::max(kMinRowsPerChunk, static_cast<size_t>(available / kRowHeight) - 2);

    TableWriter out(db, block);
    double left = 0, y = 0;
    auto row = [&](const std::vector<std::string>& cells, bool spans, double height) {
        const double baseline = y - kRowHeight + (kRowHeight - height) / 2;
        if (spans) {
            out.text(left + kPad, baseline, height, cells.front());
        } else {
            double x = left;
            for (size_t i = 0; i < cells.size(); ++i) {
                out.text(x + kPad, baseline, height, cells[i]);
                if (i > 0) out.line(x, y, x, y - kRowHeight);
                x += widths[i];
            }
        }
        out.line(left, y - kRowHeight, left + width, y - kRowHeight);
        y -= kRowHeight;
    };
    auto startChunk = [&](bool first) {
        const double top = 0;
        y = top;
        out.line(left, top, left + width, top);
        if (first) row({fitted(L"Sheet List", headingChars)}, true, kTitleHeight);
        std::vector<std::string> captions;
        for (size_t i = 0; i < columns.size(); ++i) captions.push_back(fitted(columns[i].caption, capacity[i]));
        row(captions, false, kTextHeight);
    };
    auto endChunk = [&] {
        out.line(left, 0, left, y);
        out.line(left + width, 0, left + width, y);
    };
    startChunk(true);
    size_t inChunk = 0;
    for (const SheetListing::Row& r : listing.rows) {
        if (inChunk >= perChunk) {
            endChunk();
            left += width + kChunkGap;
            startChunk(false);
            inChunk = 0;
        }
        if (!r.heading.empty()) {
            row({fitted(r.heading, headingChars)}, true, kTextHeight);
        } else {
            std::vector<std::string> cells;
            for (size_t i = 0; i < columns.size(); ++i) cells.push_back(fitted(cell(r, columns[i].key), capacity[i]));
            row(cells, false, kTextHeight);
        }
        ++inChunk;
    }
    endChunk();
}

uint64_t tablesDictionary(const TkDbDatabase& db) {
    const auto root = db.dictionary(db.namedObjectsDictionary());
    return root ? root->get(kDictionary) : 0;
}

std::string blockName(uint64_t layoutHandle) { return kBlockPrefix + tkDbHandleText(layoutHandle); }

// The paper's lower left and upper right corners of a layout, in its own units.
void paperOf(const TkDbLayout& layout, TkDbPoint3& lo, TkDbPoint3& hi) {
    lo = layout.limMin();
    hi = layout.limMax();
    if (hi.x > lo.x && hi.y > lo.y && hi.x < 1e9 && lo.x > -1e9) return;
    double w = layout.paperWidth(), h = layout.paperHeight();
    if (layout.plotRotation() % 2 == 1) std::swap(w, h);
    if (!(w >= 1 && h >= 1 && w < 1e6 && h < 1e6)) w = 420, h = 297;
    lo = {0, 0, 0};
    hi = {w, h, 0};
}

// The reference of the table's block in the layout; null when there is none.
TkDbRecord* findReference(const TkDbDatabase& db, uint64_t layoutBlock, const std::string& name) {
    auto upper = [](std::string_view s) {
        std::string u(s);
        for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return u;
    };
    for (TkDbRecord* e : db.entitiesOf(layoutBlock))
        if (e->type() == "INSERT" && upper(e->str(2)) == upper(name)) return e;
    return nullptr;
}

// What a table stored: its columns, and the digest of what it was last drawn from.
struct Stored {
    std::vector<TkString> columns;
    std::string drawnFrom;
};

Stored readStored(const TkDbDatabase& db, uint64_t xrecord) {
    Stored s;
    if (auto x = db.xrecord(xrecord))
        for (const TkDbValue& v : x->values()) {
            if (v.code == 1) s.columns.push_back(tkFromUtf8(v.text));
            else if (v.code == 300) s.drawnFrom = v.text;
        }
    return s;
}

// Draws the table of `layoutHandle` again when what it would show differs from what it shows; true
// when it was drawn.
bool redraw(TkDbDatabase& db, uint64_t dict, const std::string& entry, const SheetListing& listing, bool force) {
    const uint64_t layoutHandle = std::strtoull(entry.c_str(), nullptr, 16);
    const TkDbRecord* layoutRecord = db.byHandle(layoutHandle);
    if (!layoutRecord) return false;
    std::optional<TkDbLayout> layout;
    for (const TkDbLayout& l : db.layouts())
        if (l.handle() == layoutHandle) layout = l;
    if (!layout) return false;
    const Stored stored = readStored(db, TkDbDictionary(db.byHandle(dict)).get(entry));
    const std::vector<CustomProperty> known = customNames(listing);
    std::vector<Column> columns;
    for (size_t i = 0; i < stored.columns.size() && i < kMaxColumns; ++i)
        if (const TkString& name = stored.columns[i]; !columnOf(name, known).key.empty()) columns.push_back(columnOf(name, known));
        else columns.push_back({lower(name), name});  // a property no sheet has now: an empty column
    if (columns.empty()) return false;
    const std::string name = blockName(layoutHandle);
    TkDbRecord* reference = findReference(db, layout->blockRecordHandle(), name);
    if (!reference) return false;  // erased by someone in another program: nothing to draw into
    TkDbPoint3 lo, hi;
    paperOf(*layout, lo, hi);
    // The room below the table's top, in whole rows; a place from a hostile file gives no room.
    const double room = reference->real(20) - lo.y - kBottomMargin;
    const double available = std::isfinite(room) ? std::clamp(room, 0.0, kMaxRoom) : 0.0;
    // What the table would be drawn from: the listing, its columns and the room it has.
    std::string from = tkToUtf8(listing.digest()) + "|" + std::to_string(static_cast<long long>(available / kRowHeight));
    for (const Column& c : columns) from += "|" + tkToUtf8(c.caption);
    if (!force && from == stored.drawnFrom) return false;
    auto block = db.findBlockRecord(name);
    uint64_t br = block ? block->handle() : db.addBlock(name);
    if (!br) return false;
    db.eraseWithOwned(db.entitiesOf(br));
    drawTable(db, br, columns, listing, available);
    std::vector<TkDbValue> values{{70, "1"}};
    for (const TkString& c : stored.columns) values.push_back({1, tkToUtf8(c)});
    values.push_back({300, from});
    db.setXrecord(dict, entry, values);
    return true;
}

}  // namespace

TkString SheetListing::digest() const {
    uint64_t a = 1469598103934665603ull, b = 0x6c62272e07bb0142ull;
    auto add = [&](const TkString& s) {
        for (wchar_t c : s) {
            a = (a ^ static_cast<uint64_t>(c)) * 1099511628211ull;
            b = (b ^ static_cast<uint64_t>(c)) * 0x100000001b3ull + 0x9e3779b97f4a7c15ull;
        }
        a = (a ^ 0x1e) * 1099511628211ull;
    };
    for (const Row& r : rows) {
        for (const TkString* s : {&r.heading, &r.number, &r.title, &r.description, &r.revision, &r.revisionDate, &r.purpose, &r.category})
            add(*s);
        for (const CustomProperty& p : r.custom) add(p.name), add(p.value);
        add(L"\x1d");
    }
    wchar_t text[40];
    std::swprintf(text, 40, L"%016llx%016llx", static_cast<unsigned long long>(a), static_cast<unsigned long long>(b));
    return text;
}

SheetListing sheetListing(CSheetSet* set) {
    SheetListing out;
    walk(set, {}, true, out);
    return out;
}

std::vector<TkString> sheetListColumnChoices(CSheetSet* set) {
    std::vector<TkString> choices;
    for (const auto& column : builtInColumns()) choices.push_back(column.second);
    for (const CustomProperty& p : customNames(sheetListing(set))) choices.push_back(p.name);
    return choices;
}

TkString unknownSheetListColumn(CSheetSet* set, const std::vector<TkString>& columns) {
    const std::vector<CustomProperty> known = customNames(sheetListing(set));
    for (const TkString& c : columns)
        if (columnOf(c, known).key.empty()) return c;
    return {};
}

bool insertSheetListTable(TkDbDatabase& db, const std::string& layoutName, const std::vector<TkString>& columns,
                          const SheetListPlacement& at, const SheetListing& listing, TkString& error) {
    auto layout = db.findLayout(layoutName);
    if (!layout || layout->blockRecordHandle() == db.modelSpace()) {
        error = L"the drawing has no layout " + tkFromUtf8(layoutName);
        return false;
    }
    if (columns.empty() || columns.size() > kMaxColumns) {
        error = L"a sheet list table has from 1 to " + std::to_wstring(kMaxColumns) + L" columns";
        return false;
    }
    const std::vector<CustomProperty> known = customNames(listing);
    for (const TkString& c : columns)
        if (columnOf(c, known).key.empty()) {
            error = L"no sheet has the property " + c + L" to show as a column";
            return false;
        }
    const uint64_t root = db.namedObjectsDictionary();
    const uint64_t dict = root ? db.getOrAddDictionary(root, kDictionary) : 0;
    if (!dict) {
        error = L"the drawing cannot hold a sheet list table (it has no named objects dictionary)";
        return false;
    }
    const std::string entry = tkDbHandleText(layout->handle());
    const std::string name = blockName(layout->handle());
    if (!db.findBlockRecord(name) && !db.addBlock(name)) {
        error = L"the drawing cannot hold the block " + tkFromUtf8(name);
        return false;
    }
    TkDbRecord* reference = findReference(db, layout->blockRecordHandle(), name);
    TkDbPoint3 lo, hi;
    paperOf(*layout, lo, hi);
    const double x = at.given ? at.x : reference ? reference->real(10) : lo.x + kMargin;
    const double y = at.given ? at.y : reference ? reference->real(20) : hi.y - kMargin;
    if (reference) db.eraseWithOwned(reference);
    db.addEntity(layout->blockRecordHandle(), "INSERT",
                 {{100, "AcDbBlockReference"}, {2, name}, {10, tkDbDoubleText(x)}, {20, tkDbDoubleText(y)}, {30, "0"}});
    // Kept as the header shows them, however they were typed.
    std::vector<TkDbValue> values{{70, "1"}};
    for (const TkString& c : columns) values.push_back({1, tkToUtf8(columnOf(c, known).caption)});
    db.setXrecord(dict, entry, values);
    redraw(db, dict, entry, listing, true);
    return true;
}

int updateSheetListTables(TkDbDatabase& db, const SheetListing& listing) {
    const uint64_t dict = tablesDictionary(db);
    if (!dict) return 0;
    int changed = 0;
    for (const TkDbDictionary::Entry& e : TkDbDictionary(db.byHandle(dict)).entries()) changed += redraw(db, dict, e.name, listing, false);
    return changed;
}

bool hasSheetListTables(const TkDbDatabase& db) {
    const uint64_t dict = tablesDictionary(db);
    return dict && !TkDbDictionary(db.byHandle(dict)).entries().empty();
}
