// Sheet set data files: create, save and reopen a set of 10,000 sheets in 100 subsets.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "toolkit/sm/TkSmDatabase.h"

namespace {

const std::string kFolder = (std::filesystem::temp_directory_path() / "vorn-dst-bench").string();
const TkString kPath = tkFromUtf8(kFolder + "/Big Project.dst");

TkSmDatabase* build(TkSmSheetSetMgr* mgr) {
    TkSmDatabase* db = mgr->createDatabase(kPath, L"", false);
    TkSmSheetSet* ss = db->getSheetSet();
    ss->setName(L"Big Project");
    for (int s = 0; s < 100; ++s) {
        TkSmSubset* sub = ss->createSubset(L"Subset " + std::to_wstring(s), L"");
        for (int i = 0; i < 100; ++i) {
            std::wstring no = L"A-" + std::to_wstring(s) + L"-" + std::to_wstring(i);
            TkSmSheet* sh = sub->addNewSheet(L"Sheet " + no, L"");
            sh->setNumber(no);
            sh->setTitle(L"Floor plan level " + std::to_wstring(i));
            TkSmDbLayoutReference* l = TkSmDbLayoutReference::create();
            l->initNew(sh);
            l->setName(no + L" Floor plan");
            l->setHandle(L"8B");
            l->setFileName(tkFromUtf8(kFolder) + L"/Sheets/" + no + L".dwg");
            sh->setLayout(l);
            l->release();
        }
    }
    return db;
}

void BM_CreateInMemory(benchmark::State& st) {
    for (auto _ : st) {
        TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
        benchmark::DoNotOptimize(build(mgr.get()));
    }
}

void BM_Save(benchmark::State& st) {
    std::filesystem::create_directories(kFolder);
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = build(mgr.get());
    for (auto _ : st) db->save();
    st.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(tkToUtf8(kPath)));
}

void BM_Open(benchmark::State& st) {
    for (auto _ : st) {
        TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
        benchmark::DoNotOptimize(mgr->openDatabase(kPath));
    }
}

}  // namespace

BENCHMARK(BM_CreateInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
