// Writing: header upkeep (version, handle seed, who saved, extents, units), the tag stream, and
// the atomic replacement of the file on disk.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "toolkit/common/TkIdentity.h"
#include "toolkit/common/TkAtomicFile.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbTagWriter.h"

#include <optional>

namespace {

std::string loginName() { return tkUserName(); }

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
    if (version == kTkDbVerR12 && version_ == kTkDbVerR12) return writeAsRead(out);
    if (acadver.empty() || version < kTkDbVerR2000)
        return TkDbResult::fail(eTkUnsupportedVersion,
                                "the drawing version code " + std::to_string(requested) + " cannot be saved; use 21 to 33");
    if (sections_.empty()) return TkDbResult::fail(eTkNotApplicable, "there is no drawing to save");
    if (version_ < kTkDbVerR14 || !section("OBJECTS") || tableEntries("BLOCK_RECORD").empty())
        return TkDbResult::fail(eTkUnsupportedVersion,
                                "this drawing is in R12 DXF, which has no layouts or object structure: it can be saved "
                                "only as R12, as it was read; save it as R2000 or later in the program that made it");

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

    return writeRecords(out, version < kTkDbVerR2007);
}

TkDbResult TkDbDatabase::writeAsRead(std::string& out) const {
    // An R12 drawing saved as R12: every record as it was read, nothing added.
    return writeRecords(out, true);
}

TkDbResult TkDbDatabase::writeRecords(std::string& out, bool legacyText) const {
    out.clear();
    out.reserve(buffer_.size() + buffer_.size() / 16 + 4096);
    std::optional<TkDbLegacyEncoder> encoder;
    if (legacyText) encoder.emplace(getVar("$DWGCODEPAGE"));
    TkDbTagWriter w(out, encoder ? &*encoder : nullptr);
    for (const TkDbTag& t : prologue_) w.write(t);
    for (const TkDbSection& s : sections_) {
        w.write(0, "SECTION");
        w.write(2, s.name);
        for (const TkDbRecord* r : s.records)
            if (!r->erased())
                for (const TkDbTag& t : r->tags()) w.write(t);
        w.write(0, "ENDSEC");
    }
    w.write(0, "EOF");
    // Values are checked where they enter; this is the last guard before the disk.
    if (!w.failure().empty()) {
        out.clear();
        return TkDbResult::fail(eTkInvalidInput, w.failure() + ": the drawing was not written");
    }
    return TkDbResult::success();
}

TkDbResult TkDbDatabase::saveAs(const std::string& path, int version, const TkDbSaveOptions& opt) {
    std::string text;
    TkDbResult r = writeDxf(text, version, opt);
    if (!r) return r;
    std::string failure = tkWriteFileAtomically(path, text, opt.written);
    if (!failure.empty()) return TkDbResult::fail(eTkWriteFailed, failure);
    fileName_ = path;
    return TkDbResult::success();
}
