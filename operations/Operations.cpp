#include "operations/Operations.h"

#include "operations/OpenCloseOperation.h"
#include "operations/PublishFlagsOperation.h"

void registerSheetListOperations() {
    registerPublishFlagsOperation();
    registerOpenCloseOperation();
}

void unregisterSheetListOperations() {
    unregisterPublishFlagsOperation();
    unregisterOpenCloseOperation();
}
