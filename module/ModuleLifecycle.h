#pragma once
// What the module does on the host's initialise and unload messages.
int sheetSetInitialize();
int sheetSetUnload();
