#pragma once
// Errors of the sheet-set library. Unlike the drawing database, this library raises them: its
// callers catch them where a failure is expected (opening, saving) and let them pass elsewhere.
#include <exception>
#include <string>

#include "toolkit/common/TkUtf8.h"

using TkString = std::wstring;

enum TkErrorCode {
    TkError_OK = 0,
    TkError_NotThatKindOfClass = 1,  // a type test failed
    TkError_InvalidInput = 2,        // a null object, an object of another database, an empty name
    TkError_FileNotFound = 3,
    TkError_FileAccess = 4,          // exists but cannot be read
    TkError_BadFormat = 5,           // not a sheet set data file, or damaged
    TkError_UnsupportedVersion = 6,  // written by a newer version of the format
    TkError_WriteFailed = 7,         // nothing was changed on disk
    TkError_NotInDatabase = 8,       // the object belongs to no database, or to another one
};

class TkException : public std::exception {
public:
    TkException(TkErrorCode code, std::string message) : code_(code), message_(std::move(message)) {}
    TkErrorCode code() const { return code_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    TkErrorCode code_;
    std::string message_;
};

