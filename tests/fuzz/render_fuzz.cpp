// libFuzzer target: any bytes that read as a drawing are measured (extents, as a save does), drawn
// as a thumbnail and drawn on a PDF page, every layout, within a time budget per input. Half the
// mutations put an extreme number (1e15 degrees, 32767 copies, a scale of 1e300) in place of one
// of the file's numbers: the drawing paths meet hostile values far sooner than by byte flips.
//   clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -I. $(pkg-config --cflags Qt6Gui) \
//       tests/fuzz/render_fuzz.cpp toolkit/db/*.cpp toolkit/common/*.cpp toolkit/gs/*.cpp \
//       $(pkg-config --libs Qt6Gui) -o render-fuzz
//   QT_QPA_PLATFORM=offscreen ./render-fuzz -timeout=20 -rss_limit_mb=4096 -max_len=65536 -max_total_time=1200 CORPUS_DIR
//   (seed the corpus with a few drawings: examples/drawings, or drawings saved by ezdxf)
#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/gs/TkGsRenderer.h"

namespace {

// Longer than this for one input is a finding, though it ended: a hang in waiting.
constexpr double kSecondsPerInput = 10;

bool isNumberLine(const std::string& s, size_t begin, size_t end) {
    if (begin >= end) return false;
    for (size_t i = begin; i < end; ++i)
        if (!std::strchr("0123456789.-+eE \r", s[i])) return false;
    return true;
}

}  // namespace

// Fontconfig keeps its caches to the end of the process on purpose.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);  // fonts for text drawn as glyphs
    return 0;
}

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    if (seed % 2 == 0) return LLVMFuzzerMutate(data, size, maxSize);
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::pair<size_t, size_t>> numbers;  // value lines (every second line) that are numbers
    size_t line = 0;
    for (size_t at = 0; at < text.size(); ++line) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (line % 2 == 1 && isNumberLine(text, at, end)) numbers.emplace_back(at, end);
        at = end + 1;
    }
    if (numbers.empty()) return LLVMFuzzerMutate(data, size, maxSize);
    static const char* const kExtremes[] = {"1e15", "-1e15", "1e300", "-1e300", "1e308", "1e-300", "32767", "100000",
                                            "-1", "0", "360", "1e9", "16", "17", "2147483647", "-2147483648"};
    std::minstd_rand rng(seed);
    const auto [b, e] = numbers[rng() % numbers.size()];
    std::string value = kExtremes[rng() % (sizeof kExtremes / sizeof *kExtremes)];
    if (e > b && text[e - 1] == '\r') value += '\r';
    text.replace(b, e - b, value);
    if (text.size() > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, text.data(), text.size());
    return text.size();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto start = std::chrono::steady_clock::now();
    TkDbDatabase db;
    if (!db.readDxfBuffer(std::string_view(reinterpret_cast<const char*>(data), size)).ok()) return 0;
    for (const TkDbLayout& l : db.layouts()) {
        TkDbPoint3 lo, hi;
        std::vector<std::string> notes;
        db.blockExtents(l.blockRecordHandle(), lo, hi, &notes);
        (void)TkGsRenderer(db).renderLayout(l.name(), 64, 42);

        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::A4));
        TkGsOptions options;
        options.deviceUnitsPerMm = 1200 / 25.4;
        options.textAsText = true;
        TkGsRenderer renderer(db, options);
        QRectF box;
        if (!renderer.layoutBox(l.name(), box) || box.width() <= 0 || box.height() <= 0) box = QRectF(0, 0, 297, 210);
        const double s = std::min(297 * options.deviceUnitsPerMm / box.width(), 210 * options.deviceUnitsPerMm / box.height());
        QTransform xf;
        xf.scale(s, -s);
        xf.translate(-box.left(), -box.bottom());
        QPainter painter(&writer);
        renderer.paint(painter, l.name(), xf);
    }
    std::string out;
    (void)db.writeDxf(out, kTkDbVerR2010);  // measures the extents again, as every save does
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds > kSecondsPerInput) {
        std::fprintf(stderr, "one input took %.1f s, more than the %.0f s it may\n", seconds, kSecondsPerInput);
        std::abort();
    }
    return 0;
}
