#include "toolkit/common/TkFileJournal.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "toolkit/common/TkAtomicFile.h"

namespace {

namespace fs = std::filesystem;

std::atomic<TkFileJournal*> g_active{nullptr};

constexpr const char* kHeader = "VORN-JOURNAL 1";
constexpr const char* kCommitted = "COMMITTED";

// One path per field: the characters that end a field or a line are written as %XX.
std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '%' || c == '\n' || c == '\r' || c == '\t') {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    return out;
}

bool unescape(const std::string& s, std::string& out) {
    out.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size() || !std::isxdigit(static_cast<unsigned char>(s[i + 1])) || !std::isxdigit(static_cast<unsigned char>(s[i + 2])))
            return false;
        out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
        i += 2;
    }
    return true;
}

void syncFolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// What a journal may name, whoever wrote it (it lies in a shared folder): absolute drawing, template
// or set files, and kept copies beside them under the names this journal gives them. Anything else
// makes the journal one to leave alone.
bool acceptable(const std::string& path, const std::string& backup) {
    const fs::path p(path);
    if (!p.is_absolute() || p.lexically_normal() != p || p.filename().empty()) return false;
    std::string ext = p.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".dwg" && ext != ".dxf" && ext != ".dwt" && ext != ".dst" && ext != ".bak") return false;
    if (backup.empty()) return true;
    const fs::path b(backup);
    const std::string name = b.filename().string(), prefix = "." + p.filename().string() + ".";
    if (b.parent_path() != p.parent_path() || name.rfind(prefix, 0) != 0 || name.size() < prefix.size() + 8 ||
        name.compare(name.size() - 5, 5, ".undo") != 0)
        return false;
    const std::string tag = name.substr(prefix.size(), name.size() - prefix.size() - 5);
    return tag.find_first_not_of("0123456789-") == std::string::npos;
}

bool isPlainFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

// The atomic writer's temporary files for `path` (".NAME.XXXXXX" beside it), which a process killed
// mid-write leaves behind.
void removeWritersLeftovers(const std::string& path) {
    const fs::path p(path);
    const std::string prefix = "." + p.filename().string() + ".";
    std::error_code ec;
    for (fs::directory_iterator it(p.parent_path().empty() ? "." : p.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + 6 && name.rfind(prefix, 0) == 0 &&
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", prefix.size()) == std::string::npos &&
            isPlainFile(it->path().string()))
            ::unlink(it->path().c_str());
    }
}

}  // namespace

TkFileJournal::TkFileJournal(std::string journalPath) : path_(std::move(journalPath)) {}

TkFileJournal::~TkFileJournal() {
    if (g_active.load() == this) g_active.store(nullptr);
    if (!ended_ && started()) rollBack();
    close();
}

TkFileJournal::Scope::Scope(TkFileJournal& journal) : previous_(g_active.exchange(&journal)) {}
TkFileJournal::Scope::~Scope() { g_active.store(previous_); }
TkFileJournal* TkFileJournal::active() { return g_active.load(); }

void TkFileJournal::noteOnlyWithOthers(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    onlyWithOthers_.insert(path);
}

void TkFileJournal::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string TkFileJournal::append(const Step& step) {
    return appendText(std::string(1, step.kind) + "\t" + escape(step.path) + "\t" + escape(step.backup) + "\n");
}

std::string TkFileJournal::appendText(const std::string& line) {
    if (fd_ < 0) {
        // O_EXCL: a journal already there is another action's, and must be recovered first.
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd_ < 0) return "cannot write the journal " + path_ + ": " + std::strerror(errno);
        const std::string head = std::string(kHeader) + "\n";
        if (::write(fd_, head.data(), head.size()) != static_cast<ssize_t>(head.size())) return "cannot write the journal " + path_;
        syncFolderOf(path_);
    }
    if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()) || ::fsync(fd_) != 0)
        return "cannot write the journal " + path_ + ": " + std::strerror(errno);
    return {};
}

std::string TkFileJournal::keepCopy(const std::string& path, std::string& backup) {
    const fs::path p(path);
    backup = (p.parent_path() / ("." + p.filename().string() + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter_) + ".undo")).string();
    return {};
}

std::string TkFileJournal::beforeWrite(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (noted_.count(path)) return {};
    if (onlyWithOthers_.count(path) && steps_.empty()) return {};
    Step step{'W', path, {}};
    if (exists(path)) keepCopy(path, step.backup);
    // The step is on disk before its copy is made: a journal that names a copy that is not there
    // means the file was never changed.
    if (std::string e = append(step); !e.empty()) return e;
    if (!step.backup.empty())
        if (std::string e = tkBackupFile(path, step.backup); !e.empty()) return e;
    noted_.insert(path);
    steps_.push_back(step);
    return {};
}

std::string TkFileJournal::beforeWriteAll(const std::vector<std::string>& paths) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Step> steps;
    std::set<std::string> seen;
    for (const std::string& path : paths) {
        if (noted_.count(path) || !seen.insert(path).second) continue;
        Step step{'W', path, {}};
        if (exists(path)) keepCopy(path, step.backup);
        steps.push_back(step);
    }
    if (steps.empty()) return {};
    // One flush for all of them, then the copies.
    std::string lines;
    for (const Step& step : steps) lines += std::string(1, step.kind) + "\t" + escape(step.path) + "\t" + escape(step.backup) + "\n";
    if (std::string e = appendText(lines); !e.empty()) return e;
    for (const Step& step : steps) {
        if (!step.backup.empty())
            if (std::string e = tkBackupFile(step.path, step.backup); !e.empty()) return e;
        noted_.insert(step.path);
        steps_.push_back(step);
    }
    return {};
}

std::string TkFileJournal::beforeRemove(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (noted_.count(path) || !exists(path)) return {};
    Step step{'D', path, {}};
    keepCopy(path, step.backup);
    if (std::string e = append(step); !e.empty()) return e;
    if (std::string e = tkBackupFile(path, step.backup); !e.empty()) return e;
    noted_.insert(path);
    steps_.push_back(step);
    return {};
}

void TkFileJournal::noteFailure(const std::string& reason) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failure_.empty()) failure_ = reason;
}

std::string TkFileJournal::failure() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

bool TkFileJournal::started() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !steps_.empty();
}

size_t TkFileJournal::fileCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return steps_.size();
}

std::string TkFileJournal::commit() {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    if (fd_ < 0) return {};
    const std::string line = std::string(kCommitted) + "\n";
    if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()) || ::fsync(fd_) != 0)
        return "cannot write the journal " + path_ + ": " + std::strerror(errno);
    close();
    for (const Step& s : steps_)
        if (!s.backup.empty()) ::unlink(s.backup.c_str());
    ::unlink(path_.c_str());
    steps_.clear();
    return {};
}

std::vector<std::string> TkFileJournal::undo(const std::vector<Step>& steps) {
    std::vector<std::string> problems;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (it->backup.empty()) {
            // Made by the action: it goes (a link or folder in its place is not what it made).
            if (isPlainFile(it->path) && ::unlink(it->path.c_str()) != 0) problems.push_back("cannot remove " + it->path + ": " + std::strerror(errno));
        } else if (isPlainFile(it->backup)) {
            if (::rename(it->backup.c_str(), it->path.c_str()) != 0)
                problems.push_back("cannot put back " + it->path + ": " + std::strerror(errno));
            // A file never changed is still the same file as its copy, and such a rename does nothing.
            else if (exists(it->backup))
                ::unlink(it->backup.c_str());
        }
        // A named copy that is not there: the file was never changed, or is back already.
    }
    for (const Step& s : steps) syncFolderOf(s.path);
    return problems;
}

std::vector<std::string> TkFileJournal::rollBack() {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    close();
    std::vector<std::string> problems = undo(steps_);
    if (problems.empty()) ::unlink(path_.c_str());  // else kept: the next action tries again
    steps_.clear();
    noted_.clear();
    return problems;
}

bool TkFileJournal::read(const std::string& journalPath, std::vector<Step>& steps, bool& committed, std::string& error) {
    std::ifstream in(journalPath, std::ios::binary);
    if (!in) return (error = "cannot read the journal " + journalPath), false;
    std::string line;
    if (!std::getline(in, line) || line != kHeader) return (error = journalPath + " is not a journal of this program"), false;
    committed = false;
    while (std::getline(in, line)) {
        if (line == kCommitted) {
            committed = true;
            continue;
        }
        const size_t a = line.find('\t'), b = a == std::string::npos ? a : line.find('\t', a + 1);
        Step s;
        // A last line cut short by the crash was never acted on: its file was not touched yet.
        if (a != 1 || b == std::string::npos || (line[0] != 'W' && line[0] != 'D') || !unescape(line.substr(a + 1, b - a - 1), s.path) ||
            !unescape(line.substr(b + 1), s.backup) || s.path.empty()) {
            if (in.peek() == EOF) break;
            return (error = journalPath + " is damaged"), false;
        }
        if (!acceptable(s.path, s.backup)) return (error = journalPath + " names a file it may not change: " + s.path), false;
        s.kind = line[0];
        steps.push_back(s);
    }
    return true;
}

TkFileJournal::Found TkFileJournal::inspect(const std::string& journalPath) {
    Found f;
    if (!exists(journalPath)) return f;
    f.exists = true;
    std::vector<Step> steps;
    read(journalPath, steps, f.committed, f.error);
    for (const Step& s : steps) f.files.push_back(s.path);
    return f;
}

std::string TkFileJournal::recover(const std::string& journalPath, std::vector<std::string>& problems) {
    if (!exists(journalPath)) return {};
    std::vector<Step> steps;
    bool committed = false;
    std::string error;
    if (!read(journalPath, steps, committed, error)) {
        problems.push_back(error);
        return "a journal left by an interrupted action could not be read; it was left as it is";
    }
    for (const Step& s : steps) removeWritersLeftovers(s.path);
    if (committed) {
        for (const Step& s : steps)
            if (!s.backup.empty()) ::unlink(s.backup.c_str());
        ::unlink(journalPath.c_str());
        return "an action interrupted after it was saved was finished (" + std::to_string(steps.size()) + " files)";
    }
    std::vector<std::string> undone = undo(steps);
    problems.insert(problems.end(), undone.begin(), undone.end());
    if (undone.empty()) ::unlink(journalPath.c_str());
    return "an interrupted action was undone: " + std::to_string(steps.size()) + " file" + (steps.size() == 1 ? "" : "s") +
           " put back as they were before it";
}
