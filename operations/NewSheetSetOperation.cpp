#include "operations/NewSheetSetOperation.h"

#include "palette/CommandTable.h"
#include "palette/PaletteIds.h"
#include "wizard/CreateShSheet.h"

void registerNewSheetSetOperation() {
    SheetListCommands::add(pal::kCmdNewSheetSet, [](SheetListContext&) { runNewSheetSetWizard(); });
}

void unregisterNewSheetSetOperation() { SheetListCommands::remove(pal::kCmdNewSheetSet); }
