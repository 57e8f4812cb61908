#include "model/TitleBlocks.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "drawings/FileLocks.h"
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
    std::vector<CSheet*> all, siblings;
    set->getSheets(all, true);
    if (auto* parent = dynamic_cast<CSubset*>(sheet->getParent())) parent->getSheets(siblings, false);
    auto place = [](const std::vector<CSheet*>& v, CSheet* s) {
        return static_cast<int>(std::find(v.begin(), v.end(), s) - v.begin()) + 1;
    };
    const TkString pos = std::to_wstring(place(all, sheet)), count = std::to_wstring(all.size());
    const TkString subPos = std::to_wstring(place(siblings, sheet)), subCount = std::to_wstring(siblings.size());
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

// Each drawing with the sheets it shows and their values, worked out before any thread starts.
struct TitleBlockJob {
    TkString file;
    std::vector<std::pair<std::string, std::map<std::string, std::string>>> layouts;
};

std::vector<TitleBlockJob> titleBlockJobs(CSheetSet* set, const TkString& onlyFile = {}) {
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    std::vector<TitleBlockJob> jobs;
    std::map<TkString, size_t> index;
    for (CSheet* s : sheets) {
        const TkString file = s->getFileName();
        if (file.empty() || (!onlyFile.empty() && file != onlyFile)) continue;
        auto [it, fresh] = index.emplace(file, jobs.size());
        if (fresh) jobs.push_back({file, {}});
        jobs[it->second].layouts.emplace_back(U(s->getLayoutName()), titleBlockValues(set, s));
    }
    return jobs;
}

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

}  // namespace

int updateTitleBlocksIn(TkDbDatabase& db, CSheetSet* set, const TkString& file) {
    int changed = 0;
    for (const TitleBlockJob& job : titleBlockJobs(set, file)) changed += updateJobTexts(db, job);
    return changed;
}

TitleBlockReport updateTitleBlocks(CSheetSet* set, const std::function<void(int, int)>& progress,
                                   const std::function<bool(const TkString&)>& skip) {
    TitleBlockReport report;
    std::vector<TitleBlockJob> jobs = titleBlockJobs(set);
    if (skip) std::erase_if(jobs, [&](const TitleBlockJob& j) { return skip(j.file); });
    std::mutex lock;
    std::atomic<size_t> next{0}, done{0};
    auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            const TitleBlockJob& job = jobs[i];
            TkString problem;
            int changed = 0;
            if (!vrutPathExists(job.file)) {
                problem = job.file + L": not found";
            } else if (isDrawingLocked(job.file)) {
                problem = job.file + L": in use by someone else or read-only, its title block not updated";
            } else {
                // The toolkit directly, thread by thread: the host's reader shares its mode word.
                TkDbDatabase db;
                if (TkDbResult r = db.readDxfFile(U(job.file)); !r) {
                    problem = job.file + L": cannot be read, " + tkFromUtf8(r.describe());
                } else {
                    changed = updateJobTexts(db, job);
                    if (changed && !db.saveAs(U(job.file), db.version())) problem = job.file + L": cannot be saved";
                }
            }
            std::lock_guard<std::mutex> g(lock);
            if (!problem.empty()) report.problems.push_back(problem);
            else if (changed) ++report.drawingsChanged, report.textsChanged += changed;
            else ++report.drawingsCurrent;
            ++done;
        }
    };
    const unsigned threads = std::max(1u, std::min<unsigned>(std::thread::hardware_concurrency(), static_cast<unsigned>(jobs.size())));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
    work();  // the caller's thread works too
    for (std::thread& t : pool) t.join();
    if (progress) progress(static_cast<int>(done.load()), static_cast<int>(jobs.size()));
    std::sort(report.problems.begin(), report.problems.end());
    return report;
}
