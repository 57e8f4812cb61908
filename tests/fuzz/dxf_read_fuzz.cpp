// libFuzzer target: any bytes read as a drawing, in both modes, and what reads is edited and saved.
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. tests/fuzz/dxf_read_fuzz.cpp toolkit/db/*.cpp
#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/db/TkDbDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (bool recover : {false, true}) {
        TkDbDatabase db;
        TkDbReadOptions opt;
        opt.recover = recover;
        if (!db.readDxfBuffer(text, opt)) continue;
        auto layouts = db.layouts();
        for (auto& l : layouts) (void)db.isInitialized(l);
        (void)db.entityCounts();
        if (layouts.size() > 1) {
            (void)db.setCurrentLayout(layouts.back().name());
            (void)db.renameLayout(layouts.back().name(), "Fuzzed");
            (void)db.deleteLayout(layouts[1].name());
        }
        (void)db.setXrecord(db.getOrAddDictionary(db.namedObjectsDictionary(), "VrSheetSetData"), "X", {{1, "y"}});
        std::string out;
        if (db.writeDxf(out, recover ? kTkDbVerR2004 : kTkDbVerR2018)) {
            TkDbDatabase again;
            (void)again.readDxfBuffer(out, opt);
        }
    }
    return 0;
}
