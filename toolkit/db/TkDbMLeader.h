#pragma once
// MULTILEADER: leader lines with their arrowheads, and the text or block they point from. The
// entity nests its data in sections ("CONTEXT_DATA{", "LEADER{", "LEADER_LINE{" ... "}") that
// reuse group codes, so the same code means a different thing in each section.
#include <cstdint>
#include <vector>

#include "toolkit/db/TkDbEntities.h"

struct TkDbMLeaderGeom {  // world coordinates
    struct Leader {
        std::vector<std::vector<TkDbPoint3>> lines;  // each from its arrowhead on
        bool hasLast = false;                        // the lines end at `last`, where the landing starts
        TkDbPoint3 last;
        bool hasDogleg = false;  // the landing: from `last` along `dogleg` for `doglegLength`
        TkDbPoint3 dogleg;
        double doglegLength = 0;
    };
    std::vector<Leader> leaders;  // at most 64, with at most 100,000 vertices in all
    bool linesVisible = true;     // leader type 0 draws no lines and no arrowheads
    bool doglegs = true;          // the entity's switch for every leader's landing
    double arrowSize = 0;
    uint64_t arrowBlock = 0;  // 0: the standard closed filled arrowhead
    bool hasText = false;
    TkDbMTextGeom text;
    bool hasBlock = false;
    uint64_t block = 0;  // the block record shown as content
    TkDbPoint3 blockAt, blockScale{1, 1, 1};
    double blockRotation = 0;  // radians
};

TkDbMLeaderGeom tkDbMLeader(const TkDbRecord& e);
