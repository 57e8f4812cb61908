#include "operations/Operations.h"

#include "operations/NewSheetSetOperation.h"
#include "operations/OpenCloseOperation.h"
#include "operations/PublishFlagsOperation.h"
#include "operations/SheetOperations.h"

void registerSheetListOperations() {
    registerPublishFlagsOperation();
    registerOpenCloseOperation();
    registerNewSheetSetOperation();
    registerSheetOperations();
}

void unregisterSheetListOperations() {
    unregisterPublishFlagsOperation();
    unregisterOpenCloseOperation();
    unregisterNewSheetSetOperation();
    unregisterSheetOperations();
}
