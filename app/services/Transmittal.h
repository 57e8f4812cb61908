#pragma once
// A transmittal package: one zip holding the sheet set, every contributed drawing, the sheet
// templates and the page setup overrides file the set uses, and a report of what went in and what
// was missing. Files keep their places relative to one another (below the folder they all share),
// so the set opens with every drawing found wherever the package is unpacked.
#include <vector>

#include "host/TransmitService.h"

struct TransmittalOutcome {
    std::vector<TkString> added;    // paths inside the package
    std::vector<TkString> missing;  // files the set names that are not there
    TkString error;                 // the package could not be written
    bool ok() const { return error.empty(); }
};

TransmittalOutcome writeTransmittal(const VrTransmittalJob& job, const TkString& zipPath);
