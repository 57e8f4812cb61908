// Writing: header upkeep (version, handle seed, who saved, extents, units), the tag stream, and
// the atomic replacement of the file on disk.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

std::string loginName() {
    if (const char* u = std::getenv("USER"); u && *u) return u;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return pw->pw_name;
    return "unknown";
}

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

void TkDbDatabase::ensureUnits() {
    // Other programs scale an inserted or referenced drawing by $INSUNITS; say what the units are.
    if (!headerVar("$MEASUREMENT")) setVar("$MEASUREMENT", 70, "1");
    if (!headerVar("$INSUNITS")) setVar("$INSUNITS", 70, getVarInt("$MEASUREMENT", 1) == 0 ? "1" : "4");
    if (!headerVar("$LUNITS")) setVar("$LUNITS", 70, "2");
}

TkDbResult TkDbDatabase::writeDxf(std::string& out, int requested, const TkDbSaveOptions& opt) {
    int version = tkDbSaveVersion(requested);
    std::string_view acadver = tkDbVersionString(version);
    if (acadver.empty() || version < kTkDbVerR2000)
        return TkDbResult::fail(eTkUnsupportedVersion,
                                "the drawing version code " + std::to_string(requested) + " cannot be saved; use 21 to 33");
    if (sections_.empty()) return TkDbResult::fail(eTkNotApplicable, "there is no drawing to save");
    if (version_ < kTkDbVerR14 || !section("OBJECTS") || tableEntries("BLOCK_RECORD").empty())
        return TkDbResult::fail(eTkUnsupportedVersion,
                                "this drawing is in R12 DXF, which has no layouts or object structure; it can be read "
                                "but not saved, save it as R2000 or later in the program that made it");

    if (!headerVar("$ACADVER")) {
        TkDbSection* h = ensureSection("HEADER");
        TkDbRecord* first = h->records.empty() ? nullptr : h->records.front();
        header_.emplace("$ACADVER", appendRecord("HEADER", {{9, "$ACADVER"}, {1, std::string(acadver)}}, first));
    }
    setVar("$ACADVER", 1, acadver);
    if (!headerVar("$DWGCODEPAGE")) setVar("$DWGCODEPAGE", 3, "ANSI_1252");
    setVar("$LASTSAVEDBY", 1, opt.lastSavedBy.empty() ? loginName() : opt.lastSavedBy);
    ensureUnits();
    if (opt.updateExtents) updateExtents();
    setVar("$HANDSEED", 5, tkDbHandleText(std::max<uint64_t>(nextHandle_, 1)));
    version_ = version;

    out.clear();
    out.reserve(buffer_.size() + buffer_.size() / 16 + 4096);
    TkDbTagWriter w(out, version < kTkDbVerR2007);
    for (const TkDbTag& t : prologue_) w.write(t);
    for (const TkDbSection& s : sections_) {
        w.write(0, "SECTION");
        w.write(2, s.name);
        for (const TkDbRecord* r : s.records) {
            if (r->erased()) continue;
            for (const TkDbTag& t : r->tags()) w.write(t);
        }
        w.write(0, "ENDSEC");
    }
    w.write(0, "EOF");
    return TkDbResult::success();
}

TkDbResult TkDbDatabase::saveAs(const std::string& path, int version, const TkDbSaveOptions& opt) {
    std::string text;
    TkDbResult r = writeDxf(text, version, opt);
    if (!r) return r;

    // Write beside the target and rename over it: a crash or a full disk leaves the old drawing.
    std::filesystem::path target(path);
    std::filesystem::path dir = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return TkDbResult::fail(eTkWriteFailed, "cannot write in the folder " + dir.string() + ": " + std::strerror(errno));
    auto failWith = [&](const std::string& what) {
        int e = errno;
        ::close(fd);
        ::unlink(tmpl.c_str());
        return TkDbResult::fail(eTkWriteFailed, what + " " + path + ": " + std::strerror(e));
    };
    // Keep the permissions of the drawing being replaced; a new one gets the usual 0666 less umask.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) return failWith("cannot set the permissions of");
    if (!writeAll(fd, text.data(), text.size())) return failWith("cannot write the drawing");
    if (::fsync(fd) != 0) return failWith("cannot flush the drawing");
    if (::close(fd) != 0) {
        ::unlink(tmpl.c_str());
        return TkDbResult::fail(eTkWriteFailed, "cannot write the drawing " + path + ": " + std::strerror(errno));
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(tmpl.c_str());
        return TkDbResult::fail(eTkWriteFailed, "cannot replace the drawing " + path + ": " + std::strerror(e));
    }
    // Make the rename itself durable.
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    fileName_ = path;
    return TkDbResult::success();
}
