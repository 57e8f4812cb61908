#include "host/Documents.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QSysInfo>

#include <algorithm>

#include "host/CommandLine.h"
#include "host/NqSystem.h"
#include "toolkit/common/TkIdentity.h"
#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/sm/TkSmDatabase.h"

VrApDocManager::VrApDocManager() = default;

namespace {

// Beside a drawing held for editing, a note of who holds it ("NAME.dwl"): user, machine, since.
QString holderNotePath(const QString& drawing) {
    QFileInfo fi(drawing);
    return fi.path() + "/" + fi.completeBaseName() + ".dwl";
}

void writeHolderNote(const QString& drawing) {
    QFile note(holderNotePath(drawing));
    if (!note.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;  // a note is a courtesy
    note.write(QByteArray::fromStdString(tkUserName()) + "\n" + QByteArray::fromStdString(tkMachineName()) + "\n" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + "\n");
}

}  // namespace

VrApDocument::~VrApDocument() {
    if (lockFd_ >= 0) {
        QFile::remove(holderNotePath(QString::fromStdWString(path_)));
        ::close(lockFd_);
    }
}

TkString vrapDrawingHolder(const TkString& path) {
    const QString drawing = QString::fromStdWString(path);
    int fd = ::open(drawing.toUtf8().constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return TkString();
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    QFile note(holderNotePath(drawing));
    if (!held || !note.open(QIODevice::ReadOnly)) return TkString();
    return QString::fromUtf8(note.readLine()).trimmed().toStdWString();
}

namespace {
// Holds a drawing for editing with an open file description lock, the lock the drawing status
// services test; -1 when the file is read-only or another program holds it.
int holdForEditing(const QString& path) {
    int fd = ::open(path.toUtf8().constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return -1;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        ::close(fd);
        return -1;
    }
    writeHolderNote(path);
    return fd;
}
}  // namespace
VrApDocManager::~VrApDocManager() = default;

VrApDocManager* vrDocManagerPtr() {
    static VrApDocManager manager;
    return &manager;
}

namespace {
void publishCurrent(VrApDocument* doc) {
    // The variables that describe the current drawing.
    CNqSystem& sys = CNqSystem::instance();
    QFileInfo fi(doc ? QString::fromStdWString(doc->fileName()) : QString());
    sys.defineVar(L"DWGNAME", VrResBuf::ofString(doc ? fi.fileName().toStdWString() : L""), true);
    sys.defineVar(L"DWGPREFIX", VrResBuf::ofString(doc ? (fi.absolutePath() + "/").toStdWString() : L""), true);
    sys.defineVar(L"DWGTITLED", VrResBuf::ofShort(doc ? 1 : 0), true);
    sys.defineVar(L"CTAB", VrResBuf::ofString(doc && doc->database() ? QString::fromStdString(doc->database()->currentLayoutName()).toStdWString() : L""), true);
}
}  // namespace

bool VrApDocManager::openDocument(const TkString& path, bool readOnly, std::string* error) {
    QString abs = QFileInfo(QString::fromStdWString(path)).absoluteFilePath();
    for (auto& d : docs_)
        if (QString::fromStdWString(d->path_) == abs) {
            activateDocument(d.get());
            return true;
        }
    auto doc = std::make_unique<VrApDocument>();
    doc->path_ = abs.toStdWString();
    doc->readOnly_ = readOnly || !QFileInfo(abs).isWritable();
    if (!doc->readOnly_) {
        doc->lockFd_ = holdForEditing(abs);
        if (doc->lockFd_ < 0) {
            doc->readOnly_ = true;
            vrutPrintf(L"\n%ls is in use by another program; it is opened read-only.", abs.toStdWString().c_str());
        }
    }
    doc->db_ = std::make_unique<TkDbDatabase>();
    TkDbResult r = doc->db_->readDxfFile(abs.toStdString());
    if (!r) {
        if (error) *error = r.describe();
        return false;
    }
    VrApDocument* raw = doc.get();
    docs_.push_back(std::move(doc));
    for (auto* re : std::vector<VrApDocManagerReactor*>(reactors_)) re->documentCreated(raw);
    activateDocument(raw);
    return true;
}

bool VrApDocManager::setCurrentLayout(VrApDocument* doc, const TkString& layoutName) {
    if (!doc || !doc->database()) return false;
    if (!doc->database()->setCurrentLayout(tkToUtf8(layoutName))) return false;
    for (VrApDocManagerReactor* r : std::vector<VrApDocManagerReactor*>(reactors_)) r->layoutSwitched(doc);
    return true;
}

bool VrApDocManager::renameLayout(VrApDocument* doc, const TkString& from, const TkString& to) {
    if (!doc || !doc->database() || doc->isReadOnly()) return false;
    if (!doc->database()->renameLayout(tkToUtf8(from), tkToUtf8(to))) return false;
    for (VrApDocManagerReactor* r : std::vector<VrApDocManagerReactor*>(reactors_)) r->layoutRenamed(doc);
    return true;
}

VrApDocument* VrApDocManager::findDocument(const TkString& path) const {
    const QString wanted = QFileInfo(QString::fromStdWString(path)).absoluteFilePath();
    for (const auto& d : docs_)
        if (QString::fromStdWString(d->fileName()).compare(wanted, Qt::CaseInsensitive) == 0) return d.get();
    return nullptr;
}

void VrApDocManager::activateDocument(VrApDocument* doc) {
    current_ = doc;
    publishCurrent(doc);
    for (auto* re : std::vector<VrApDocManagerReactor*>(reactors_)) {
        re->documentBecameCurrent(doc);
        re->documentActivated(doc);
    }
}

void VrApDocManager::closeDocument(VrApDocument* doc) {
    auto it = std::find_if(docs_.begin(), docs_.end(), [&](const auto& d) { return d.get() == doc; });
    if (it == docs_.end()) return;
    for (auto* re : std::vector<VrApDocManagerReactor*>(reactors_)) re->documentToBeDestroyed(doc);
    std::unique_ptr<VrApDocument> gone = std::move(*it);
    docs_.erase(it);
    if (current_ == doc) {
        current_ = nullptr;
        if (!docs_.empty()) activateDocument(docs_.back().get());
        else publishCurrent(nullptr);
    }
    for (auto* re : std::vector<VrApDocManagerReactor*>(reactors_)) re->documentDestroyed(doc);
}

bool VrApDocManager::saveDocument(VrApDocument* doc, std::string* error) {
    if (!doc || !doc->db_) return false;
    if (doc->readOnly_) {
        if (error) *error = "the drawing is open read-only";
        return false;
    }
    QString path = QString::fromStdWString(doc->path_);
    TkDbResult r = doc->db_->saveAs(path.toStdString(), doc->db_->version());
    if (!r) {
        if (error) *error = r.describe();
        return false;  // the old file and our hold on it are as they were
    }
    // The old hold sits on the replaced file, which nobody sees any more.
    int fresh = holdForEditing(path);
    if (doc->lockFd_ >= 0) ::close(doc->lockFd_);
    doc->lockFd_ = fresh;
    if (fresh < 0) {
        doc->readOnly_ = true;
        vrutPrintf(L"\n%ls was taken by another program right after the save; it stays open read-only.", doc->path_.c_str());
    }
    return true;
}

void VrApDocManager::closeAll() {
    while (!docs_.empty()) closeDocument(docs_.back().get());
}

void VrApDocManager::addReactor(VrApDocManagerReactor* r) {
    if (std::find(reactors_.begin(), reactors_.end(), r) == reactors_.end()) reactors_.push_back(r);
}

void VrApDocManager::removeReactor(VrApDocManagerReactor* r) { std::erase(reactors_, r); }

bool vornOpenFile(const TkString& path, int mode) {
    QFileInfo fi(QString::fromStdWString(path));
    if (mode == 0) {
        if (auto* svc = dynamic_cast<INqSheetSetOpen*>(CNqSystem::instance().findService(L"CNqSheetSetMgr")))
            return svc->openSheetSetFile(fi.absoluteFilePath().toStdWString());
        // No sheet set manager is loaded to show the set: open it only to prove it is one.
        if (!fi.isFile()) return false;
        TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
        try {
            TkSmDatabase* db = mgr->openDatabase(fi.absoluteFilePath().toStdWString());
            vrutPrintf(L"\nSheet set \"%ls\" is valid; no sheet set manager is loaded to show it.", db->getSheetSet()->getName().c_str());
            return true;
        } catch (const TkException& e) {
            vrutPrintf(L"\n%ls", QString::fromStdString(e.what()).toStdWString().c_str());
            return false;
        }
    }
    if (!fi.isFile()) return false;
    std::string error;
    if (!vrDocManagerPtr()->openDocument(fi.absoluteFilePath().toStdWString(), mode == 2, &error)) {
        vrutPrintf(L"\n%ls", QString::fromStdString(error).toStdWString().c_str());
        return false;
    }
    return true;
}

bool vrRenameLayout(VrApDocument* doc, const TkString& from, const TkString& to) {
    if (!doc || !doc->database() || doc->isReadOnly()) return false;
    TkDbResult r = doc->database()->renameLayout(QString::fromStdWString(from).toStdString(), QString::fromStdWString(to).toStdString());
    if (r && doc == vrDocManagerPtr()->curDocument()) publishCurrent(doc);  // CTAB follows the name
    return r.ok();
}

bool vrapGetDwgFileInfo(const TkString& path, TkString& holder, TkString& detail) {
    // The host knows the drawings it has open for editing itself; others' locks are for the
    // drawing status services to find.
    QString abs = QFileInfo(QString::fromStdWString(path)).absoluteFilePath();
    VrApDocManager* dm = vrDocManagerPtr();
    for (int i = 0; i < dm->documentCount(); ++i) {
        VrApDocument* d = dm->document(i);
        if (QString::fromStdWString(d->fileName()) != abs || d->isReadOnly()) continue;
        holder = tkFromUtf8(tkUserName());
        detail = tkFromUtf8(tkMachineName());
        return true;
    }
    return false;
}

int vrapDefaultSaveFormat() {
    VrResBuf v;
    return CNqSystem::instance().getVar(L"SAVEFORMAT", v) == RTNORM ? static_cast<int>(v.integer) : 48;
}
