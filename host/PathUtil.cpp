#include "host/PathUtil.h"

#include "VornVersion.h"

#include "host/NqSystem.h"

#include <QFileInfo>
#include <QDir>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>


bool vrutPathExists(const TkString& path) { return !path.empty() && QFileInfo::exists(QString::fromStdWString(path)); }

TkString vrutAbsolutePath(const TkString& path) {
    if (path.empty()) return path;
    QString p = QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromStdWString(path)));
    return p.toStdWString();
}

TkString vrutCombinePath(const TkString& folder, const TkString& name) {
    if (folder.empty()) return name;
    wchar_t last = folder.back();
    return last == L'/' || last == L'\\' ? folder + name : folder + L"/" + name;
}

void vrutSplitPath(const TkString& path, TkString& folder, TkString& file) {
    size_t cut = path.find_last_of(L"/\\");
    folder = cut == TkString::npos ? TkString() : path.substr(0, cut + 1);
    file = cut == TkString::npos ? path : path.substr(cut + 1);
}

bool vrutPathRenameExtension(TkString& path, const TkString& extension) {
    TkString folder, file;
    vrutSplitPath(path, folder, file);
    if (file.empty()) return false;
    size_t dot = file.find_last_of(L'.');
    if (dot != TkString::npos && dot > 0) file.resize(dot);
    path = folder + file + extension;
    return true;
}

namespace {
wchar_t foldChar(wchar_t c) {
    if (c < 0x80) return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;  // the common case, fast
    return static_cast<wchar_t>(QChar::toCaseFolded(static_cast<char32_t>(c)));
}
}  // namespace

int vrutCompareString(const TkString& a, const TkString& b, bool ignoreCase) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = ignoreCase ? foldChar(a[i]) : a[i];
        wchar_t y = ignoreCase ? foldChar(b[i]) : b[i];
        if (x != y) return x < y ? 1 : 3;
    }
    return a.size() == b.size() ? 2 : (a.size() < b.size() ? 1 : 3);
}

bool vrutSameTextNoCase(const TkString& a, const TkString& b) { return a.size() == b.size() && vrutCompareString(a, b, true) == 2; }

bool vrutSamePath(const TkString& a, const TkString& b) {
    return vrutSameTextNoCase(a, b) || vrutSameTextNoCase(vrutAbsolutePath(a), vrutAbsolutePath(b));
}

TkString vrutFoldCase(TkString text) {
    for (wchar_t& c : text) c = foldChar(c);
    return text;
}

TkString vrutUserCacheFolder() {
    const QString root = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return root.isEmpty() ? TkString() : (root + "/vorn").toStdWString();
}

TkString vrutProfileRootName() { return L"Software\\Vorn"; }
TkString vrutProfileFileName() { return L"Vorn2026"; }

bool vrutHasExtension(const TkString& path, const TkString& extension) {
    return path.size() >= extension.size() &&
           vrutCompareString(path.substr(path.size() - extension.size()), extension, true) == 2;
}

TkString vrutSheetSetTemplatePath() {
    TkString chosen = CNqSystem::instance().profileString(L"General", L"SheetSetTemplatePath");
    if (!chosen.empty()) return chosen;
    QStringList candidates;
    if (QByteArray env = qgetenv("VORN_EXAMPLES_DIR"); !env.isEmpty()) candidates << QString::fromLocal8Bit(env);
    if (QCoreApplication::instance()) {
        QString app = QCoreApplication::applicationDirPath();
        candidates << app + "/" VORN_BIN_TO_DATA "/examples" << app + "/../examples" << app + "/../../examples";
    }
    for (const QString& c : candidates)
        if (QFileInfo(c + "/Sheet Set Examples").isDir()) return QDir::cleanPath(c + "/Sheet Set Examples").toStdWString();
    return candidates.isEmpty() ? TkString() : QDir::cleanPath(candidates.front() + "/Sheet Set Examples").toStdWString();
}
