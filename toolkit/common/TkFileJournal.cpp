#include "toolkit/common/TkFileJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "toolkit/common/TkAtomicFile.h"

namespace {

namespace fs = std::filesystem;

std::atomic<TkFileJournal*> g_active{nullptr};

constexpr const char* kHeader = "VORN-JOURNAL 2";
constexpr const char* kCommitted = "COMMITTED";
constexpr off_t kMaxJournalBytes = 64 << 20;

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

std::string identityText(const TkFileIdentity& id) {
    return std::to_string(id.device) + ":" + std::to_string(id.inode) + ":" + std::to_string(id.size) + ":" + std::to_string(id.mtimeNs);
}

bool parseIdentity(const std::string& text, TkFileIdentity& id) {
    unsigned long long device = 0, inode = 0;
    long long size = -1, mtime = 0;
    if (std::sscanf(text.c_str(), "%llu:%llu:%lld:%lld", &device, &inode, &size, &mtime) != 4 || size < 0) return false;
    id = {device, inode, size, mtime};
    return true;
}

TkFileIdentity identityOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return TkFileIdentity::ofPath(path);
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

bool isPlainFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

std::string normal(const std::string& path) { return fs::path(path).lexically_normal().string(); }

// Whether `path` lies in `folder` (both absolute and plain), its folders followed to where they
// really are: a link inside the project that leads out of it does not count as inside.
bool within(const std::string& path, const std::string& folder) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(fs::path(path).parent_path(), ec);
    const fs::path root = fs::weakly_canonical(folder, ec);
    if (ec || root.empty()) return false;
    const fs::path rel = real.lexically_relative(root);
    return !rel.empty() && *rel.begin() != "..";
}

// What a journal may name, whoever wrote it (it lies in a shared folder): plain absolute drawing,
// template or set files inside its folder, and kept copies beside them under the names this
// journal gives them. Anything else makes the journal one to leave alone.
bool acceptable(const std::string& path, const std::string& backup, const std::string& folder) {
    const fs::path p(path);
    if (!p.is_absolute() || p.lexically_normal() != p || p.filename().empty() || !within(path, folder)) return false;
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

// What a process killed mid-write leaves beside `path`: the atomic writer's ".NAME.XXXXXX" and a
// kept copy's ".new". The set is held and the action's process is gone: they are its.
void removeLeftovers(const std::string& path, const std::string& backup) {
    if (!backup.empty()) ::unlink((backup + ".new").c_str());
    const fs::path p(path);
    const std::string prefix = "." + p.filename().string() + ".";
    std::error_code ec;
    for (fs::directory_iterator it(p.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + 6 || name.rfind(prefix, 0) != 0 ||
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", prefix.size()) != std::string::npos)
            continue;
        if (isPlainFile(it->path().string())) ::unlink(it->path().c_str());
    }
}

// The journal's text, read without following a link or waiting on a pipe. With `take`, `fd` stays
// open with a lock on it while recovery works, so two recoveries never run at once, nor one under a
// live writer; without, the lock is only asked about (a look takes no lock).
bool readJournal(const std::string& journalPath, bool take, int& fd, std::string& text, bool& running, std::string& error) {
    running = false;
    fd = take ? ::open(journalPath.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC) : -1;
    if (fd < 0) fd = ::open(journalPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxJournalBytes) {
        error = journalPath + " is not a journal of this program";
        return false;
    }
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    if (take ? ::fcntl(fd, F_OFD_SETLK, &fl) != 0 && (errno == EAGAIN || errno == EACCES)
             : ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK) {
        running = true;
        return true;
    }
    text.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::pread(fd, text.data() + got, text.size() - got, static_cast<off_t>(got));
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    text.resize(got);
    return true;
}

}  // namespace

TkFileJournal::TkFileJournal(std::string journalPath) : path_(normal(journalPath)), folder_(fs::path(path_).parent_path().string()) {}

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
    onlyWithOthers_.insert(normal(path));
}

void TkFileJournal::close() {
    if (fd_ >= 0) ::close(fd_);  // lets go of the lock too
    fd_ = -1;
}

bool TkFileJournal::inside(const std::string& path) const { return within(path, folder_); }

// Paths are kept relative to the journal's folder: a project folder moved, or reached through
// another share, between the crash and the recovery is still found.
std::string TkFileJournal::relative(const std::string& path) const {
    return path.empty() ? path : fs::path(path).lexically_relative(folder_).string();
}

std::string TkFileJournal::lineOf(const Step& step) const {
    return std::string(1, step.kind) + "\t" + escape(relative(step.path)) + "\t" + escape(relative(step.backup)) + "\n";
}

std::string TkFileJournal::append(const Step& step) {
    return appendText(lineOf(step), true);
}

std::string TkFileJournal::appendText(const std::string& lines, bool flush) {
    if (fd_ < 0) {
        // O_EXCL: a journal already there is another action's, and must be recovered first.
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd_ < 0) return "cannot write the journal " + path_ + ": " + std::strerror(errno);
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        ::fcntl(fd_, F_OFD_SETLK, &fl);  // ours alone, just made
        const std::string head = std::string(kHeader) + "\n";
        if (::write(fd_, head.data(), head.size()) != static_cast<ssize_t>(head.size())) return "cannot write the journal " + path_;
        syncFolderOf(path_);
    }
    if (::write(fd_, lines.data(), lines.size()) != static_cast<ssize_t>(lines.size()) || (flush && ::fsync(fd_) != 0))
        return "cannot write the journal " + path_ + ": " + std::strerror(errno);
    return {};
}

TkFileJournal::Step TkFileJournal::makeStep(char kind, const std::string& path) {
    Step step{kind, path, {}, {}};
    if (!exists(path)) return step;
    const fs::path p(path);
    step.backup = (p.parent_path() / ("." + p.filename().string() + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter_) + ".undo")).string();
    // A copy of that name left by an earlier process is not this file as it is now.
    ::unlink(step.backup.c_str());
    ::unlink((step.backup + ".new").c_str());
    return step;
}

std::string TkFileJournal::beforeWrite(const std::string& rawPath) {
    const std::string path = normal(rawPath);
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_ || noted_.count(path) || !inside(path)) return {};
    if (onlyWithOthers_.count(path) && steps_.empty()) return {};
    Step step = makeStep('W', path);
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
    if (ended_) return {};
    std::vector<Step> steps;
    std::set<std::string> seen;
    for (const std::string& raw : paths) {
        const std::string path = normal(raw);
        // Only files there now: one that is missing is not written by a resave, and one that
        // appears meanwhile is someone else's.
        if (noted_.count(path) || !seen.insert(path).second || !inside(path) || !isPlainFile(path)) continue;
        steps.push_back(makeStep('W', path));
    }
    if (steps.empty()) return {};
    // One flush for all of them, then the copies.
    std::string lines;
    for (const Step& step : steps) lines += lineOf(step);
    if (std::string e = appendText(lines, true); !e.empty()) return e;
    for (const Step& step : steps) {
        if (!step.backup.empty())
            if (std::string e = tkBackupFile(step.path, step.backup); !e.empty()) return e;
        noted_.insert(step.path);
        steps_.push_back(step);
    }
    return {};
}

std::string TkFileJournal::beforeRemove(const std::string& rawPath) {
    const std::string path = normal(rawPath);
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_ || noted_.count(path) || !exists(path) || !inside(path)) return {};
    Step step = makeStep('D', path);
    if (std::string e = append(step); !e.empty()) return e;
    if (std::string e = tkBackupFile(path, step.backup); !e.empty()) return e;
    noted_.insert(path);
    steps_.push_back(step);
    return {};
}

void TkFileJournal::beforePlace(const std::string& rawPath, const TkFileIdentity& written) {
    const std::string path = normal(rawPath);
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_ || !noted_.count(path) || !written.known()) return;
    for (Step& s : steps_)
        if (s.path == path) s.written.push_back(written);
    // Written before the file is put in place, so that a file there with this identity is known as
    // the action's. Not flushed on its own (a kill keeps what was written; the next flush carries
    // it): lost in a power cut, the undo is only less careful (a replaced file is put back, a new
    // file stays).
    appendText("I\t" + escape(relative(path)) + "\t" + identityText(written) + "\n", false);
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
    if (ended_) return {};
    if (fd_ >= 0) {
        const std::string line = std::string(kCommitted) + "\n";
        if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()) || ::fsync(fd_) != 0)
            return "cannot write the journal " + path_ + ": " + std::strerror(errno);  // not ended: the caller rolls back
    }
    ended_ = true;
    for (const Step& s : steps_)
        if (!s.backup.empty()) ::unlink(s.backup.c_str());
    ::unlink(path_.c_str());
    close();
    steps_.clear();
    return {};
}

std::vector<std::string> TkFileJournal::undo(const std::vector<Step>& steps, size_t& undone) {
    std::vector<std::string> problems;
    undone = 0;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        const TkFileIdentity now = identityOf(it->path);
        // Still the very file that was kept (the change never happened): only the copy goes.
        if (!it->backup.empty() && now.known() && isPlainFile(it->backup) && now == identityOf(it->backup)) {
            ::unlink(it->backup.c_str());
            continue;
        }
        // Someone changed the file after the action did: theirs stays, and what was there before
        // the action is kept beside it.
        const bool ours = std::find(it->written.begin(), it->written.end(), now) != it->written.end();
        const bool changedSince = !it->written.empty() && now.known() && !ours;
        if (it->backup.empty()) {
            // Made by the action: it goes, when it is still what the action made.
            if (now.known() && ours) {
                if (::unlink(it->path.c_str()) == 0) ++undone;
                else problems.push_back("cannot remove " + it->path + ": " + std::strerror(errno));
            }
            continue;
        }
        if (!isPlainFile(it->backup)) continue;  // never changed, or back already
        if (changedSince || (it->kind == 'D' && now.known() && !ours)) {
            problems.push_back(it->path + " was changed by someone else after the interrupted action; it is kept as it is, and the file as it "
                                          "was before the action is " + it->backup);
            continue;
        }
        if (::rename(it->backup.c_str(), it->path.c_str()) != 0) {
            problems.push_back("cannot put back " + it->path + ": " + std::strerror(errno));
            continue;
        }
        // A file never changed is still the same file as its copy, and such a rename does nothing.
        if (exists(it->backup)) ::unlink(it->backup.c_str());
        else ++undone;
    }
    for (const Step& s : steps) syncFolderOf(s.path);
    return problems;
}

std::vector<std::string> TkFileJournal::rollBack() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_) return {};
    ended_ = true;
    std::vector<std::string> problems = undo(steps_, undone_);
    for (const Step& s : steps_)
        if (!s.backup.empty()) ::unlink((s.backup + ".new").c_str());
    if (problems.empty()) ::unlink(path_.c_str());  // else kept, for the next action to try again
    close();
    steps_.clear();
    return problems;
}

bool TkFileJournal::parse(const std::string& text, const std::string& journalPath, std::vector<Step>& steps, bool& committed,
                          std::string& error) {
    const std::string folder = fs::path(journalPath).parent_path().string();
    committed = false;
    size_t at = 0;
    auto nextLine = [&](std::string& line) {
        if (at >= text.size()) return false;
        const size_t end = text.find('\n', at);
        // A last line without its end was cut short by the crash and never acted on.
        if (end == std::string::npos) return false;
        line = text.substr(at, end - at);
        at = end + 1;
        return true;
    };
    std::string line;
    if (!nextLine(line) || line != kHeader) return (error = journalPath + " is not a journal of this program"), false;
    while (nextLine(line)) {
        if (line == kCommitted) {
            committed = true;
            continue;
        }
        const size_t a = line.find('\t'), b = a == std::string::npos ? a : line.find('\t', a + 1);
        std::string path;
        if (a != 1 || b == std::string::npos || !unescape(line.substr(a + 1, b - a - 1), path) || path.empty() || fs::path(path).is_absolute())
            return (error = journalPath + " is damaged"), false;
        path = (fs::path(folder) / path).lexically_normal().string();
        if (line[0] == 'I') {
            TkFileIdentity id;
            if (!parseIdentity(line.substr(b + 1), id)) return (error = journalPath + " is damaged"), false;
            for (Step& s : steps)
                if (s.path == path) s.written.push_back(id);
            continue;
        }
        Step s{line[0], path, {}, {}};
        if ((s.kind != 'W' && s.kind != 'D') || !unescape(line.substr(b + 1), s.backup) || (s.kind == 'D' && s.backup.empty()) ||
            fs::path(s.backup).is_absolute())
            return (error = journalPath + " is damaged"), false;
        if (!s.backup.empty()) s.backup = (fs::path(folder) / s.backup).lexically_normal().string();
        if (!acceptable(s.path, s.backup, folder)) return (error = journalPath + " names a file it may not change: " + s.path), false;
        steps.push_back(s);
    }
    return true;
}

TkFileJournal::Found TkFileJournal::inspect(const std::string& journalPath) {
    Found f;
    if (!exists(journalPath)) return f;
    f.exists = true;
    int fd = -1;
    std::string text;
    if (readJournal(journalPath, false, fd, text, f.running, f.error) && !f.running) {
        std::vector<Step> steps;
        parse(text, journalPath, steps, f.committed, f.error);
        for (const Step& s : steps) f.files.push_back(s.path);
    }
    if (fd >= 0) ::close(fd);
    return f;
}

std::string TkFileJournal::recover(const std::string& journalPath, std::vector<std::string>& problems) {
    if (!exists(journalPath)) return {};
    int fd = -1;
    std::string text, error;
    bool running = false;
    std::vector<Step> steps;
    bool committed = false;
    const bool read = readJournal(journalPath, true, fd, text, running, error) && !running && parse(text, journalPath, steps, committed, error);
    std::string said;
    if (running) {
        problems.push_back("another process is still changing this sheet set's files (" + journalPath + ")");
        said = "an action of another process is still at work";
    } else if (!read) {
        problems.push_back(error);
        said = "a journal left by an interrupted action could not be used; it was left as it is";
    } else {
        for (const Step& s : steps) removeLeftovers(s.path, s.backup);
        if (committed) {
            for (const Step& s : steps)
                if (!s.backup.empty()) ::unlink(s.backup.c_str());
            ::unlink(journalPath.c_str());
            said = "an action interrupted after it was saved was finished";
        } else {
            size_t undone = 0;
            const std::vector<std::string> left = undo(steps, undone);
            problems.insert(problems.end(), left.begin(), left.end());
            if (left.empty()) ::unlink(journalPath.c_str());
            said = "an interrupted action was undone: " + std::to_string(undone) + " file" + (undone == 1 ? "" : "s") +
                   " put back as they were before it";
        }
    }
    if (fd >= 0) ::close(fd);
    return said;
}
