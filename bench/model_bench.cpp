// The sheet set model on a big set: open a 10,000-sheet set through the manager and walk the whole
// tree, move 1,000 sheets, save; one scripted edit end to end (lock, identity check, apply, save,
// unlock), with and without a colleague's save to read first; and the memory an open set takes
// per sheet. Prints figures, never
// fails: run it by hand (`build/bench/model-bench`), the machine's noise decides what they mean.
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/MoveComponents.h"
#include "model/ScriptedEdits.h"
#include "actions/SheetSetEdit.h"
#include "model/SheetSetMgrImpl.h"
#include "toolkit/common/TkUtf8.h"

namespace {

namespace fs = std::filesystem;
const fs::path kFolder = fs::temp_directory_path() / "vorn-model-bench";
const TkString kPath = tkFromUtf8((kFolder / "Big Project.dst").string());
constexpr int kSubsets = 100, kPerSubset = 100;

long rssKiB(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size()));
    return 0;
}

void writeBigSet() {
    fs::create_directories(kFolder);
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = mgr->createDatabase(kPath, L"", false);
    TkSmSheetSet* ss = db->getSheetSet();
    ss->setName(L"Big Project");
    for (int s = 0; s < kSubsets; ++s) {
        // Ten groups of ten subsets: two levels, as big projects are arranged.
        static TkSmSubset* group = nullptr;
        if (s % 10 == 0) group = ss->createSubset(L"Group " + std::to_wstring(s / 10), L"");
        TkSmSubset* sub = group->createSubset(L"Subset " + std::to_wstring(s), L"");
        for (int i = 0; i < kPerSubset; ++i) {
            std::wstring no = L"A-" + std::to_wstring(s) + L"-" + std::to_wstring(i);
            TkSmSheet* sh = sub->addNewSheet(L"Floor plan level " + std::to_wstring(i), L"");
            sh->setNumber(no);
            sh->setRevisionNumber(L"C");
            TkSmDbLayoutReference* l = TkSmDbLayoutReference::create();
            l->initNew(sh);
            l->setName(no + L" Floor plan");
            l->setHandle(L"8B");
            l->setFileName(tkFromUtf8((kFolder / "Sheets").string()) + L"/" + no + L".dwg");
            sh->setLayout(l);
            l->release();
            auto* v = TkSmCustomPropertyValue::create();
            v->initNew(sh->getCustomPropertyBag());
            v->setValue(TkSmVariant::fromText(L"MC"));
            v->setFlags(2);
            sh->getCustomPropertyBag()->setProperty(L"Checked by", v);
            v->release();
        }
    }
    db->save();
}

double ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Everything the palette reads when it builds its tree.
size_t walk(const CSubset* s) {
    size_t n = 0;
    for (int i = 0; i < s->getCount(); ++i) {
        CComponent* c = s->getAt(i);
        if (auto* sheet = dynamic_cast<CSheet*>(c)) {
            n += sheet->getNumber().size() + sheet->getTitle().size() + sheet->getFileName().size() +
                 sheet->getLayoutName().size() + (sheet->getIncludeForPublish() ? 1 : 0);
        } else if (auto* sub = dynamic_cast<CSubset*>(c)) {
            n += sub->getName().size() + walk(sub);
        }
    }
    return n;
}

void report(const char* what, std::vector<double> t) {
    std::sort(t.begin(), t.end());
    std::printf("%-34s min %7.1f ms   median %7.1f ms   max %7.1f ms   (%zu runs)\n", what, t.front(), t[t.size() / 2], t.back(),
                t.size());
}

}  // namespace

int main() {
    writeBigSet();
    std::printf("set: %d sheets in %d subsets under 10 groups, %.2f MB on disk\n", kSubsets * kPerSubset, kSubsets,
                static_cast<double>(fs::file_size(tkToUtf8(kPath))) / 1e6);

    // Heap in use counts what the set holds even where freed memory is reused; RSS is what the
    // system sees.
    {
        size_t heapBefore = mallinfo2().uordblks;
        long before = rssKiB("VmRSS:");
        CSheetSetMgrImpl mgr;
        mgr.openSheetSet(kPath.c_str());
        walk(mgr.getSheetSet(0));
        size_t heap = mallinfo2().uordblks - heapBefore;
        long after = rssKiB("VmRSS:");
        std::printf("memory of the open set: heap %.1f MB = %.0f bytes per sheet; RSS grew %.1f MB; peak RSS %.1f MB\n",
                    static_cast<double>(heap) / 1048576.0, static_cast<double>(heap) / (kSubsets * kPerSubset),
                    (after - before) / 1024.0, rssKiB("VmHWM:") / 1024.0);
    }

    std::vector<double> open, move, save;
    for (int run = 0; run < 7; ++run) {
        CSheetSetMgrImpl mgr;
        auto t0 = std::chrono::steady_clock::now();
        if (!mgr.openSheetSet(kPath.c_str())) {
            std::fprintf(stderr, "model-bench: cannot open %s\n", tkToUtf8(kPath).c_str());
            return 1;
        }
        CSheetSet* set = mgr.getSheetSet(0);
        size_t chars = walk(set);
        auto t1 = std::chrono::steady_clock::now();
        open.push_back(ms(t0, t1));
        if (chars == 0) return 1;

        // 1,000 sheets: every tenth sheet of the whole set, dropped after the first sheet of the
        // last subset.
        std::vector<CSheet*> sheets;
        set->getSheets(sheets, true);
        std::vector<CComponent*> dragged;
        for (size_t i = 0; i < sheets.size() && dragged.size() < 1000; i += 10) dragged.push_back(sheets[i]);
        CComponent* target = sheets.back();
        auto t2 = std::chrono::steady_clock::now();
        auto made = moveComponents(target, true, dragged);
        auto t3 = std::chrono::steady_clock::now();
        move.push_back(ms(t2, t3));
        if (made.size() != dragged.size()) return 1;

        auto t4 = std::chrono::steady_clock::now();
        if (!set->save()) return 1;
        auto t5 = std::chrono::steady_clock::now();
        save.push_back(ms(t4, t5));
        writeBigSet();  // the next run starts from the same file
    }
    // One scripted edit as drawkit prop makes it, on the set already open: nobody else saved (the
    // identity check passes), and a colleague saved first (the set is read again under the lock).
    std::vector<double> edit, editAfterColleague;
    {
        CSheetSetMgrImpl mine, colleague;
        mine.openSheetSet(kPath.c_str());
        colleague.openSheetSet(kPath.c_str());
        for (int run = 0; run < 9; ++run) {
            TkString error;
            auto change = [&](const wchar_t* name) {
                return [&, name](CSheetSetImpl& set) { return setItemProperties(set, L"", {{name, std::to_wstring(run)}}, error); };
            };
            auto t0 = std::chrono::steady_clock::now();
            ActionResult r = editSheetSet(mine, 0, change(L"Bench"));
            auto t1 = std::chrono::steady_clock::now();
            if (r.status != ActionResult::Done || r.reloaded) return 1;
            edit.push_back(ms(t0, t1));
            if (editSheetSet(colleague, 0, change(L"Colleague")).status != ActionResult::Done) return 1;
            auto t2 = std::chrono::steady_clock::now();
            r = editSheetSet(mine, 0, change(L"Bench"));
            auto t3 = std::chrono::steady_clock::now();
            if (r.status != ActionResult::Done || !r.reloaded) return 1;
            editAfterColleague.push_back(ms(t2, t3));
        }
    }
    report("open through the manager + walk", open);
    report("move 1,000 sheets", move);
    report("save", save);
    report("one edit, set unchanged on disk", edit);
    report("one edit after a colleague's save", editAfterColleague);
    fs::remove_all(kFolder);
    return 0;
}
