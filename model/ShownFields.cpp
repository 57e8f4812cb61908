#include "model/ShownFields.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/PathUtil.h"
#include "toolkit/common/TkUtf8.h"

namespace {

constexpr const char* kHeader = "vorn-shown-fields 1";
// The cache is this user's own, but a file that big is not one we wrote.
constexpr std::uintmax_t kMaxCacheBytes = 64u << 20;

// A stable name for the set's cache file: FNV-1a of its path, so two sets never share one.
std::string nameFor(const TkString& setPath) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : tkToUtf8(setPath)) h = (h ^ c) * 1099511628211ull;
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.fields", static_cast<unsigned long long>(h));
    return name;
}

// Tabs and line ends separate the cache's fields: a name holding one is not remembered (its
// drawing is simply read each time).
bool storable(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return false;
    return true;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::string::size_type from = 0;
    for (;;) {
        const auto tab = line.find('\t', from);
        out.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
        if (tab == std::string::npos) return out;
        from = tab + 1;
    }
}

}  // namespace

ShownFieldsCache::ShownFieldsCache(const TkString& setPath, const TkString& folder) {
    const TkString root = folder.empty() ? vrutUserCacheFolder() : folder;
    if (root.empty()) return;
    path_ = tkToUtf8(root) + "/title-blocks/" + nameFor(vrutAbsolutePath(setPath));
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_, ec);
    if (ec || size > kMaxCacheBytes) return;
    std::ifstream in(path_, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kHeader) return;
    ShownInDrawing* drawing = nullptr;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = fields(line);
        if (f[0] == "D" && f.size() == 6) {
            ShownInDrawing d;
            try {
                d.identity.device = std::stoull(f[1]);
                d.identity.inode = std::stoull(f[2]);
                d.identity.size = std::stoll(f[3]);
                d.identity.mtimeNs = std::stoll(f[4]);
            } catch (const std::exception&) {
                drawing = nullptr;
                continue;
            }
            drawing = &(entries_[tkFromUtf8(f[5])] = std::move(d));
        } else if (f[0] == "L" && f.size() >= 2 && drawing) {
            ShownNames& names = drawing->layouts[f[1]];
            names.insert(f.begin() + 2, f.end());
        }
    }
}

ShownByDrawing ShownFieldsCache::current(const std::set<TkString>& files) {
    ShownByDrawing now;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (!files.count(it->first)) {
            it = entries_.erase(it);
            dirty_ = true;
            continue;
        }
        if (TkFileIdentity::ofPath(tkToUtf8(it->first)) == it->second.identity) now.insert(*it);
        ++it;
    }
    return now;
}

void ShownFieldsCache::remember(const TkString& file, ShownInDrawing shown) {
    if (!shown.identity.known()) return;
    entries_[file] = std::move(shown);
    dirty_ = true;
}

void ShownFieldsCache::save() {
    if (!dirty_ || path_.empty()) return;
    std::ostringstream out;
    out << kHeader << '\n';
    for (const auto& [file, d] : entries_) {
        const std::string name = tkToUtf8(file);
        bool ok = storable(name);
        for (const auto& [layout, names] : d.layouts) {
            ok = ok && storable(layout);
            for (const std::string& n : names) ok = ok && storable(n);
        }
        if (!ok) continue;
        out << "D\t" << d.identity.device << '\t' << d.identity.inode << '\t' << d.identity.size << '\t' << d.identity.mtimeNs << '\t'
            << name << '\n';
        for (const auto& [layout, names] : d.layouts) {
            out << "L\t" << layout;
            for (const std::string& n : names) out << '\t' << n;
            out << '\n';
        }
    }
    // A private file, replaced whole; not flushed to the disk: losing it only costs reads.
    const std::filesystem::path target(path_);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    const std::string temp = path_ + "." + std::to_string(::getpid()) + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const std::string text = out.str();
    bool written = true;
    for (size_t at = 0; at < text.size() && written;) {
        const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
        written = n > 0;
        if (written) at += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) written = false;
    if (!written || ::rename(temp.c_str(), path_.c_str()) != 0) {
        ::unlink(temp.c_str());
        return;
    }
    dirty_ = false;
}
