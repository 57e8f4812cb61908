// Read and save throughput of the drawing database on one big drawing, side by side with dxflib
// and with a plain split of the file into code/value pairs.
//   dxf-bench --drawing=FILE [benchmark flags]
#include <benchmark/benchmark.h>
#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagReader.h"

namespace {

std::string gPath;
std::string gText;

void setBytes(benchmark::State& s) {
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * static_cast<int64_t>(gText.size()));
}

// The practical limit: every line found and every code parsed, nothing built.
void BM_PlainSplit(benchmark::State& s) {
    for (auto _ : s) {
        TkDbTagArray tags;
        TkDbResult r = tkDbSplitTags(gText, tags);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(tags.data());
    }
    setBytes(s);
}

// Full read of the file into the database: records, handles, owners, indexes.
void BM_ReadDatabase(benchmark::State& s) {
    for (auto _ : s) {
        TkDbDatabase db;
        TkDbResult r = db.readDxfFile(gPath);
        if (!r) s.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(db.sections().size());
    }
    setBytes(s);
}

void BM_SaveDatabase(benchmark::State& s) {
    TkDbDatabase db;
    db.readDxfFile(gPath);
    std::string out = gPath + ".bench-save.dxf";
    TkDbSaveOptions opt;
    opt.updateExtents = false;  // measured on its own below
    for (auto _ : s) {
        TkDbResult r = db.saveAs(out, kTkDbVerR2010, opt);
        if (!r) s.SkipWithError(r.message.c_str());
    }
    std::remove(out.c_str());
    setBytes(s);
}

void BM_SaveWithExtents(benchmark::State& s) {
    TkDbDatabase db;
    db.readDxfFile(gPath);
    std::string out;
    for (auto _ : s) {
        TkDbResult r = db.writeDxf(out, kTkDbVerR2010);
        benchmark::DoNotOptimize(out.data());
        if (!r) s.SkipWithError(r.message.c_str());
    }
    setBytes(s);
}

struct Counter : DL_CreationAdapter {
    long n = 0;
    void addLine(const DL_LineData&) override { ++n; }
    void addPolyline(const DL_PolylineData&) override { ++n; }
    void addVertex(const DL_VertexData&) override { ++n; }
    void addText(const DL_TextData&) override { ++n; }
    void addInsert(const DL_InsertData&) override { ++n; }
    void addArc(const DL_ArcData&) override { ++n; }
};

void BM_Dxflib(benchmark::State& s) {
    for (auto _ : s) {
        Counter c;
        DL_Dxf dxf;
        if (!dxf.in(gPath, &c)) s.SkipWithError("dxflib could not read the drawing");
        benchmark::DoNotOptimize(c.n);
    }
    setBytes(s);
}

}  // namespace

BENCHMARK(BM_PlainSplit)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadDatabase)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveDatabase)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveWithExtents)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Dxflib)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--drawing=", 10) == 0) gPath = argv[i] + 10;
    if (gPath.empty()) {
        std::fprintf(stderr, "usage: dxf-bench --drawing=FILE [benchmark flags]\n");
        return 2;
    }
    std::ifstream in(gPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    gText = ss.str();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
