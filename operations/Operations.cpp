#include "operations/Operations.h"

#include "operations/NewSheetSetOperation.h"
#include "operations/OpenCloseOperation.h"
#include "operations/PublishFlagsOperation.h"

void registerSheetListOperations() {
    registerPublishFlagsOperation();
    registerOpenCloseOperation();
    registerNewSheetSetOperation();
}

void unregisterSheetListOperations() {
    unregisterPublishFlagsOperation();
    unregisterOpenCloseOperation();
    unregisterNewSheetSetOperation();
}
