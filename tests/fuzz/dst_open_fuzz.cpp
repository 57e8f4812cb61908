// libFuzzer target: any bytes as a sheet set data file are opened or refused, and what opens saves
// and opens again. Half the mutations are structural (tests/support/DstMutator): bad attribute
// values and misplaced elements reach the reader's deeper paths far sooner than byte flips.
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. tests/fuzz/dst_open_fuzz.cpp \
//       tests/support/DstMutator.cpp toolkit/sm/*.cpp toolkit/common/*.cpp -lpugixml -o dst-fuzz
//   ./dst-fuzz -max_total_time=600 CORPUS_DIR   (seed the corpus with a few .dst files)
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tests/support/DstMutator.h"
#include "toolkit/sm/TkSmDatabase.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    std::string xml(reinterpret_cast<const char*>(data), size);
    size_t count = seed % 2 ? dstMutationCount(xml) : 0;
    if (count == 0) return LLVMFuzzerMutate(data, size, maxSize);
    std::string mutated = dstMutation(xml, seed / 2 % count);
    if (mutated.size() > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, mutated.data(), mutated.size());
    return mutated.size();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/dst-fuzz-" + std::to_string(::getpid()) + ".dst";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = nullptr;
    try {
        db = mgr->openDatabase(tkFromUtf8(path));
    } catch (const TkException&) {
        return 0;  // refused, with a reason: fine
    }
    // Anything but the toolkit's own refusal escaping the reader is a finding: let it abort.
    db->setFileName(tkFromUtf8(path + ".out"));
    db->save();
    TkSmPtr<TkSmSheetSetMgr> again = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    try {
        again->openDatabase(tkFromUtf8(path + ".out"));
    } catch (const TkException& e) {
        std::fprintf(stderr, "saved file does not open again: %s\n", e.what());
        std::abort();
    }
    return 0;
}
