#pragma once
// The operations of the palette's menus, registered in its command table while the module runs.
void registerSheetListOperations();
void unregisterSheetListOperations();
