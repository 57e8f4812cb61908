#pragma once
// The sheet set service the palette publishes as "CNqSheetSetMgr": the host hands it the sheet
// set files it is asked to open.
#include "host/Documents.h"

class CNqSheetSetMgr : public INqSheetSetOpen {
public:
    virtual bool openSheetSet(const TkString& path) = 0;
    bool openSheetSetFile(const TkString& path) override { return openSheetSet(path); }
};
