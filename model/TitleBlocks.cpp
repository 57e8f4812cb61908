#include "model/TitleBlocks.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "drawings/FileLocks.h"
#include "drawings/SheetSetStamp.h"
#include "host/PathUtil.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbFields.h"

namespace {

std::string U(const TkString& s) { return tkToUtf8(s); }

// Every name of a value: the field code's ("Sheet.Number") and the shorter tags title blocks use.
void put(std::map<std::string, std::string>& m, std::initializer_list<const char*> names, const TkString& value) {
    for (const char* n : names) m[tkDbFieldName(n)] = U(value);
}

}  // namespace

std::map<std::string, std::string> titleBlockValues(CSheetSet* set, CSheet* sheet) {
    std::vector<CSheet*> all, siblings;
    set->getSheets(all, true);
    if (auto* parent = dynamic_cast<CSubset*>(sheet->getParent())) parent->getSheets(siblings, false);
    auto place = [](const std::vector<CSheet*>& v, CSheet* s) { return static_cast<int>(std::find(v.begin(), v.end(), s) - v.begin()) + 1; };
    return titleBlockValues(set, sheet, {place(all, sheet), static_cast<int>(all.size()), place(siblings, sheet), static_cast<int>(siblings.size())});
}

std::map<std::string, std::string> titleBlockValues(CSheetSet* set, CSheet* sheet, const SheetPlace& at) {
    std::map<std::string, std::string> m;
    put(m, {"Sheet.Number", "SheetNo", "Sheet Number"}, sheet->getNumber());
    put(m, {"Sheet.Title", "Sheet Title"}, sheet->getTitle());
    put(m, {"Sheet.Description"}, sheet->getDesc());
    put(m, {"Sheet.RevisionNumber", "RevisionNumber", "Revision", "RevNo"}, sheet->getRevisionNumber());
    put(m, {"Sheet.RevisionDate", "RevisionDate", "RevDate"}, sheet->getRevisionDate());
    put(m, {"Sheet.IssuePurpose", "IssuePurpose", "Purpose"}, sheet->getIssuePurpose());
    put(m, {"Sheet.Category", "Category"}, sheet->getCategory());
    put(m, {"SheetSet.Name", "SheetSetName"}, set->getName());
    put(m, {"SheetSet.ProjectNumber", "ProjectNumber"}, set->getProjectNumber());
    put(m, {"SheetSet.ProjectName", "ProjectName"}, set->getProjectName());
    put(m, {"SheetSet.ProjectPhase", "ProjectPhase"}, set->getProjectPhase());
    put(m, {"SheetSet.ProjectMilestone", "ProjectMilestone"}, set->getProjectMilestone());
    // The set's own custom properties, then the sheet's (a sheet's value wins).
    std::vector<CustomProperty> props;
    set->getCustomProperties()->getAll(props);
    for (const CustomProperty& p : props)
        if (p.ownedBySheetSet) m[tkDbFieldName(U(p.name))] = m["CUSTOMPROPERTY" + tkDbFieldName(U(p.name))] = U(p.value);
    props.clear();
    sheet->getCustomProperties()->getAll(props);
    for (const CustomProperty& p : props) m[tkDbFieldName(U(p.name))] = m["CUSTOMPROPERTY" + tkDbFieldName(U(p.name))] = U(p.value);
    // The sheet's place: in the whole set in tree order, and among the sheets of its subset.
    const TkString pos = std::to_wstring(at.inSet), count = std::to_wstring(at.setCount);
    const TkString subPos = std::to_wstring(at.inSubset), subCount = std::to_wstring(at.subsetCount);
    put(m, {"Sheet.Position", "SheetPosition", "SheetIndex"}, pos);
    put(m, {"SheetSet.SheetCount", "SheetCount", "TotalSheets"}, count);
    put(m, {"SheetOf"}, pos + L" of " + count);
    put(m, {"Subset.SheetPosition", "SubsetPosition"}, subPos);
    put(m, {"Subset.SheetCount", "SubsetSheetCount"}, subCount);
    put(m, {"SubsetSheetOf"}, subPos + L" of " + subCount);
    if (auto* parent = dynamic_cast<CSubset*>(sheet->getParent()); parent && parent != set) put(m, {"Subset.Name", "SubsetName"}, parent->getName());
    return m;
}

namespace {

int updateJobTexts(TkDbDatabase& db, const TitleBlockJob& job) {
    int changed = 0;
    for (const auto& [layout, values] : job.layouts)
        if (auto l = db.findLayout(layout))
            changed += tkDbUpdateFieldTexts(db, l->blockRecordHandle(), [&](const std::string& name) {
                auto it = values.find(name);
                return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
            });
    return changed;
}

// Title blocks are written only into drawings that belong to this set: a drawing imported from
// another set, or never stamped, shows what its own set says.
bool belongsToSet(const TkDbDatabase& db, const TkString& file, const TkString& setPath) {
    const StampedSheetSet stamped = findStampedSheetSet(&db, file);
    return !stamped.path.empty() && vrutSamePath(stamped.path, setPath);
}

}  // namespace

std::vector<TitleBlockJob> titleBlockPlan(CSheetSet* set) {
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    std::map<const CComponent*, std::pair<int, int>> inSubset;  // place and count among its subset's sheets
    std::map<const CComponent*, int> subsetCounts;
    for (CSheet* s : sheets) inSubset[s] = {++subsetCounts[s->getParent()], 0};
    std::vector<TitleBlockJob> jobs;
    std::map<TkString, size_t> index;
    for (size_t i = 0; i < sheets.size(); ++i) {
        CSheet* s = sheets[i];
        const TkString file = s->getFileName();
        if (file.empty()) continue;
        auto [it, fresh] = index.emplace(file, jobs.size());
        if (fresh) jobs.push_back({file, {}});
        const SheetPlace at{static_cast<int>(i) + 1, static_cast<int>(sheets.size()), inSubset[s].first, subsetCounts[s->getParent()]};
        jobs[it->second].layouts.emplace_back(U(s->getLayoutName()), titleBlockValues(set, s, at));
    }
    return jobs;
}

std::vector<TitleBlockJob> changedTitleBlocks(const std::vector<TitleBlockJob>& before, const std::vector<TitleBlockJob>& after) {
    std::map<TkString, const TitleBlockJob*> old;
    for (const TitleBlockJob& j : before) old[j.file] = &j;
    std::vector<TitleBlockJob> changed;
    for (const TitleBlockJob& j : after) {
        auto it = old.find(j.file);
        if (it == old.end() || it->second->layouts != j.layouts) changed.push_back(j);
    }
    return changed;
}

int updateTitleBlocksIn(TkDbDatabase& db, const TitleBlockJob& job) { return updateJobTexts(db, job); }

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
            if (!vrutPathExists(job.file)) {
                note = job.file + L": not found";
            } else if (isDrawingLocked(job.file)) {
                problem = job.file + L": " + heldBySomeoneElseText() + L", its title block not updated";
            } else {
                // The toolkit directly, thread by thread: the host's reader shares its mode word.
                TkDbDatabase db;
                if (TkDbResult r = db.readDxfFile(U(job.file)); !r) {
                    problem = job.file + L": cannot be read, " + tkFromUtf8(r.describe());
                } else if (!belongsToSet(db, job.file, setPath)) {
                    note = job.file + L": belongs to another sheet set, its title block left as it is";
                } else {
                    changed = updateJobTexts(db, job);
                    if (changed && !db.saveAs(U(job.file), db.version())) problem = job.file + L": cannot be saved";
                }
            }
            std::lock_guard<std::mutex> g(lock);
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
