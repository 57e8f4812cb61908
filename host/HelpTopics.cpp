#include "host/HelpTopics.h"

#include "VornVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <map>

namespace {

QString gFolder;                            // set by tests
QString gIndexedFolder;                     // the folder gTopics was read from
std::map<QString, QString> gTopics;         // topic -> page file name

QStringList candidates() {
    QStringList out;
    if (QByteArray env = qgetenv("VORN_MANUAL_DIR"); !env.isEmpty()) out << QString::fromLocal8Bit(env);
    if (QCoreApplication::instance()) {
        const QString app = QCoreApplication::applicationDirPath();
        out << app + "/" VORN_BIN_TO_DATA "/manual" << app + "/../dist/manual" << app + "/../../dist/manual";
    }
#ifdef VORN_SOURCE_DIR
    out << QString(VORN_SOURCE_DIR) + "/dist/manual";
#endif
    return out;
}

// Every id in every page, read once per folder: the manual is a handful of small pages.
const std::map<QString, QString>& topics(const QString& folder) {
    if (folder == gIndexedFolder) return gTopics;
    gTopics.clear();
    gIndexedFolder = folder;
    static const QRegularExpression id(R"re(\bid\s*=\s*"([^"]+)")re");
    const QDir dir(folder);
    for (const QString& page : dir.entryList({"*.html"}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(page));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QString html = QString::fromUtf8(f.readAll());
        for (auto it = id.globalMatch(html); it.hasNext();) gTopics.emplace(it.next().captured(1), page);
    }
    return gTopics;
}

}  // namespace

QString vrHelpFolder() {
    if (!gFolder.isEmpty()) return QFileInfo::exists(gFolder + "/index.html") ? gFolder : QString();
    for (const QString& c : candidates())
        if (QFileInfo::exists(c + "/index.html")) return QDir::cleanPath(QFileInfo(c).absoluteFilePath());
    return {};
}

void vrSetHelpFolder(const QString& folder) {
    gFolder = folder;
    gIndexedFolder.clear();
}

QUrl vrHelpContentsUrl() {
    const QString folder = vrHelpFolder();
    return folder.isEmpty() ? QUrl() : QUrl::fromLocalFile(folder + "/index.html");
}

QUrl vrHelpTopicUrl(const TkString& topic) {
    if (topic.empty()) return vrHelpContentsUrl();
    const QString folder = vrHelpFolder();
    if (folder.isEmpty()) return {};
    const auto& all = topics(folder);
    auto it = all.find(QString::fromStdWString(topic));
    if (it == all.end()) return {};
    QUrl url = QUrl::fromLocalFile(folder + "/" + it->second);
    url.setFragment(it->first);
    return url;
}
