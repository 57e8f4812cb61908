#include "drawings/SheetSetLock.h"

#include <QFile>
#include <QHostInfo>
#include <QSettings>
#include <QString>

#include "host/PathUtil.h"
#include "toolkit/common/TkUtf8.h"

namespace {
TkString loginName() { return qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME", "unknown")).left(260).toStdWString(); }
TkString machineName() { return QHostInfo::localHostName().left(260).toStdWString(); }
}  // namespace

TkString CSheetSetLock::lockFileName(const TkString& dataFile) {
    TkString p = dataFile.substr(0, 260);
    return !p.empty() && vrutPathRenameExtension(p, L".dbl") ? p : TkString();
}

void CSheetSetLock::lock() {
    unlock();
    if (!sheetSet_) return;
    TkString dataFile = sheetSet_->lockDataFileName();
    TkString dbl = lockFileName(dataFile);
    if (dbl.empty()) return;
    bool written;
    {
        // An initialisation-file section, as other tools expect it.
        QSettings ini(QString::fromStdWString(dbl), QSettings::IniFormat);
        ini.beginGroup("UserInfo");
        ini.setValue("UserName", QString::fromStdWString(loginName()));
        ini.setValue("Machine", QString::fromStdWString(machineName()));
        ini.endGroup();
        ini.sync();
        written = ini.status() == QSettings::NoError;
    }
    if (written && hold_.hold(dataFile)) {
        sheetSet_->setLockedHere(true);
        lockFile_ = dbl;
        return;
    }
    QFile::remove(QString::fromStdWString(dbl));  // no lock, no lock file
}

void CSheetSetLock::unlock() {
    if (!lockFile_.empty()) {
        QFile::remove(QString::fromStdWString(lockFile_));
        lockFile_.clear();
    }
    hold_.release();
    if (sheetSet_) sheetSet_->setLockedHere(false);
}

bool CSheetSetLock::readLockFile(const TkString& dataFile, TkString& user, TkString& machine) {
    TkString dbl = lockFileName(dataFile);
    if (dbl.empty() || !QFile::exists(QString::fromStdWString(dbl))) return false;
    QSettings ini(QString::fromStdWString(dbl), QSettings::IniFormat);
    user = ini.value("UserInfo/UserName").toString().toStdWString();
    machine = ini.value("UserInfo/Machine").toString().toStdWString();
    return true;
}

bool CSheetSetLock::isStale(const TkString& dataFile) {
    TkString dbl = lockFileName(dataFile);
    return !dbl.empty() && QFile::exists(QString::fromStdWString(dbl)) && !isFileHeldByOther(tkToUtf8(dataFile));
}
