#include "app/services/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

#include "toolkit/common/TkSafeOpen.h"
#include "toolkit/common/TkUtf8.h"

bool isOneOfInputs(const TkString& output, const std::vector<TkString>& inputs) {
    struct stat out {};
    const bool exists = ::stat(tkToUtf8(output).c_str(), &out) == 0;
    const QString outPath = QDir::cleanPath(QFileInfo(QString::fromStdWString(output)).absoluteFilePath());
    for (const TkString& in : inputs) {
        if (in.empty()) continue;
        struct stat st {};
        if (exists && ::stat(tkToUtf8(in).c_str(), &st) == 0 && st.st_dev == out.st_dev && st.st_ino == out.st_ino) return true;
        if (QDir::cleanPath(QFileInfo(QString::fromStdWString(in)).absoluteFilePath()) == outPath) return true;
    }
    return false;
}

OutputFile::OutputFile(const TkString& finalPath) : final_(finalPath) {
    const QFileInfo info(QString::fromStdWString(finalPath));
    // A name of our own beside the output: nobody's link or pipe is opened in its place.
    for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
        const QString name = info.absolutePath() + "/." + info.fileName() + "." + QString::number(::getpid()) + "-" +
                             QString::number(QRandomGenerator::global()->generate(), 16) + ".part";
        const int fd = tkOpenRegularFile(name.toStdString(), O_RDWR | O_CREAT | O_EXCL, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            error_ = finalPath + L": cannot be written (" + tkFromUtf8(std::strerror(errno)) + L")";
            return;
        }
        auto file = std::make_unique<QFile>();
        if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            ::unlink(name.toStdString().c_str());
            error_ = finalPath + L": cannot be written";
            return;
        }
        temporary_ = name.toStdWString();
        file_ = std::move(file);
    }
    if (!file_ && error_.empty()) error_ = finalPath + L": cannot be written (no temporary name free beside it)";
}

OutputFile::~OutputFile() {
    file_.reset();
    if (!placed_ && !temporary_.empty()) ::unlink(tkToUtf8(temporary_).c_str());
}

bool OutputFile::putInPlace() {
    if (!file_) return false;
    const bool flushed = file_->flush() && ::fsync(file_->handle()) == 0 && file_->error() == QFileDevice::NoError;
    file_->close();
    file_.reset();
    if (!flushed) {
        error_ = final_ + L": cannot be written (the disk may be full)";
        return false;
    }
    if (::rename(tkToUtf8(temporary_).c_str(), tkToUtf8(final_).c_str()) != 0) {
        error_ = final_ + L": cannot be replaced (" + tkFromUtf8(std::strerror(errno)) + L")";
        return false;
    }
    placed_ = true;
    return true;
}
