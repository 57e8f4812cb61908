// Reading: file checks, tag splitting, sections and records, then the handle and owner index.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbCodes.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbEncoding.h"
#include "toolkit/db/TkDbTagReader.h"
#include "toolkit/db/TkDbTagWriter.h"

namespace {

bool isZero(const TkDbTag& t, std::string_view v) { return t.code == tkdxf::kStart && t.value() == v; }

// Looks for a header variable's first value without building anything: used to learn the version
// and code page before the buffer is decoded.
std::string_view peekHeader(const TkDbTagArray& tags, std::string_view name) {
    for (size_t i = 0; i + 1 < tags.size() && i < 20000; ++i) {
        if (isZero(tags[i], "ENDSEC")) break;
        if (tags[i].code == tkdxf::kHeaderVariable && tags[i].value() == name) return tags[i + 1].value();
    }
    return {};
}

}  // namespace

TkDbResult TkDbDatabase::readDxfFile(const std::string& path, const TkDbReadOptions& opt) {
    clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return TkDbResult::fail(eTkFileNotFound, "cannot find the drawing " + path);
        return TkDbResult::fail(eTkFileAccess, "cannot open the drawing " + path + ": " + std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) return TkDbResult::fail(eTkFileAccess, path + " is a folder, not a drawing");
    // A pipe or device would block or never end; drawings are regular files.
    if (!S_ISREG(st.st_mode)) return TkDbResult::fail(eTkFileAccess, path + " is not a regular file");
    if (opt.maxFileSize && static_cast<uint64_t>(st.st_size) > opt.maxFileSize)
        return TkDbResult::fail(eTkFileTooLarge, "the drawing " + path + " is larger than the size limit");
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return TkDbResult::fail(eTkFileAccess, "cannot open the drawing " + path + ": " + std::strerror(errno));
    if (!buffer_.allocate(static_cast<size_t>(st.st_size))) {
        ::close(fd);
        return TkDbResult::fail(eTkFileAccess, "not enough memory to read the drawing " + path);
    }
    size_t got = 0;
    while (got < buffer_.size()) {
        ssize_t n = ::read(fd, buffer_.data() + got, buffer_.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int e = errno;
            ::close(fd);
            clear();
            return TkDbResult::fail(eTkFileAccess, "cannot read the drawing " + path + ": " + std::strerror(e));
        }
        if (n == 0) break;  // the file shrank since stat; what was read is what counts
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    buffer_.shrink(got);
    TkDbResult r = parse(opt);
    if (r.ok()) fileName_ = path;
    return r;
}

TkDbResult TkDbDatabase::fail(TkErrorStatus c, std::string msg, const char* at) {
    TkDbResult r = TkDbResult::fail(c, std::move(msg), at ? lineOf(at) : 0);
    clear();
    return r;
}

TkDbResult TkDbDatabase::failAt(TkErrorStatus c, std::string msg, const TkDbTag& tag) {
    TkDbResult r = TkDbResult::fail(c, std::move(msg), tagLine(tag));
    clear();
    return r;
}

// A tag begins at its group code, the line before its value.
int64_t TkDbDatabase::tagLine(const TkDbTag& t) const {
    int64_t l = lineOf(t.ptr);
    return l > 1 ? l - 1 : l;
}

int64_t TkDbDatabase::lineOf(const char* p) const { return tkDbLineOf(buffer_.view(), p); }

TkDbResult TkDbDatabase::readDxfBuffer(std::string_view buffer, const TkDbReadOptions& opt) {
    clear();
    if (!buffer_.assign(buffer)) return TkDbResult::fail(eTkFileAccess, "not enough memory to read the drawing");
    return parse(opt);
}

TkDbResult TkDbDatabase::parse(const TkDbReadOptions& opt) {
    std::string_view head = buffer_.view().substr(0, 64);
    switch (tkDbSniff(head)) {
    case TkDbFileKind::Empty: return fail(eTkNotDxf, "the drawing file is empty", nullptr);
    case TkDbFileKind::Dwg:
        return fail(eTkDwgNotSupported,
                    "this is a binary DWG drawing (" + std::string(head.substr(0, 6)) +
                        "); only DXF drawings are supported, save it as DXF first", nullptr);
    case TkDbFileKind::BinaryDxf:
        return fail(eTkBinaryDxf, "this is a binary DXF drawing; only ASCII DXF is supported, save it as ASCII DXF",
                    nullptr);
    case TkDbFileKind::Unknown: return fail(eTkNotDxf, "not a DXF drawing: it does not start with a group code", nullptr);
    case TkDbFileKind::AsciiDxf: break;
    }
    // Text DXF never holds a NUL byte; one means the file is binary or damaged.
    if (const void* nul = std::memchr(buffer_.data(), 0, buffer_.size()))
        return fail(eTkNotDxf, "not a DXF drawing: the file holds binary data", static_cast<const char*>(nul));

    // Old Macintosh files end their lines with a carriage return alone.
    if (buffer_.size() && !std::memchr(buffer_.data(), '\n', buffer_.size()) && std::memchr(buffer_.data(), '\r', buffer_.size()))
        std::replace(buffer_.data(), buffer_.data() + buffer_.size(), '\r', '\n');

    TkDbResult r = tkDbSplitTags(buffer_.view(), tags_, opt.listingOnly);
    if (!r) { clear(); return r; }

    // Before R2007 text is in the drawing's code page; decode once so the database is UTF-8 inside.
    int ver = tkDbVersionFromString(peekHeader(tags_, "$ACADVER"));
    bool legacy = ver != kTkDbVerUnknown ? ver < kTkDbVerR2007 : !tkIsValidUtf8(buffer_.view());
    if (legacy && tkDbLegacyNeedsDecode(buffer_.view())) {
        std::string cp(peekHeader(tags_, "$DWGCODEPAGE"));
        std::string decoded = tkDbDecodeLegacyBuffer(buffer_.view(), cp);
        tags_.clear();
        if (!buffer_.assign(decoded)) return fail(eTkFileAccess, "not enough memory to read the drawing", nullptr);
        r = tkDbSplitTags(buffer_.view(), tags_, opt.listingOnly);
        if (!r) { clear(); return r; }
    }

    // Sections: "0 SECTION / 2 NAME", records, "0 ENDSEC". A record runs from one 0 tag (9 in the
    // header) to the next; tags a section holds before its first record form a record of their own.
    const size_t n = tags_.size();
    size_t i = 0;
    while (i < n && tags_[i].code == tkdxf::kComment) prologue_.push_back(tags_[i++]);
    while (i < n) {
        const TkDbTag& t = tags_[i];
        if (isZero(t, "EOF")) break;  // without it, a file that ends after a closed section is fine too
        if (t.code == tkdxf::kComment) { ++i; continue; }  // comments between sections carry nothing
        if (!isZero(t, "SECTION"))
            return failAt(eTkBadStructure, "expected \"0 SECTION\", found group code " + std::to_string(t.code), t);
        if (i + 1 >= n) return failAt(eTkTruncated, "the file ends after \"0 SECTION\"", t);
        if (tags_[i + 1].code != 2) return failAt(eTkBadStructure, "a section without a name (group code 2)", tags_[i + 1]);
        TkDbSection sec;
        sec.name = std::string(tags_[i + 1].value());
        const int startCode = sec.name == "HEADER" ? 9 : 0;
        // A listing reads no entities: those sections are passed over, their records never made.
        const bool passOver = opt.listingOnly && (sec.name == "ENTITIES" || sec.name == "BLOCKS");
        i += 2;
        size_t start = i;
        bool closed = false;
        auto flush = [&](size_t end) {
            if (end > start) {
                pool_.emplace_back(&tags_[start], static_cast<uint32_t>(end - start));
                sec.records.push_back(&pool_.back());
            }
            start = end;
        };
        while (i < n) {
            const TkDbTag& g = tags_[i];
            if (g.code == tkdxf::kStart) {
                if (g.value() == "ENDSEC") {
                    if (!passOver) flush(i);
                    closed = true;
                    ++i;
                    break;
                }
                if (g.value() == "SECTION" || g.value() == "EOF") break;
            }
            if (g.code == startCode && i > start && !passOver) flush(i);
            ++i;
        }
        if (!closed) {
            return failAt(i < n ? eTkBadStructure : eTkTruncated,
                          "the " + sec.name + " section is not closed with \"0 ENDSEC\"" +
                              (i < n ? "" : ": the file is cut short"),
                          tags_[i < n ? i : n - 1]);
        }
        sections_.push_back(std::move(sec));
    }
    if (sections_.empty()) return fail(eTkNotDxf, "not a DXF drawing: it has no sections", nullptr);
    version_ = ver;
    r = index(opt.recover, opt.listingOnly);
    if (!r) { clear(); return r; }
    if (opt.recover && !opt.listingOnly) repairMissingObjects();
    return r;
}

TkDbResult TkDbDatabase::index(bool recover, bool listingOnly) {
    handles_.clear();
    header_.clear();
    if (TkDbSection* h = section("HEADER"))
        for (TkDbRecord* r : h->records)
            if (r->count() && r->tags()[0].code == tkdxf::kHeaderVariable) header_.emplace(std::string(r->type()), r);
    if (listingOnly) {
        // Each record knows its own handle; nothing is looked up by handle in a listing.
        for (auto& s : sections_)
            for (TkDbRecord* r : s.records) {
                auto t = r->tags();
                for (size_t k = 1; k < t.size() && k < 4; ++k)
                    if (t[k].code == tkdxf::kHandle || t[k].code == tkdxf::kDimStyleHandle) {
                        tkDbParseHandle(t[k].value(), r->handle_);
                        break;
                    }
            }
        return TkDbResult::success();
    }

    uint64_t maxHandle = 0;
    size_t total = 0;
    for (auto& s : sections_)
        if (s.name == "TABLES" || s.name == "BLOCKS" || s.name == "ENTITIES" || s.name == "OBJECTS") total += s.records.size();
    handles_.reserve(total + total / 4);

    auto problem = [&](TkErrorStatus c, std::string msg, const TkDbTag& at) -> bool {
        if (!recover) {
            problems_.clear();
            problems_.push_back(TkDbResult::fail(c, std::move(msg), tagLine(at)));
            return false;
        }
        if (problems_.size() < 1000) problems_.push_back(TkDbResult::fail(c, std::move(msg), tagLine(at)));
        return true;
    };

    for (auto& s : sections_) {
        if (s.name != "TABLES" && s.name != "BLOCKS" && s.name != "ENTITIES" && s.name != "OBJECTS") continue;
        for (TkDbRecord* r : s.records) {
            auto t = r->tags();
            if (t.empty() || t[0].code != 0) continue;
            bool inGroup = false, haveOwner = false;
            for (size_t k = 1; k < t.size(); ++k) {
                const TkDbTag& g = t[k];
                if (g.code == tkdxf::kSubclass || g.code == tkdxf::kXdataApp) break;  // handle and owner precede the subclass data
                if (g.code == tkdxf::kAppGroup) { inGroup = g.len && g.ptr[0] == '{'; continue; }
                if (inGroup) continue;
                if ((g.code == tkdxf::kHandle || g.code == tkdxf::kDimStyleHandle) && r->handle_ == 0) {
                    if (!tkDbParseHandle(g.value(), r->handle_) || r->handle_ == 0) {
                        r->handle_ = 0;
                        if (!problem(eTkBadHandle, "the handle \"" + std::string(g.value()) + "\" of a " +
                                                       std::string(r->type()) + " is not a hexadecimal number", g))
                            return problems_.back();
                    }
                } else if (g.code == tkdxf::kOwner && !haveOwner) {
                    haveOwner = true;
                    if (!tkDbParseHandle(g.value(), r->owner_)) r->owner_ = 0;
                }
            }
            if (r->handle_ == 0) continue;
            auto [it, fresh] = handles_.emplace(r->handle_, r);
            if (!fresh) {
                if (!problem(eTkDuplicateHandle, "the handle " + tkDbHandleText(r->handle_) + " is used twice, by the " +
                                                     std::string(it->second->type()) + " and by the " + std::string(r->type()) + " here",
                             t[0]))
                    return problems_.back();
                r->handle_ = 0;  // recover: the second one gets a fresh handle below
                continue;
            }
            if (r->handle_ > maxHandle) maxHandle = r->handle_;
        }
    }

    // Every owner must exist; handle 0 is "owned by nobody" (the root dictionary, table heads). A
    // tolerant read gives an entity whose owner is gone the owner its place says it has: the block
    // it stands in, or model or paper space.
    uint64_t modelSpace = 0, paperSpace = 0;
    if (TkDbSection* tables = section("TABLES"))
        for (TkDbRecord* r : tables->records) {
            if (r->type() != "BLOCK_RECORD") continue;
            size_t k = r->indexOf(2);
            std::string_view name = k == TkDbRecord::npos ? std::string_view() : r->tags()[k].value();
            if (tkDbNameEqualNoCase(name, "*Model_Space")) modelSpace = r->handle_;
            else if (tkDbNameEqualNoCase(name, "*Paper_Space")) paperSpace = r->handle_;
        }
    for (auto& s : sections_) {
        if (s.name != "TABLES" && s.name != "BLOCKS" && s.name != "ENTITIES" && s.name != "OBJECTS") continue;
        uint64_t enclosingBlock = 0;  // in BLOCKS: the block record of the BLOCK being read
        for (TkDbRecord* r : s.records) {
            if (s.name == "BLOCKS" && r->type() == "BLOCK") enclosingBlock = handles_.count(r->owner_) ? r->owner_ : 0;
            if (r->owner_ == 0 || handles_.count(r->owner_)) continue;
            size_t at = r->indexOf(330);
            const TkDbTag where = r->tags()[at == TkDbRecord::npos ? 0 : at];  // as read, for its line
            std::string what = "the " + std::string(r->type()) + " " + tkDbHandleText(r->handle_) + " names the owner " +
                               tkDbHandleText(r->owner_) + ", which does not exist";
            uint64_t place = 0;
            if (s.name == "ENTITIES") {
                size_t k = r->indexOf(67);
                place = k != TkDbRecord::npos && r->tags()[k].value().find('1') != std::string_view::npos ? paperSpace : modelSpace;
            } else if (s.name == "BLOCKS" && r->type() != "BLOCK") {
                place = enclosingBlock;
            }
            if (recover && place && at != TkDbRecord::npos) {
                r->owner_ = place;
                r->setTag(at, tkDbHandleText(place));
                what += "; it now belongs to " + tkDbHandleText(place) + ", where it stands";
            }
            if (!problem(eTkDanglingOwner, what, where)) return problems_.back();
        }
    }

    uint64_t seed = 0;
    tkDbParseHandle(getVar("$HANDSEED"), seed);
    nextHandle_ = std::max<uint64_t>(seed, maxHandle + 1);
    if (nextHandle_ == 0) nextHandle_ = 1;

    // Tolerant: records that lost their handle to a duplicate, or whose handle was not a number,
    // get a fresh one; from R2000 on, where every object has a handle, so do records written
    // without any. R12 handles are optional and stay as they are.
    if (recover) {
        const bool handlesRequired = version_ >= kTkDbVerR14;
        for (auto& s : sections_) {
            if (s.name != "TABLES" && s.name != "BLOCKS" && s.name != "ENTITIES" && s.name != "OBJECTS") continue;
            for (TkDbRecord* r : s.records) {
                if (r->handle_ != 0 || r->count() == 0 || r->tags()[0].code != 0) continue;
                size_t k = r->indexOf(5);
                if (k == TkDbRecord::npos) k = r->indexOf(105);
                if (k == TkDbRecord::npos && (!handlesRequired || r->type() == "ENDTAB" || r->type() == "ENDBLK" || r->type() == "SEQEND"))
                    continue;
                r->handle_ = nextHandle_++;
                if (k == TkDbRecord::npos) {
                    r->insert(1, 5, tkDbHandleText(r->handle_));
                    problem(eTkBadHandle, "a " + std::string(r->type()) + " had no handle; it was given " + tkDbHandleText(r->handle_),
                            r->tags()[0]);
                } else {
                    r->setTag(k, tkDbHandleText(r->handle_));
                }
                handles_.emplace(r->handle_, r);
            }
        }
    }
    return TkDbResult::success();
}
