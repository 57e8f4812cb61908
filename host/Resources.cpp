#include "host/Resources.h"

#include "VornVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTextStream>

#include <map>

namespace {

std::string gFolder, gLanguage;
std::map<QString, std::map<int, TkString>> gCatalogs;  // by file path; an empty map for a missing file

QStringList folders() {
    QStringList out;
    if (!gFolder.empty()) return {QString::fromStdString(gFolder)};  // set by tests: the only place
    if (QByteArray env = qgetenv("VORN_RES_DIR"); !env.isEmpty()) out << QString::fromLocal8Bit(env);
    if (QCoreApplication::instance()) {
        QString app = QCoreApplication::applicationDirPath();
        out << app + "/res" << app + "/" VORN_BIN_TO_DATA "/res" << app + "/../res" << app + "/../../res";
    }
#ifdef VORN_SOURCE_DIR
    out << QString(VORN_SOURCE_DIR) + "/res";
#endif
    return out;
}

const std::map<int, TkString>& catalog(const QString& path) {
    auto it = gCatalogs.find(path);
    if (it != gCatalogs.end()) return it->second;
    std::map<int, TkString>& m = gCatalogs[path];
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return m;
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        QString line = in.readLine();
        int tab = line.indexOf('\t');
        bool ok = false;
        int id = line.left(tab).toInt(&ok);
        if (tab < 0 || !ok) continue;  // comments and blank lines
        QString text;
        for (int i = tab + 1; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                QChar n = line[++i];
                text += n == 'n' ? QChar('\n') : n == 't' ? QChar('\t') : n;
            } else {
                text += line[i];
            }
        }
        m[id] = text.toStdWString();
    }
    return m;
}

QStringList languages() {
    QStringList out;
    if (!gLanguage.empty()) out << QString::fromStdString(gLanguage);
    else out << QLocale().name().left(2);
    if (!out.contains("en")) out << "en";
    return out;
}

}  // namespace

void vrSetResourceFolder(const std::string& folder) {
    gFolder = folder;
    gCatalogs.clear();
}

void vrSetResourceLanguage(const std::string& lang) { gLanguage = lang; }

bool vrLoadString(const TkString& library, int id, TkString& out) {
    for (const QString& lang : languages())
        for (const QString& dir : folders()) {
            QString path = QDir(dir).filePath(QString::fromStdWString(library) + "." + lang + ".txt");
            if (!QFile::exists(path)) continue;
            const auto& m = catalog(path);
            if (auto it = m.find(id); it != m.end()) {
                out = it->second.substr(0, 999);  // messages load into 1000-character buffers
                return true;
            }
            break;  // the first folder that has this language's catalog decides for it
        }
    return false;
}

TkString vrMessage(const TkString& library, int id, const TkString& def) {
    TkString s;
    return vrLoadString(library, id, s) ? s : def;
}

TkString vrFormatMessage(const TkString& format, std::initializer_list<TkString> values) {
    TkString out;
    auto next = values.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        if (format[i + 1] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        size_t len = format.compare(i + 1, 2, L"ls") == 0 ? 3 : (format[i + 1] == L's' || format[i + 1] == L'd') ? 2 : 0;
        if (len == 0) {
            out += format[i];  // anything else stays as it is
            continue;
        }
        if (next != values.end()) out += *next++;
        i += len - 1;
    }
    return out;
}
