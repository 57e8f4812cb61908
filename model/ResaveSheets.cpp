#include "model/ResaveSheets.h"
#include "toolkit/common/TkSafeOpen.h"
#include "model/NameRules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <map>
#include <cwchar>

#include "drawings/DwgReader.h"
#include "host/PathUtil.h"
#include "model/NewSheet.h"
#include "toolkit/common/TkUtf8.h"

namespace {

bool writable(const TkString& path) {
    const int fd = ::open(tkToUtf8(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool readOnlyAttribute(const TkString& path) {
    struct stat st {};
    return ::stat(tkToUtf8(path).c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool heldByAnother(const TkString& path) {
    // A write lock someone else has on the file (the hosts' hold on drawings they edit).
    const int fd = ::open(tkToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// Today as the log's name carries it (yyyy-MM-dd, local time): one log per day, appended to.
TkString today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    wchar_t text[32] = L"";
    if (localtime_r(&now, &local)) std::wcsftime(text, sizeof text / sizeof text[0], L"%Y-%m-%d", &local);
    return text;
}

// UTF-16LE as the log is read on the machines that show it; what no UTF-16 can hold becomes U+FFFD.
void appendUtf16Le(const TkString& s, std::string& out) {
    auto unit = [&](uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (wchar_t c : s) {
        uint32_t cp = static_cast<uint32_t>(c);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        if (cp < 0x10000) {
            unit(cp);
        } else {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
}

bool writeAll(int fd, const std::string& data) {
    for (size_t done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::vector<ResaveDrawing> resaveDrawings(const std::vector<CSheet*>& sheets, std::vector<size_t>& drawingOfSheet,
                                          const HostDocumentOf& hostDocument) {
    std::vector<ResaveDrawing> out;
    std::map<TkString, size_t> byPath;  // the same file however its sheets spell it
    drawingOfSheet.clear();
    for (const CSheet* sheet : sheets) {
        const TkString path = sheet->getFileName();
        const TkString key = vrutFoldCase(vrutAbsolutePath(path));
        auto [it, added] = byPath.emplace(key, out.size());
        if (added) out.push_back({path, hostDocument ? hostDocument(path) : HostDocument::None, {}});
        out[it->second].layouts.push_back({sheet->getLayoutName(), sheet->getLayoutHandle()});
        drawingOfSheet.push_back(it->second);
    }
    return out;
}

std::vector<int> resaveDrawing(const ResaveDrawing& d, const TkString& sheetSetPath, int version) {
    auto all = [&](int status) { return std::vector<int>(d.layouts.size(), status); };
    // Open here for editing: this session's copy is the drawing, and it is not written behind it.
    if (d.here == HostDocument::Editable) return all(kResaved);
    const bool inUse = d.here == HostDocument::ReadOnly || heldByAnother(d.path);
    if (!vrutPathExists(d.path)) return all(kResaveNotFound);
    if (!writable(d.path)) return all(readOnlyAttribute(d.path) ? kResaveReadOnly : inUse ? kResaveInUse : kResaved);
    if (inUse) return all(kResaveInUse);
    DwgReader reader;
    reader.load(d.path, false);
    if (!reader.database) return all(reader.lastError == 305 ? kResaveEncrypted : kResaveNeedsRecovery);
    std::vector<int> statuses;
    int stampFor = -1;  // the last sheet in set order whose layout the drawing holds
    for (size_t i = 0; i < d.layouts.size(); ++i) {
        auto l = reader.findLayout(d.layouts[i].first);
        statuses.push_back(l && reader.database->isInitialized(*l) ? kResaved : kResaveLayoutMissing);
        if (statuses.back() == kResaved) stampFor = static_cast<int>(i);
    }
    if (stampFor < 0) return statuses;
    const auto& [layout, handle] = d.layouts[static_cast<size_t>(stampFor)];
    if (!reader.writeStamp(sheetSetPath, d.path, layout, handle) || !reader.saveAs(TkString(), version))
        for (int& s : statuses)
            if (s == kResaved) s = kResaveInUse;
    return statuses;
}

TkString resaveStatusText(int status, const TkString& holder) {
    switch (status) {
    case kResaveInUse: return L"Sheet is being edited by " + holder;
    case kResaveLayoutMissing: return L"Sheet not found in this drawing";
    case kResaveNotFound: return L"Drawing file not found";
    case kResaveNeedsRecovery: return L"Drawing needs recovery";
    case kResaveEncrypted: return L"Drawing is encrypted and requires a password";
    case kResaveReadOnly: return L"Folder or dwg is Read-only";
    default: return TkString();
    }
}

std::vector<ResaveEntry> resaveReport(const std::vector<CSheet*>& sheets, const std::vector<int>& statuses,
                                      const std::function<TkString(const TkString&)>& holderOf) {
    std::vector<ResaveEntry> out;
    for (size_t i = 0; i < statuses.size() && i < sheets.size(); ++i) {
        if (statuses[i] == kResaved) continue;
        TkString holder;
        // Every drawing left alone is named, whether or not the holder can be told.
        if (statuses[i] == kResaveInUse && (holder = holderOf ? holderOf(sheets[i]->getFileName()) : TkString()).empty())
            holder = L"someone else (or it cannot be written)";
        out.push_back({sheetDisplayName(sheets[i]->getNumber(), sheets[i]->getTitle()), resaveStatusText(statuses[i], holder), sheets[i]->getFileName()});
    }
    return out;
}

TkString resaveLogPath(const CSheetSet* set) {
    TkString folder, file;
    vrutSplitPath(set->getFileName(), folder, file);
    // The set's name comes from its file: no folder and no control character may come of it.
    TkString name = set->getName().substr(0, kMaxSheetSetNameLength);
    for (wchar_t& c : name)
        if (firstControlCharacter(TkString(1, c)) || unsupportedNameCharacters().find(c) != TkString::npos) c = L'_';
    if (name.find_first_not_of(L". ") == TkString::npos) name = L"Sheet set";
    return folder + name + L"_Resave All Sheets Report_" + today() + L".log";
}

bool appendResaveLog(const TkString& logPath, const std::vector<ResaveEntry>& entries) {
    const int fd = tkOpenRegularFile(tkToUtf8(logPath), O_WRONLY | O_CREAT | O_APPEND, 0666);  // never through a link
    if (fd < 0) return false;
    std::string out;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size == 0) out.assign("\xFF\xFE", 2);  // one byte order mark, at the start only
    for (const ResaveEntry& e : entries) {
        appendUtf16Le(L"Sheet:  " + e.sheet + L"\r\n", out);
        appendUtf16Le(L"Location:  " + e.location + L"\r\n", out);
        appendUtf16Le(L"Status:  " + e.status + L"\r\n", out);
        appendUtf16Le(L"\r\n", out);
    }
    const bool written = writeAll(fd, out);
    return ::close(fd) == 0 && written;
}
