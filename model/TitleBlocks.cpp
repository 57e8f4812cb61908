#include "model/TitleBlocks.h"

#include <algorithm>
#include <functional>
#include <atomic>
#include <mutex>
#include <thread>

#include "drawings/FileLocks.h"
#include "drawings/SheetSetStamp.h"
#include "host/PathUtil.h"
#include "model/NameRules.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbFields.h"

namespace {

std::string U(const TkString& s) { return tkToUtf8(s); }

using Values = std::map<std::string, std::string>;

// Every name of a value: the field code's ("Sheet.Number") and the shorter tags title blocks use.
// The names are made once: a plan of a big set asks for them thousands of times.
struct Names {
    std::vector<std::string> keys;
    explicit Names(std::initializer_list<const char*> names) {
        for (const char* n : names) keys.push_back(tkDbFieldName(n));
    }
};

// Where a sheet's values go: into the map a title block is updated from, or into a digest that
// only tells whether anything shown changed (a big set's every sheet, twice per edit).
struct Sink {
    virtual ~Sink() = default;
    virtual void put(const Names& names, const TkString& value) = 0;
    virtual void putCustom(const CustomProperty& p) = 0;
};

std::string shownText(const TkString& value) { return titleBlockText(value); }

struct MapSink : Sink {
    Values m;
    void put(const Names& names, const TkString& value) override {
        const std::string v = shownText(value);
        for (const std::string& k : names.keys) m[k] = v;
    }
    void putCustom(const CustomProperty& p) override {
        const std::string name = tkDbFieldName(U(p.name)), value = shownText(p.value);
        m[name] = value;
        m["CUSTOMPROPERTY" + name] = value;
    }
};

// Tells whether anything shown changed, without keeping the values: a big set's every sheet is
// digested twice per edit. Two FNV-1a lanes with different seeds make a 128-bit digest.
struct DigestSink : Sink {
    const ShownNames* only = nullptr;  // the names the drawing shows; null when not known
    uint64_t a = 1469598103934665603ull, b = 0x6c62272e07bb0142ull;

    void add(const void* data, size_t bytes) {
        for (const unsigned char* p = static_cast<const unsigned char*>(data); bytes--; ++p) {
            a = (a ^ *p) * 1099511628211ull;
            b = (b ^ *p) * 0x100000001b3ull + 0x9e3779b97f4a7c15ull;
        }
    }
    void add(const TkString& text) { add(text.data(), text.size() * sizeof(wchar_t)); }
    void add(const std::string& text) { add(text.data(), text.size()); }
    void mark(char c) { add(&c, 1); }

    bool shown(const std::string& key) const { return !only || only->count(key); }
    void put(const Names& names, const TkString& value) override {
        bool any = !only;
        for (size_t i = 0; !any && i < names.keys.size(); ++i) any = shown(names.keys[i]);
        if (!any) return;
        add(names.keys.front());
        mark('\x1f');
        add(value);
        mark('\x1e');
    }
    void putCustom(const CustomProperty& p) override {
        if (only) {
            const std::string name = tkDbFieldName(U(p.name));
            if (!shown(name) && !shown("CUSTOMPROPERTY" + name)) return;
        }
        mark('\x1d');
        add(p.name);
        mark('\x1f');
        add(p.value);
        mark('\x1e');
    }
    std::string digest() const { return std::string(reinterpret_cast<const char*>(&a), sizeof a) + std::string(reinterpret_cast<const char*>(&b), sizeof b); }
};

// The set's values kept as they were put, to be put again for each sheet without asking the set.
struct SetValuesOnce : Sink {
    std::vector<std::pair<const Names*, TkString>> values;
    std::vector<CustomProperty> custom;
    void put(const Names& names, const TkString& value) override { values.emplace_back(&names, value); }
    void putCustom(const CustomProperty& p) override { custom.push_back(p); }
    void replay(Sink& out) const {
        for (const auto& [names, value] : values) out.put(*names, value);
        for (const CustomProperty& p : custom) out.putCustom(p);
    }
};

// What every sheet of the set shows alike: the set's own values and custom properties.
void setValues(Sink& out, CSheetSet* set) {
    static const Names name{"SheetSet.Name", "SheetSetName"}, number{"SheetSet.ProjectNumber", "ProjectNumber"},
        project{"SheetSet.ProjectName", "ProjectName"}, phase{"SheetSet.ProjectPhase", "ProjectPhase"},
        milestone{"SheetSet.ProjectMilestone", "ProjectMilestone"};
    out.put(name, set->getName());
    out.put(number, set->getProjectNumber());
    out.put(project, set->getProjectName());
    out.put(phase, set->getProjectPhase());
    out.put(milestone, set->getProjectMilestone());
    std::vector<CustomProperty> props;
    set->getCustomProperties()->getAll(props);
    for (const CustomProperty& p : props)
        if (p.ownedBySheetSet) out.putCustom(p);
}

// The sheet's own values, after the set's (a sheet's custom property wins).
void sheetValues(Sink& out, CSheetSet* set, CSheet* sheet, const SheetPlace& at) {
    static const Names number{"Sheet.Number", "SheetNo", "Sheet Number"}, title{"Sheet.Title", "Sheet Title"}, desc{"Sheet.Description"},
        revision{"Sheet.RevisionNumber", "RevisionNumber", "Revision", "RevNo"}, date{"Sheet.RevisionDate", "RevisionDate", "RevDate"},
        purpose{"Sheet.IssuePurpose", "IssuePurpose", "Purpose"}, category{"Sheet.Category", "Category"},
        position{"Sheet.Position", "SheetPosition", "SheetIndex"}, count{"SheetSet.SheetCount", "SheetCount", "TotalSheets"}, of{"SheetOf"},
        subPosition{"Subset.SheetPosition", "SubsetPosition"}, subCount{"Subset.SheetCount", "SubsetSheetCount"}, subOf{"SubsetSheetOf"},
        subsetName{"Subset.Name", "SubsetName"};
    out.put(number, sheet->getNumber());
    out.put(title, sheet->getTitle());
    out.put(desc, sheet->getDesc());
    out.put(revision, sheet->getRevisionNumber());
    out.put(date, sheet->getRevisionDate());
    out.put(purpose, sheet->getIssuePurpose());
    out.put(category, sheet->getCategory());
    std::vector<CustomProperty> props;
    sheet->getCustomProperties()->getAll(props);
    for (const CustomProperty& p : props) out.putCustom(p);
    // The sheet's place: in the whole set in tree order, and among the sheets of its subset.
    const TkString pos = std::to_wstring(at.inSet), total = std::to_wstring(at.setCount);
    const TkString subPos = std::to_wstring(at.inSubset), subTotal = std::to_wstring(at.subsetCount);
    out.put(position, pos);
    out.put(count, total);
    out.put(of, pos + L" of " + total);
    out.put(subPosition, subPos);
    out.put(subCount, subTotal);
    out.put(subOf, subPos + L" of " + subTotal);
    if (auto* parent = dynamic_cast<CSubset*>(sheet->getParent()); parent && parent != set) out.put(subsetName, parent->getName());
}

// Each sheet with a drawing, in set order, with its place.
void forEachSheet(CSheetSet* set, const std::function<void(CSheet*, const SheetPlace&)>& f) {
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    std::map<const CComponent*, int> placeInSubset, subsetCounts;
    std::vector<int> inSubset;
    for (CSheet* s : sheets) inSubset.push_back(++subsetCounts[s->getParent()]);
    for (size_t i = 0; i < sheets.size(); ++i)
        f(sheets[i], {static_cast<int>(i) + 1, static_cast<int>(sheets.size()), inSubset[i], subsetCounts[sheets[i]->getParent()]});
}

}  // namespace

std::string titleBlockText(const TkString& value) {
    if (!firstControlCharacter(value)) return U(value);
    TkString flat = value;
    for (wchar_t& c : flat)
        if (firstControlCharacter(TkString(1, c))) c = L' ';
    return U(flat);
}

std::map<std::string, std::string> titleBlockValues(CSheetSet* set, CSheet* sheet) {
    std::vector<CSheet*> all, siblings;
    set->getSheets(all, true);
    if (auto* parent = dynamic_cast<CSubset*>(sheet->getParent())) parent->getSheets(siblings, false);
    auto place = [](const std::vector<CSheet*>& v, CSheet* s) { return static_cast<int>(std::find(v.begin(), v.end(), s) - v.begin()) + 1; };
    return titleBlockValues(set, sheet, {place(all, sheet), static_cast<int>(all.size()), place(siblings, sheet), static_cast<int>(siblings.size())});
}

std::map<std::string, std::string> titleBlockValues(CSheetSet* set, CSheet* sheet, const SheetPlace& at) {
    MapSink out;
    setValues(out, set);
    sheetValues(out, set, sheet, at);
    return std::move(out.m);
}

namespace {

// The texts changed; `asked`, when given, receives the names each layout's title blocks show.
int updateJobTexts(TkDbDatabase& db, const TitleBlockJob& job, std::map<std::string, ShownNames>* asked = nullptr) {
    int changed = job.listing ? updateSheetListTables(db, *job.listing) : 0;
    // A drawing with a sheet list table shows the whole listing, whichever of its layouts holds it.
    if (asked && hasSheetListTables(db))
        for (const auto& layout : job.layouts) (*asked)[layout.first].insert(kSheetListShownName);
    for (const auto& [layout, values] : job.layouts) {
        ShownNames* names = asked ? &(*asked)[layout] : nullptr;
        if (auto l = db.findLayout(layout))
            changed += tkDbUpdateFieldTexts(db, l->blockRecordHandle(), [&](const std::string& name) {
                if (names) names->insert(name);
                auto it = values.find(name);
                return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
            });
    }
    return changed;
}

// Title blocks are written only into drawings that belong to this set: a drawing imported from
// another set, or never stamped, shows what its own set says.
bool belongsToSet(const TkDbDatabase& db, const TkString& file, const TkString& setPath) {
    const StampedSheetSet stamped = findStampedSheetSet(&db, file);
    return !stamped.path.empty() && vrutSamePath(stamped.path, setPath);
}

}  // namespace

std::vector<TitleBlockJob> titleBlockPlan(CSheetSet* set, const std::set<TkString>* onlyFiles) {
    MapSink common;
    setValues(common, set);
    const auto listing = std::make_shared<const SheetListing>(sheetListing(set));
    std::vector<TitleBlockJob> jobs;
    std::map<TkString, size_t> index;
    forEachSheet(set, [&](CSheet* s, const SheetPlace& at) {
        const TkString file = s->getFileName();
        if (file.empty() || (onlyFiles && !onlyFiles->count(file))) return;
        auto [it, fresh] = index.emplace(file, jobs.size());
        if (fresh) jobs.push_back({file, {}, listing});
        MapSink out;
        out.m = common.m;
        sheetValues(out, set, s, at);
        jobs[it->second].layouts.emplace_back(U(s->getLayoutName()), std::move(out.m));
    });
    return jobs;
}

TitleBlockDigest titleBlockDigest(CSheetSet* set, const ShownByDrawing* shown) {
    // The names each layout shows, for drawings whose every sheet's layout is known.
    std::map<TkString, std::vector<const ShownNames*>> only;
    std::set<TkString> unknown;
    if (shown)
        forEachSheet(set, [&](CSheet* s, const SheetPlace&) {
            const TkString file = s->getFileName();
            if (file.empty() || unknown.count(file)) return;
            const ShownNames* names = nullptr;
            if (auto d = shown->find(file); d != shown->end())
                if (auto l = d->second.layouts.find(U(s->getLayoutName())); l != d->second.layouts.end()) names = &l->second;
            if (names) {
                only[file].push_back(names);
            } else {
                unknown.insert(file);
                only.erase(file);
            }
        });
    SetValuesOnce common;
    setValues(common, set);
    static const Names sheetList{kSheetListShownName.c_str()};
    const TkString listing = sheetListing(set).digest();
    std::map<TkString, DigestSink> sinks;
    std::map<TkString, size_t> nth;
    forEachSheet(set, [&](CSheet* s, const SheetPlace& at) {
        const TkString file = s->getFileName();
        if (file.empty()) return;
        DigestSink& out = sinks[file];
        auto o = only.find(file);
        out.only = o == only.end() ? nullptr : o->second[nth[file]++];
        out.mark('\x1c');
        out.add(s->getLayoutName());
        common.replay(out);
        sheetValues(out, set, s, at);
        out.put(sheetList, listing);
    });
    TitleBlockDigest digest;
    for (const auto& [file, sink] : sinks) digest.emplace(file, sink.digest());
    return digest;
}

std::set<TkString> changedDrawings(const TitleBlockDigest& before, const TitleBlockDigest& after) {
    std::set<TkString> changed;
    for (const auto& [file, text] : after) {
        auto it = before.find(file);
        if (it == before.end() || it->second != text) changed.insert(file);
    }
    return changed;
}

int updateTitleBlocksIn(TkDbDatabase& db, const TitleBlockJob& job) { return updateJobTexts(db, job); }

int updateSheetTitleBlock(TkDbDatabase& db, const TkString& file, CSheetSet* set, CSheet* sheet, const TkString& layout) {
    if (!belongsToSet(db, file, set->getFileName())) return 0;
    return updateJobTexts(db, {file, {{U(layout), titleBlockValues(set, sheet)}}});
}

TitleBlockReport updateTitleBlocks(const std::vector<TitleBlockJob>& jobs, const TkString& setPath, const std::function<void(int, int)>& progress,
                                   const std::function<TkDbDatabase*(const TkString&)>& openHere) {
    TitleBlockReport report;
    std::vector<const TitleBlockJob*> onDisk;
    for (const TitleBlockJob& job : jobs) {
        // Drawings open for editing here are updated in the open document, saved when it is.
        TkDbDatabase* open = openHere ? openHere(job.file) : nullptr;
        if (!open) {
            onDisk.push_back(&job);
        } else if (!belongsToSet(*open, job.file, setPath)) {
            report.notes.push_back(job.file + L": belongs to another sheet set, its title block left as it is");
        } else if (const int changed = updateJobTexts(*open, job)) {
            ++report.drawingsChanged, report.textsChanged += changed;
        } else {
            ++report.drawingsCurrent;
        }
    }
    std::mutex lock;
    std::atomic<size_t> next{0}, done{0};
    auto work = [&] {
        for (size_t i = next++; i < onDisk.size(); i = next++) {
            const TitleBlockJob& job = *onDisk[i];
            TkString problem, note;
            int changed = 0;
            ShownInDrawing seen;
            if (!vrutPathExists(job.file)) {
                note = job.file + L": not found";
            } else if (isDrawingLocked(job.file)) {
                problem = job.file + L": " + heldBySomeoneElseText() + L", its title block not updated";
            } else {
                // The toolkit directly, thread by thread: the host's reader shares its mode word.
                TkDbDatabase db;
                seen.identity = TkFileIdentity::ofPath(U(job.file));
                if (TkDbResult r = db.readDxfFile(U(job.file)); !r) {
                    problem = job.file + L": cannot be read, " + tkFromUtf8(r.describe());
                } else if (!belongsToSet(db, job.file, setPath)) {
                    // Another set's drawing shows nothing of this one, until it is written again.
                    note = job.file + L": belongs to another sheet set, its title block left as it is";
                    for (const auto& layout : job.layouts) seen.layouts[layout.first];
                } else {
                    changed = updateJobTexts(db, job, &seen.layouts);
                    TkDbSaveOptions saving;
                    saving.written = &seen.identity;
                    if (changed && !db.saveAs(U(job.file), db.version(), saving)) problem = job.file + L": cannot be saved";
                }
            }
            std::lock_guard<std::mutex> g(lock);
            if (problem.empty() && !seen.layouts.empty()) report.seen[job.file] = std::move(seen);
            if (!problem.empty()) report.problems.push_back(problem);
            else if (!note.empty()) report.notes.push_back(note);
            else if (changed) ++report.drawingsChanged, report.textsChanged += changed;
            else ++report.drawingsCurrent;
            if (progress) progress(static_cast<int>(++done), static_cast<int>(onDisk.size()));
        }
    };
    const unsigned threads = std::max(1u, std::min<unsigned>(std::thread::hardware_concurrency(), static_cast<unsigned>(onDisk.size())));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
    work();  // the caller's thread works too
    for (std::thread& t : pool) t.join();
    std::sort(report.problems.begin(), report.problems.end());
    std::sort(report.notes.begin(), report.notes.end());
    return report;
}
