#pragma once
// The host's transmittal service: a zip package of a sheet set (see Transmittal.h), placed where
// the set's transmittal setup says, with a summary of what went in and what was missing.
#include "app/services/Transmittal.h"

class VornTransmitService : public IVrTransmitService {
public:
    int transmit(const VrTransmittalJob& job) override;
    int transmittalSetups(const TkString& path) override;
};
