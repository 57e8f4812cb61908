#pragma once
// What publishing and transmittal write (a PDF, a package, a log) is made under a temporary name
// beside its final one and put in place only when complete: a failed or cancelled run leaves the
// earlier output as it was. An output is never one of the files it is made from.
#include <QFile>
#include <memory>
#include <vector>

#include "host/VrTypes.h"

// Whether `output` is one of `inputs`: the same file on disk (through links, or another spelling
// of its path), or the same path when it does not exist yet.
bool isOneOfInputs(const TkString& output, const std::vector<TkString>& inputs);

class OutputFile {
public:
    explicit OutputFile(const TkString& finalPath);
    ~OutputFile();  // removes the temporary file unless it was put in place
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The temporary file, open for writing; null with `error()` when it cannot be made.
    QFile* device() { return file_ ? file_.get() : nullptr; }
    const TkString& temporaryPath() const { return temporary_; }
    // Flushes it to the disk and renames it over the final name. False with `error()`.
    bool putInPlace();
    const TkString& error() const { return error_; }

private:
    TkString final_, temporary_, error_;
    std::unique_ptr<QFile> file_;
    bool placed_ = false;
};
