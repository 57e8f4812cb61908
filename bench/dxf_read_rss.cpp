// dxf-read-rss FILE: reads the drawing once and prints the peak resident memory and the file size.
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>

#include "toolkit/db/TkDbDatabase.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    TkDbDatabase db;
    TkDbResult r = db.readDxfFile(argv[1]);
    if (!r) {
        std::fprintf(stderr, "%s\n", r.describe().c_str());
        return 1;
    }
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    double fileMb = static_cast<double>(std::filesystem::file_size(argv[1])) / 1e6;
    double rssMb = static_cast<double>(ru.ru_maxrss) * 1024 / 1e6;
    std::printf("{\"file_mb\": %.2f, \"peak_rss_mb\": %.2f, \"ratio\": %.2f}\n", fileMb, rssMb, rssMb / fileMb);
    return 0;
}
