#include <QImage>

#include <cstdio>
#include <cstdlib>

#include "app/services/OutputFile.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/gs/TkGsRenderer.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/FontApp.h"
#include "tools/drawkit/Json.h"

int drawkitThumb(const std::vector<std::string>& a) {
    // a: FILE OUT.png [LAYOUT] [WIDTHxHEIGHT]
    if (a.size() < 2) {
        std::fprintf(stderr, "usage: drawkit thumb FILE OUT.png [LAYOUT] [WIDTHxHEIGHT]\n");
        return 2;
    }
    TkDbDatabase db;
    if (!readOrReport(db, a[0])) return 2;
    std::string layout = a.size() > 2 ? a[2] : db.currentLayoutName();
    int w = 256, h = 168;
    // An image is held whole in memory: 8192 pixels a side is a poster at 300 dpi, and enough.
    constexpr int kMaxSide = 8192;
    if (a.size() > 3 && (std::sscanf(a[3].c_str(), "%dx%d", &w, &h) != 2 || w < 1 || h < 1 || w > kMaxSide || h > kMaxSide)) {
        std::fprintf(stderr, "drawkit: give the size as WIDTHxHEIGHT, each from 1 to %d, for example 256x168\n", kMaxSide);
        return 2;
    }
    if (!db.findLayout(layout)) {
        std::string names;
        for (const auto& l : db.layouts()) names += (names.empty() ? "\"" : ", \"") + l.name() + "\"";
        std::fprintf(stderr, "drawkit: %s has no layout \"%s\" (it has %s)\n", a[0].c_str(), layout.c_str(), names.c_str());
        return 1;
    }
    auto app = guiForFonts();
    QImage img = TkGsRenderer(db).renderLayout(layout, w, h);
    if (img.isNull()) {
        std::fprintf(stderr, "drawkit: the layout \"%s\" of %s could not be drawn at %dx%d\n", layout.c_str(), a[0].c_str(), w, h);
        return 1;
    }
    // Written beside its final name and put in place whole, never over the drawing it shows.
    const TkString outPath = tkFromUtf8(a[1]);
    OutputFile file(outPath);
    if (isOneOfInputs(outPath, {tkFromUtf8(a[0])}) || !file.device() || !img.save(file.device(), "PNG") || !file.putInPlace()) {
        std::fprintf(stderr, "drawkit: cannot write %s\n", a[1].c_str());
        return 1;
    }
    return 0;
}
