#pragma once
// The operations on sheets: new sheet, import layouts as sheets (also for a drawing the host
// names, and to give a sheet another layout), remove sheets and empty subsets, open sheets'
// drawings. Each asks its questions here and changes the set through the window's edit.
#include <cstdint>

#include "palette/CommandTable.h"

class CSheet;
class CSheetSetImpl;

void registerSheetOperations();
void unregisterSheetOperations();

// Pieces the open operation uses for a sheet whose drawing is missing.
// Each takes the set's lock before its question; the sheet is named by id.
void removeSheetsOperation(SheetListContext& ctx, uint64_t onlyId);
void reassociateSheetLayout(SheetListContext& ctx, uint64_t sheetId);

// The window's current set as it is now (after an edit it may have been read again), or null.
CSheetSetImpl* currentSheetSet(SheetListContext& ctx);
// Shows the component stored under `id` in the current set, if it is still there.
void showById(SheetListContext& ctx, uint64_t id);
void registerNewSheetOperation();
void unregisterNewSheetOperation();
void registerImportLayoutsOperation();
void unregisterImportLayoutsOperation();
void registerRemoveOperations();
void unregisterRemoveOperations();
void registerOpenSheetsOperation();
void unregisterOpenSheetsOperation();
void registerPublishOperations();
void unregisterPublishOperations();
void registerPropertiesOperations();
void unregisterPropertiesOperations();
void registerSubsetOperation();
void unregisterSubsetOperation();
void registerResaveOperation();
void unregisterResaveOperation();
void registerRenameOperation();
void unregisterRenameOperation();
void registerSheetListOperation();
void unregisterSheetListOperation();
void registerSelectionsOperations();
void unregisterSelectionsOperations();
void registerRenumberOperation();
void unregisterRenumberOperation();
