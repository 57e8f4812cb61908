#pragma once
// Error values of the drawing database. Nothing in toolkit/db throws: every failure is one of these
// codes with a message for the user and, where the input is at fault, the line of the file.
#include <cstdint>
#include <string>

enum TkErrorStatus : uint32_t {
    eTkOk = 0,
    eTkFileNotFound = 101,     // no such file
    eTkFileAccess = 102,       // exists but cannot be opened or read
    eTkFileTooLarge = 103,     // excluded by the caller's size limit, not read
    eTkDwgNotSupported = 110,  // a binary DWG: only DXF drawings are supported
    eTkBinaryDxf = 111,        // binary DXF
    eTkNotDxf = 112,           // garbage: no DXF structure at all
    eTkBadGroupCode = 120,     // a group code line that is not an integer
    eTkTruncated = 121,        // the file ends in the middle of a tag or section
    eTkBadStructure = 122,     // sections or tables out of order, missing ENDSEC ...
    eTkBadNumber = 123,        // a real value that is no finite number: nan, inf, 1e999
    eTkDuplicateHandle = 130,  // two objects with one handle
    eTkDanglingOwner = 131,    // an owner handle that names no object
    eTkBadHandle = 132,        // a handle that is not hexadecimal
    eTkKeyNotFound = 140,      // no layout, dictionary entry or variable of that name
    eTkInvalidInput = 141,     // a name or value the operation refuses
    eTkDuplicateKey = 142,     // a layout of that name exists already
    eTkNotApplicable = 143,    // the operation cannot apply (model layout, last layout ...)
    eTkUnsupportedVersion = 150,  // a version this toolkit cannot save
    eTkWriteFailed = 160,      // the file could not be written; the old one is untouched
    eTkDecryptionError = 305,  // encrypted drawing, needs a password
};

struct TkDbResult {
    TkErrorStatus code = eTkOk;
    std::string message;  // one line, for the user
    int64_t line = 0;     // 1-based line of the file where the problem is, 0 if none

    bool ok() const { return code == eTkOk; }
    explicit operator bool() const { return ok(); }
    static TkDbResult success() { return {}; }
    static TkDbResult fail(TkErrorStatus c, std::string msg, int64_t ln = 0) {
        return {c, std::move(msg), ln};
    }
    // "message (line N)" when a line is known.
    std::string describe() const {
        return line > 0 ? message + " (line " + std::to_string(line) + ")" : message;
    }
};
