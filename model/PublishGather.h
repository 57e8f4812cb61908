#pragma once
// What a publish or a transmittal gets from a selection. Publishing follows the publish flags: a
// sheet goes when its subset publishes its sheets and it is included itself; a subset (or the set)
// is entered only when it publishes its sheets. The selection's order is kept and nothing is
// dropped twice: a sheet selected and also in a selected subset is published twice.
#include <vector>

#include "host/PlotService.h"
#include "host/TransmitService.h"
#include "model/SheetSetImpl.h"

std::vector<CSheet*> gatherPublishSheets(const std::vector<CComponent*>& selected);
VrPublishJob makePublishJob(CSheetSet* set, const std::vector<CSheet*>& sheets, const TkString& pageSetupName = {});
// Every sheet of a selected subset at any depth, and each selected sheet; a sheet without a drawing
// gives its label only.
VrTransmittalJob makeTransmittalJob(CSheetSet* set, const std::vector<CComponent*>& selected);
// "number - title", the title alone without a number.
TkString transmittalLabel(const CSheet* sheet);
