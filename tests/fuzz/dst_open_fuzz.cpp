// libFuzzer target: any bytes as a sheet set data file are opened or refused, and what opens saves.
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. tests/fuzz/dst_open_fuzz.cpp \
//       toolkit/sm/*.cpp toolkit/common/*.cpp -lpugixml
#include <unistd.h>

#include <cstdio>
#include <string>

#include "toolkit/sm/TkSmDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/dst-fuzz-" + std::to_string(::getpid()) + ".dst";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    try {
        TkSmDatabase* db = mgr->openDatabase(tkFromUtf8(path));
        db->setFileName(tkFromUtf8(path + ".out"));
        db->save();
    } catch (const TkException&) {
    }
    return 0;
}
