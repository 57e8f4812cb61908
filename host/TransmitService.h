#pragma once
// The host's transmittal service ("IVrTransmitService"): packages a sheet set with its drawings.
// Modules find it by name; without it Transmit does nothing.
#include <vector>

#include "host/VrTypes.h"

struct VrTransmittalJob {
    TkString sheetSetFile;
    std::vector<TkString> drawings;  // one per contributed sheet that has a drawing
    std::vector<TkString> labels;    // one per contributed sheet
};

class IVrTransmitService : public CNqUnknown {
public:
    virtual int transmit(const VrTransmittalJob& job) = 0;
    // The transmittal setups of the set whose folder and name (no extension) `path` gives.
    virtual int transmittalSetups(const TkString& path) = 0;
};

// The registered transmittal service, or null.
IVrTransmitService* vrTransmitService();
