// The palette's status pass over a set's drawings: cold reads of 1,000 drawings of about 200 KB
// through the drawing cache, and thumbnails of the example A1 sheet at the three sizes.
//   status-bench [--benchmark flags]
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QGuiApplication>
#include <filesystem>

#include "drawings/DwgCache.h"
#include "host/Documents.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/gs/TkGsRenderer.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFolder = fs::temp_directory_path() / "vorn-status-bench";
constexpr int kDrawings = 1000;
uint64_t gBytes = 0;

// 1,000 distinct files of one ~200 KB drawing, made once.
void makeDrawings() {
    if (fs::exists(kFolder / "done")) {
        for (auto& e : fs::directory_iterator(kFolder)) gBytes += e.is_regular_file() ? e.file_size() : 0;
        return;
    }
    fs::create_directories(kFolder);
    auto db = TkDbDatabase::createNew();
    uint64_t ms = db->modelSpace();
    for (int i = 0; i < 1800; ++i)
        db->addEntity(ms, "LINE", {{100, "AcDbLine"}, {10, tkDbDoubleText(i * 10.5)}, {20, "0"}, {30, "0"},
                                   {11, tkDbDoubleText(i * 10.5)}, {21, "1000"}, {31, "0"}});
    db->addLayout("A1", TkDbPaper{"ISO_A1_(841.00_x_594.00_MM)", 841, 594}, true);
    std::string text;
    db->writeDxf(text, kTkDbVerR2010);
    for (int i = 0; i < kDrawings; ++i) {
        std::string path = (kFolder / ("S-" + std::to_string(i) + ".dwg")).string();
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        gBytes += text.size();
    }
    std::fclose(std::fopen((kFolder / "done").c_str(), "wb"));
}

void BM_StatusPassCold(benchmark::State& st) {
    for (auto _ : st) {
        CDwgCache cache;  // a new cache: every drawing is read
        for (int i = 0; i < kDrawings; ++i) {
            auto* e = cache.getEntry(reinterpret_cast<const CSheetImpl*>(static_cast<uintptr_t>(i + 1)), L"A1",
                                     tkFromUtf8((kFolder / ("S-" + std::to_string(i) + ".dwg")).string()));
            benchmark::DoNotOptimize(e->readable);
        }
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * gBytes));
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    st.counters["peak_rss_mb"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
    st.counters["ms_per_drawing"] = benchmark::Counter(static_cast<double>(kDrawings), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_StatusPassWarm(benchmark::State& st) {
    CDwgCache cache;
    auto pass = [&] {
        for (int i = 0; i < kDrawings; ++i)
            cache.getEntry(reinterpret_cast<const CSheetImpl*>(static_cast<uintptr_t>(i + 1)), L"A1",
                           tkFromUtf8((kFolder / ("S-" + std::to_string(i) + ".dwg")).string()));
    };
    pass();
    for (auto _ : st) pass();  // unchanged files: only their times are looked at
}

void BM_Thumbnail(benchmark::State& st) {
    static TkDbDatabase db;
    static bool read = db.readDxfFile(VORN_SOURCE_DIR "/examples/drawings/A-101 Ground Floor Plan.dwg").ok();
    if (!read) st.SkipWithError("example drawing missing");
    const int sizes[3][2] = {{64, 42}, {128, 84}, {256, 168}};
    int w = sizes[st.range(0)][0], h = sizes[st.range(0)][1];
    TkGsRenderer r(db);
    for (auto _ : st) benchmark::DoNotOptimize(r.renderLayout("A-101 Ground Floor Plan", w, h));
}

}  // namespace

BENCHMARK(BM_StatusPassCold)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StatusPassWarm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Thumbnail)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    makeDrawings();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
