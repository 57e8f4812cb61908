#pragma once
// "New Sheet Set...": the wizard, then the new set opened in the palette.
void registerNewSheetSetOperation();
void unregisterNewSheetSetOperation();
