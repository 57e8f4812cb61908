#include "operations/Operations.h"

#include "operations/PublishFlagsOperation.h"

void registerSheetListOperations() { registerPublishFlagsOperation(); }
void unregisterSheetListOperations() { unregisterPublishFlagsOperation(); }
