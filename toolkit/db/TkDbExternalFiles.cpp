#include "toolkit/db/TkDbExternalFiles.h"

#include <filesystem>
#include <vector>

#include "toolkit/db/TkDbDatabase.h"

std::vector<TkDbExternalFile> tkDbExternalFiles(const TkDbDatabase& db) {
    std::vector<TkDbExternalFile> files;
    for (const TkDbBlockRecord& b : db.blockRecords())
        if (const TkDbRecord* begin = db.blockBegin(b.handle()); begin && (begin->integer(70) & 4) && !begin->str(1).empty())
            files.push_back({true, std::string(begin->str(1))});
    if (const TkDbSection* objects = db.section("OBJECTS"))
        for (const TkDbRecord* r : objects->records)
            if (r->type() == "IMAGEDEF" && !r->str(1).empty()) files.push_back({false, std::string(r->str(1))});
    return files;
}

std::string tkDbFindExternalFile(const std::string& stored, const std::string& hostDrawing) {
    namespace fs = std::filesystem;
    std::string path = stored;
    for (char& c : path)
        if (c == '\\') c = '/';
    std::error_code ec;
    std::vector<fs::path> candidates{fs::path(path)};
    // A drawing read from memory has no folder to look beside.
    if (!hostDrawing.empty()) {
        const fs::path beside = fs::absolute(fs::path(hostDrawing), ec).parent_path();
        candidates.push_back(beside / path);
        candidates.push_back(beside / fs::path(path).filename());
    }
    for (const fs::path& candidate : candidates)
        if (candidate.is_absolute() && fs::is_regular_file(candidate, ec)) return candidate.lexically_normal().string();
    return {};
}
