#include "model/SheetSetCheck.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <map>
#include <set>

#include "drawings/SheetSetLock.h"
#include "drawings/SheetSetStamp.h"
#include "model/NameRules.h"
#include "host/PathUtil.h"
#include "toolkit/common/TkFileJournal.h"
#include "toolkit/common/TkSafeOpen.h"
#include "model/SheetImpl.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbExternalFiles.h"

namespace {

namespace fs = std::filesystem;

fs::path P(const TkString& s) { return fs::path(tkToUtf8(s)); }
bool exists(const TkString& s) {
    std::error_code ec;
    return !s.empty() && fs::exists(P(s), ec);
}
TkString Q(const TkString& s) { return L"\"" + s + L"\""; }

// What one drawing holds that the check asks about; each drawing is read once.
struct DrawingFacts {
    bool found = false, readable = false;
    TkString readError;
    StampedSheetSet stamp;
    std::map<std::string, std::string> layoutHandles;  // name -> handle text
    std::vector<TkDbExternalFile> missing;             // xrefs and images not found
};

DrawingFacts readFacts(const TkString& path) {
    DrawingFacts f;
    f.found = exists(path);
    if (!f.found) return f;
    TkDbDatabase db;
    if (TkDbResult r = db.readDxfFile(tkToUtf8(path)); !r) {
        f.readError = tkFromUtf8(r.describe());
        return f;
    }
    f.readable = true;
    f.stamp = findStampedSheetSet(&db, path);
    for (const TkDbLayout& l : db.layouts()) f.layoutHandles[l.name()] = l.handleText();
    for (const TkDbExternalFile& file : tkDbExternalFiles(db))
        if (f.missing.size() < 100 && tkDbFindExternalFile(file.stored, tkToUtf8(path)).empty()) f.missing.push_back(file);
    return f;
}

bool sameFile(const TkString& a, const TkString& b) {
    std::error_code ec;
    if (exists(a) && exists(b) && fs::equivalent(P(a), P(b), ec)) return true;
    // Paths are UTF-8 inside: converting them back with the process locale fails on "Ü" under C.
    return sameTextNoCase(tkFromUtf8(P(a).lexically_normal().string()), tkFromUtf8(P(b).lexically_normal().string()));
}

class Checker {
public:
    explicit Checker(CSheetSet* set) : set_(set), setPath_(set->getFileName()) {}

    std::vector<SheetSetFinding> run(const std::function<void(int, int)>& progress) {
        checkLock();
        checkJournal();
        checkSetFiles();
        std::vector<CSheet*> sheets;
        set_->getSheets(sheets, true);
        const std::vector<TkString> files = sheetDrawingFiles(sheets);
        for (size_t i = 0; i < files.size(); ++i) {
            facts_[files[i]] = readFacts(files[i]);
            if (progress) progress(static_cast<int>(i + 1), static_cast<int>(files.size()));
        }
        for (const TkString& f : files) {
            checkStamp(f);
            checkReferences(f);
        }
        for (CSheet* s : sheets) checkSheet(s);
        checkNumbers(sheets);
        checkValues(sheets);
        if (relocated_)
            add(SheetSetFinding::Note, "relocated", L"sheet set",
                std::to_wstring(relocated_) + L" sheet drawings were found beside the sheet set, not where it recorded them (" +
                    firstRecorded_ + L", ...): the project folder was moved");
        // New sets and imported layouts leave their drawings alone until they are saved here.
        if (unstamped_)
            add(SheetSetFinding::Note, "unstamped", L"sheet set",
                std::to_wstring(unstamped_) + L" drawings are not stamped for this sheet set yet (" + firstUnstamped_ +
                    (unstamped_ > 1 ? L", ..." : L"") + L"): the set is complete once each sheet's drawing is opened and saved here. To stamp them all now, run: drawkit resave \"" +
                    setPath_ + L"\"");
        if (restampable_)
            add(SheetSetFinding::Note, "stamps-moved", L"sheet set",
                std::to_wstring(restampable_) + L" drawings are stamped for this sheet set where it used to be (" + oldSetPath_ +
                    L"); they still find it from their folder. To point the stamps here, run: drawkit restamp \"" + setPath_ + L"\"");
        return std::move(out_);
    }

private:
    void add(SheetSetFinding::Severity sev, const char* kind, const TkString& where, const TkString& message) {
        out_.push_back({sev, kind, where, message});
    }

    void checkLock() {
        SheetSetLockInfo info = CSheetSetLock::holder(setPath_);
        if (!info.present) return;
        const TkString dbl = CSheetSetLock::lockFileName(setPath_);
        if (tkIsNotRegularFile(tkToUtf8(dbl)))
            add(SheetSetFinding::Error, "lock-not-a-file", L"sheet set",
                L"the lock file is not a plain file (a link, a pipe or a device), so nobody can edit the set; remove it: " + dbl);
        else if (!info.held)
            add(SheetSetFinding::Warning, "stale-lock", L"sheet set",
                L"a lock file left by " + info.describe() + L" after a crash (it blocks nobody; the next edit replaces it): " +
                    CSheetSetLock::lockFileName(setPath_));
        else
            add(SheetSetFinding::Note, "locked", L"sheet set", L"being edited by " + info.describe());
    }

    // A journal beside the set: an action that writes several files was cut short (or is running).
    void checkJournal() {
        const TkFileJournal::Found j = TkFileJournal::inspect(tkToUtf8(sheetSetJournalPath(setPath_)));
        if (!j.exists) return;
        if (!j.error.empty()) {
            add(SheetSetFinding::Error, "interrupted-action", L"sheet set", tkFromUtf8(j.error));
            return;
        }
        const TkString files = std::to_wstring(j.files.size()) + (j.files.size() == 1 ? L" file" : L" files") +
                               (j.files.empty() ? TkString() : L" (" + tkFromUtf8(j.files.front()) + (j.files.size() > 1 ? L", ...)" : L")"));
        const SheetSetLockInfo lock = CSheetSetLock::holder(setPath_);
        if (lock.held) {
            add(SheetSetFinding::Note, "action-running", L"sheet set", L"an action of " + lock.describe() + L" is changing " + files);
            return;
        }
        add(SheetSetFinding::Error, "interrupted-action", L"sheet set",
            TkString(L"an action was interrupted after it changed ") + files + L"; `drawkit check --repair` or the next edit of the set " +
                (j.committed ? L"finishes it (the set was saved)" : L"puts them back as they were before it"));
    }

    void checkSetFiles() {
        TkString pageSetups = set_->getPageSetupFile();
        if (!pageSetups.empty() && !exists(pageSetups))
            add(SheetSetFinding::Error, "missing-page-setups", L"sheet set", L"page setup overrides file not found: " + pageSetups);
        std::vector<CSubset*> subsets{set_};
        set_->getSubsets(subsets, true);
        for (CSubset* s : subsets) {
            TkString file = s->getTemplateFileName();
            TkString where = s == set_ ? TkString(L"sheet set") : componentPath(s);
            if (file.empty()) continue;
            if (!exists(file)) {
                add(SheetSetFinding::Error, "missing-template", where, L"sheet creation template not found: " + file);
            } else if (!templateChecked_.count(file + L"|" + s->getTemplateLayoutName())) {
                templateChecked_[file + L"|" + s->getTemplateLayoutName()] = true;
                DrawingFacts f = readFacts(file);
                if (f.readable && !f.layoutHandles.count(tkToUtf8(s->getTemplateLayoutName())))
                    add(SheetSetFinding::Error, "missing-template-layout", where,
                        L"template layout " + Q(s->getTemplateLayoutName()) + L" is not in " + file);
            }
        }
    }

    // A drawing whose xrefs or images cannot be found prints without them.
    void checkReferences(const TkString& file) {
        for (const TkDbExternalFile& ref : facts_[file].missing)
            add(SheetSetFinding::Warning, ref.xref ? "xref-missing" : "image-missing", file,
                (ref.xref ? L"the xref " : L"the image ") + tkFromUtf8(ref.stored) +
                    L" is not found (as stored, nor beside the drawing): it prints without it");
    }

    void checkStamp(const TkString& file) {
        const DrawingFacts& f = facts_[file];
        if (!f.readable) return;
        const TkString& recorded = f.stamp.recorded;
        if (recorded.empty()) {
            if (unstamped_++ == 0) firstUnstamped_ = file;
        } else if (sameFile(recorded, setPath_)) {
            return;
        } else if (!f.stamp.missing && sameFile(f.stamp.path, setPath_)) {
            // Moved or copied with its project: it finds this set from its own folder.
            if (restampable_++ == 0) oldSetPath_ = recorded;
        } else if (sameTextNoCase(tkFromUtf8(P(recorded).filename().string()), tkFromUtf8(P(setPath_).filename().string())) && !exists(recorded)) {
            add(SheetSetFinding::Error, "stamped-old-location", file,
                L"stamped for this sheet set where it used to be: " + recorded + L" (run drawkit restamp, or resave the sheets)");
        } else {
            add(SheetSetFinding::Error, "stamped-other-set", file, L"stamped for another sheet set: " + recorded);
        }
    }

    void checkSheet(CSheet* s) {
        TkString where = componentPath(s), file = s->getFileName();
        if (file.empty() || s->getLayoutName().empty()) {
            add(SheetSetFinding::Error, "no-layout", where, L"the sheet refers to no layout");
            return;
        }
        if (auto* impl = dynamic_cast<CSheetImpl*>(s); impl && impl->toolkitSheet()->getLayout()) {
            const TkString& recorded = impl->toolkitSheet()->getLayout()->getRecordedFileName();
            if (!recorded.empty() && recorded != file && exists(file) && !exists(recorded) && relocated_++ == 0)
                firstRecorded_ = recorded;
        }
        const DrawingFacts& f = facts_[file];
        if (!f.found) {
            add(SheetSetFinding::Error, "missing-drawing", where, L"drawing not found: " + file);
        } else if (!f.readable) {
            add(SheetSetFinding::Error, "unreadable-drawing", where, L"cannot read " + file + L": " + f.readError);
        } else if (auto l = f.layoutHandles.find(tkToUtf8(s->getLayoutName())); l == f.layoutHandles.end()) {
            add(SheetSetFinding::Error, "missing-layout", where, L"layout " + Q(s->getLayoutName()) + L" is not in " + file);
        } else if (!s->getLayoutHandle().empty() && !sameTextNoCase(tkFromUtf8(l->second), s->getLayoutHandle())) {
            add(SheetSetFinding::Warning, "layout-replaced", where,
                L"layout " + Q(s->getLayoutName()) + L" was recreated (handle " + tkFromUtf8(l->second) + L", recorded " +
                    s->getLayoutHandle() + L")");
        }
    }

    // Values with a line break or another control character came from a file edited by hand or by
    // another program: the set opens, and title blocks show them with spaces instead.
    void checkValues(const std::vector<CSheet*>& sheets) {
        auto look = [&](const TkString& where, const TkString& field, const TkString& value) {
            if (const wchar_t c = firstControlCharacter(value)) {
                wchar_t code[8];
                std::swprintf(code, sizeof code / sizeof *code, L"U+%04X", static_cast<unsigned>(c));
                add(SheetSetFinding::Warning, "control-character", where,
                    field + L" holds a control character (" + code + L"); title blocks show a space for it: correct it in the properties");
            }
        };
        auto custom = [&](const TkString& where, CCustomProperties* props) {
            std::vector<CustomProperty> all;
            props->getAll(all);
            for (const CustomProperty& p : all) {
                look(where, L"the custom property name " + Q(p.name), p.name);
                look(where, L"the custom property " + Q(p.name), p.value);
            }
        };
        look(L"sheet set", L"the name", set_->getName());
        look(L"sheet set", L"the description", set_->getDesc());
        look(L"sheet set", L"the project number", set_->getProjectNumber());
        look(L"sheet set", L"the project name", set_->getProjectName());
        look(L"sheet set", L"the project phase", set_->getProjectPhase());
        look(L"sheet set", L"the project milestone", set_->getProjectMilestone());
        custom(L"sheet set", set_->getCustomProperties());
        std::set<CComponent*> subsets;
        for (CSheet* s : sheets) {
            const TkString where = componentPath(s);
            look(where, L"the number", s->getNumber());
            look(where, L"the title", s->getTitle());
            look(where, L"the description", s->getDesc());
            look(where, L"the revision", s->getRevisionNumber());
            look(where, L"the revision date", s->getRevisionDate());
            look(where, L"the issue purpose", s->getIssuePurpose());
            look(where, L"the category", s->getCategory());
            custom(where, s->getCustomProperties());
            if (auto* sub = dynamic_cast<CSubset*>(s->getParent()); sub && sub != set_ && subsets.insert(sub).second)
                look(componentPath(sub), L"the subset name", sub->getName());
        }
    }

    void checkNumbers(const std::vector<CSheet*>& sheets) {
        std::map<TkString, std::vector<CSheet*>> byNumber;  // letter case aside: "a-101" repeats "A-101"
        std::vector<TkString> order;
        for (CSheet* s : sheets) {
            TkString key = vrutFoldCase(s->getNumber());
            if (key.empty()) continue;
            if (byNumber[key].empty()) order.push_back(key);
            byNumber[key].push_back(s);
        }
        for (const TkString& key : order) {
            const auto& list = byNumber[key];
            if (list.size() < 2) continue;
            TkString names;
            for (CSheet* s : list) names += (names.empty() ? L"" : L"; ") + componentPath(s);
            add(SheetSetFinding::Error, "duplicate-number", list.front()->getNumber(),
                L"sheet number used " + std::to_wstring(list.size()) + L" times: " + names);
        }
    }

    CSheetSet* set_;
    TkString setPath_;
    std::map<TkString, DrawingFacts> facts_;
    std::map<TkString, bool> templateChecked_;
    std::vector<SheetSetFinding> out_;
    int relocated_ = 0, restampable_ = 0, unstamped_ = 0;
    TkString firstRecorded_, oldSetPath_, firstUnstamped_;
};

}  // namespace

TkString componentPath(const CComponent* c) {
    TkString path;
    for (; c && c->getType() != kComponentSheetSet; c = c->getParent()) {
        TkString name = c->getType() == kComponentSheet ? sheetDisplayName(dynamic_cast<const CSheet*>(c))
                                          : dynamic_cast<const CSubset*>(c)->getName();
        path = path.empty() ? name : name + L" / " + path;
    }
    return path;
}

std::vector<SheetSetFinding> checkSheetSet(CSheetSet* set, const std::function<void(int, int)>& progress) {
    return Checker(set).run(progress);
}

TkString sheetSetJournalPath(const TkString& setPath) { return setPath + L".journal"; }
