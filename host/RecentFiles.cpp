#include "host/RecentFiles.h"

#include <QSettings>
#include <QStringList>

#include <algorithm>

#include "host/PathUtil.h"

namespace {
bool gKeep = false;
const char* kKey = "Recent Files/Files";

void store(const std::vector<TkString>& files) {
    QStringList list;
    for (const TkString& f : files) list << QString::fromStdWString(f);
    QSettings("Vorn", "Vorn").setValue(kKey, list);
}
}  // namespace

void vrKeepRecentFiles(bool keep) { gKeep = keep; }

std::vector<TkString> vrRecentFiles() {
    std::vector<TkString> out;
    for (const QString& f : QSettings("Vorn", "Vorn").value(kKey).toStringList())
        if (!f.isEmpty() && out.size() < static_cast<size_t>(kVrRecentFilesMax)) out.push_back(f.toStdWString());
    return out;
}

void vrAddRecentFile(const TkString& path) {
    if (!gKeep || path.empty()) return;
    std::vector<TkString> files = vrRecentFiles();
    std::erase_if(files, [&](const TkString& f) { return vrutSamePath(f, path); });
    files.insert(files.begin(), vrutAbsolutePath(path));
    if (files.size() > static_cast<size_t>(kVrRecentFilesMax)) files.resize(kVrRecentFilesMax);
    store(files);
}

void vrRemoveRecentFile(const TkString& path) {
    std::vector<TkString> files = vrRecentFiles();
    if (std::erase_if(files, [&](const TkString& f) { return vrutSamePath(f, path); })) store(files);
}
