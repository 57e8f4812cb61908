// Damaged drawings: cut, flipped, shuffled and spliced copies of a real drawing must read as a
// drawing or as an error value, never crash or hang; what reads must also save.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/TestFiles.h"

namespace {

std::vector<std::string> lines(const std::string& s) {
    std::vector<std::string> out;
    size_t p = 0;
    while (p < s.size()) {
        size_t e = s.find('\n', p);
        if (e == std::string::npos) e = s.size();
        out.push_back(s.substr(p, e - p));
        p = e + 1;
    }
    return out;
}

std::string join(const std::vector<std::string>& v) {
    std::string s;
    for (auto& l : v) s += l + "\n";
    return s;
}

}  // namespace

TEST(Mutation, DamagedDrawingsNeverCrash) {
    std::string base;
    ASSERT_TRUE(makeThreeSheetDrawing()->writeDxf(base, kTkDbVerR2010).ok());
    const auto baseLines = lines(base);
    std::mt19937 rng(20261206);
    const char* junk[] = {"0", "SECTION", "ENDSEC", "EOF", "330", "5", "-1", "ZZ", "\xFF\xFE", "1e999", "102", "{ACAD", "}",
                          "LAYOUT", "AcDbLayout", "*Paper_Space", "1001", "310", ""};
    int readOk = 0, savedOk = 0;
    for (int round = 0; round < 1500; ++round) {
        std::string text;
        auto v = baseLines;
        std::uniform_int_distribution<size_t> pick(0, v.size() - 1);
        switch (round % 6) {
        case 0: text = base.substr(0, std::uniform_int_distribution<size_t>(0, base.size())(rng)); break;
        case 1:
            text = base;
            for (int k = 0; k < 8; ++k) text[std::uniform_int_distribution<size_t>(0, text.size() - 1)(rng)] = static_cast<char>(rng());
            break;
        case 2: v.erase(v.begin() + static_cast<long>(pick(rng))); text = join(v); break;
        case 3: std::swap(v[pick(rng)], v[pick(rng)]); text = join(v); break;
        case 4: v[pick(rng)] = junk[rng() % std::size(junk)]; text = join(v); break;
        default: {
            size_t from = pick(rng), len = std::uniform_int_distribution<size_t>(1, 40)(rng);
            std::vector<std::string> chunk(v.begin() + static_cast<long>(from),
                                           v.begin() + static_cast<long>(std::min(v.size(), from + len)));
            v.insert(v.begin() + static_cast<long>(pick(rng)), chunk.begin(), chunk.end());
            text = join(v);
        }
        }
        for (bool recover : {false, true}) {
            TkDbDatabase db;
            TkDbReadOptions opt;
            opt.recover = recover;
            TkDbResult r = db.readDxfBuffer(text, opt);
            if (!r) {
                EXPECT_FALSE(r.message.empty());
                continue;
            }
            ++readOk;
            // Use what was read the way the product does, then save it.
            for (auto& l : db.layouts()) {
                (void)db.isInitialized(l);
                (void)l.paperName();
            }
            (void)db.entityCounts();
            (void)db.currentLayoutName();
            if (auto l = db.layouts(); l.size() > 2) {
                (void)db.renameLayout(l[2].name(), "Mutated");
                (void)db.setCurrentLayout("Mutated");
                (void)db.deleteLayout(l[1].name());
            }
            uint64_t root = db.namedObjectsDictionary();
            (void)db.setXrecord(db.getOrAddDictionary(root, "VrSheetSetData"), "LayoutName", {{1, "x"}});
            std::string out;
            if (db.writeDxf(out, kTkDbVerR2004).ok()) {
                ++savedOk;
                TkDbDatabase again;
                (void)again.readDxfBuffer(out, opt);
            }
        }
    }
    // The mutations must leave many readable drawings, or this test would exercise little.
    EXPECT_GT(readOk, 300);
    EXPECT_GT(savedOk, 200);
}

TEST(Mutation, RandomBytesAndTagSoupNeverCrash) {
    std::mt19937 rng(4);
    const char* words[] = {"0", "SECTION", "2", "HEADER", "ENTITIES", "OBJECTS", "BLOCKS", "TABLES", "ENDSEC", "EOF",
                           "9", "$ACADVER", "AC1009", "AC1015", "5", "330", "100", "102", "{X", "}", "LAYOUT",
                           "AcDbLayout", "DICTIONARY", "3", "350", "BLOCK", "ENDBLK", "TABLE", "ENDTAB", "BLOCK_RECORD",
                           "*Paper_Space", "*Model_Space", "1", "69", "VIEWPORT", "A", "1F", "\\U+00", "\xC3"};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        if (round % 3 == 0) {
            text = "  0\n";
            size_t n = rng() % 400;
            for (size_t i = 0; i < n; ++i) text.push_back(static_cast<char>(rng()));
        } else {
            size_t n = rng() % 300;
            for (size_t i = 0; i < n; ++i) {
                text += words[rng() % std::size(words)];
                text += rng() % 17 ? "\n" : "\r\n";
            }
        }
        TkDbDatabase db;
        TkDbReadOptions opt;
        opt.recover = round % 2;
        if (!db.readDxfBuffer(text, opt)) continue;
        (void)db.layouts();
        (void)db.entityCounts();
        (void)db.currentLayoutName();
        std::string out;
        (void)db.writeDxf(out, kTkDbVerR2000);
    }
}
