#include "app/services/Transmittal.h"

#include <zip.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <functional>
#include <set>

#include "app/services/OutputFile.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbExternalFiles.h"
#include "toolkit/sm/TkSmComponents.h"
#include "toolkit/sm/TkSmDatabase.h"
#include "toolkit/sm/TkSmReferences.h"

namespace {

QString q(const TkString& s) { return QString::fromStdWString(s); }

// The templates every subset names and the set's page setup overrides file.
void setResources(const TkString& setFile, std::vector<TkString>& files) {
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = nullptr;
    try {
        db = mgr->openDatabase(setFile);
    } catch (const std::exception&) {
        return;  // the set itself is reported missing or unreadable by the caller
    }
    TkSmSheetSet* set = db->getSheetSet();
    if (TkSmFileReference* p = set->getAltPageSetups(); p && !p->getFileName().empty()) files.push_back(p->resolveFileName());
    std::function<void(TkSmSubset*)> walk = [&](TkSmSubset* s) {
        if (TkSmDbLayoutReference* t = s->getDefDwtLayout(); t && !t->getFileName().empty()) files.push_back(t->resolveFileName());
        for (auto e = s->getSheetEnumerator(); TkSmComponent* c = e.next();)
            if (auto* sub = dynamic_cast<TkSmSubset*>(c)) walk(sub);
    };
    walk(set);
    mgr->closeDatabase(db);
}

// Only what reads as a drawing goes into a package as one: a set whose paths name another file
// (a password file, a key) must not carry it off. Empty when it reads; otherwise why it was left
// out, in words of our own: the reader's message may quote the file, which is not for the report.
TkString whyNotADrawing(const QString& path) {
    TkDbReadOptions listing;
    listing.listingOnly = true;
    listing.maxFileSize = 1ull << 30;
    TkDbDatabase db;
    const TkDbResult r = db.readDxfFile(path.toStdString(), listing);
    switch (r.code) {
    case eTkOk: return {};
    case eTkFileNotFound: return L"missing";
    case eTkFileAccess: return QFileInfo(path).isFile() ? L"cannot be read" : L"not a plain file";
    case eTkFileTooLarge: return L"larger than 1 GB";
    case eTkDwgNotSupported: return L"a DWG drawing; only DXF drawings are packed";
    case eTkBinaryDxf: return L"a binary DXF drawing; only text DXF drawings are packed";
    case eTkDecryptionError: return L"an encrypted drawing";
    default: return L"not a drawing (it does not read as DXF)";
    }
}

// The xrefs and images a drawing names; none when it does not read.
std::vector<TkDbExternalFile> referencesOf(const QString& drawing) {
    TkDbReadOptions full;
    full.maxFileSize = 1ull << 30;
    TkDbDatabase db;
    if (!db.readDxfFile(drawing.toStdString(), full)) return {};
    return tkDbExternalFiles(db);
}

// The deepest folder that holds every file.
QString sharedFolder(const std::vector<QString>& files) {
    QString common = QFileInfo(files.front()).absolutePath();
    for (const QString& f : files) {
        const QString dir = QFileInfo(f).absolutePath();
        while (!(dir == common || dir.startsWith(common.endsWith('/') ? common : common + "/"))) {
            const QString up = QFileInfo(common).absolutePath();
            if (up == common) break;  // the root
            common = up;
        }
    }
    return common;
}

}  // namespace

TransmittalOutcome writeTransmittal(const VrTransmittalJob& job, const TkString& zipPath) {
    TransmittalOutcome out;
    std::vector<TkString> wanted{job.sheetSetFile};
    wanted.insert(wanted.end(), job.drawings.begin(), job.drawings.end());
    setResources(job.sheetSetFile, wanted);
    if (isOneOfInputs(zipPath, wanted)) {
        out.error = zipPath + L": is one of the files to pack (the sheet set, a drawing or a template); choose another name";
        return out;
    }
    std::vector<QString> present;
    std::set<QString> seen;
    for (const TkString& f : wanted) {
        const QString path = QFileInfo(q(f)).absoluteFilePath();
        if (!seen.insert(path).second) continue;
        if (!QFileInfo(path).exists()) {
            out.missing.push_back(f);
            continue;
        }
        if (f != job.sheetSetFile)
            if (const TkString why = whyNotADrawing(path); !why.empty()) {
                out.missing.push_back(f + L" (left out: " + why + L")");
                continue;
            }
        present.push_back(path);
    }
    // The drawings' xrefs and images, and the xrefs' own, each once; a drawing that nests its
    // references deeper than eight levels or names more than a thousand is not followed further.
    size_t levelEnd = present.size();
    int level = 0;
    for (size_t i = 0; i < present.size() && present.size() < 1000; ++i) {
        if (i == levelEnd) {
            ++level;
            levelEnd = present.size();
        }
        if (level >= 8) break;
        if (present[i].endsWith(".dst", Qt::CaseInsensitive)) continue;
        for (const TkDbExternalFile& ref : referencesOf(present[i])) {
            const QString found = QString::fromStdString(tkDbFindExternalFile(ref.stored, present[i].toStdString()));
            const TkString what = tkFromUtf8(ref.stored) + (ref.xref ? L" (xref of " : L" (image of ") + present[i].toStdWString();
            if (found.isEmpty()) {
                if (seen.insert("missing:" + QString::fromStdString(ref.stored)).second) out.missing.push_back(what + L": not found)");
                continue;
            }
            if (!seen.insert(found).second) continue;
            const TkString why = ref.xref ? whyNotADrawing(found) : QImageReader(found).canRead() ? TkString() : TkString(L"not an image");
            if (!why.empty()) out.missing.push_back(what + L": left out, " + why + L")");
            else present.push_back(found);
        }
    }
    if (present.empty() || !QFileInfo(q(job.sheetSetFile)).isFile()) {
        out.error = job.sheetSetFile + L": the sheet set file is missing";
        return out;
    }
    const QDir root(sharedFolder(present));
    int err = 0;
    zip_t* zip = zip_open(tkToUtf8(zipPath).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!zip) {
        out.error = zipPath + L": cannot be written";
        return out;
    }
    for (const QString& path : present) {
        const QByteArray name = root.relativeFilePath(path).toUtf8();
        zip_source_t* src = zip_source_file(zip, path.toLocal8Bit().constData(), 0, -1);
        if (!src || zip_file_add(zip, name.constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            if (src) zip_source_free(src);
            out.missing.push_back(path.toStdWString() + L" (cannot be read)");
            continue;
        }
        out.added.push_back(QString::fromUtf8(name).toStdWString());
    }
    // The report, beside the set in the package.
    QString report = "Transmittal of " + q(job.sheetSetFile) + "\nMade " + QDateTime::currentDateTime().toString(Qt::ISODate) + "\n\n";
    report += QString("Files in the package (%1):\n").arg(out.added.size());
    for (const TkString& a : out.added) report += "  " + q(a) + "\n";
    report += QString("\nMissing (%1):\n").arg(out.missing.size());
    for (const TkString& m : out.missing) report += "  " + q(m) + "\n";
    report += QString("\nSheets (%1):\n").arg(job.labels.size());
    for (const TkString& l : job.labels) report += "  " + q(l) + "\n";
    const QByteArray reportBytes = report.toUtf8();
    const QString reportName = QFileInfo(root.relativeFilePath(QFileInfo(q(job.sheetSetFile)).absoluteFilePath())).path() + "/" +
                               QFileInfo(q(job.sheetSetFile)).completeBaseName() + " - Transmittal Report.txt";
    const QByteArray reportPath = QDir::cleanPath(reportName).toUtf8();
    // The buffer is copied by libzip (freep 0 would keep a pointer to ours: it lives until close).
    zip_source_t* text = zip_source_buffer(zip, reportBytes.constData(), static_cast<zip_uint64_t>(reportBytes.size()), 0);
    if (!text || zip_file_add(zip, reportPath.constData(), text, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
        if (text) zip_source_free(text);
    }
    if (zip_close(zip) < 0) {
        out.error = zipPath + L": " + tkFromUtf8(zip_strerror(zip));
        zip_discard(zip);
    }
    return out;
}
