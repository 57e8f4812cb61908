#pragma once
// Pieces the block and layout pickers share.
#include "host/VrTypes.h"

// "%X": handles as sheets keep them, upper-case hexadecimal without prefix.
TkString handleText(uint32_t handle);
// The host's file chooser for drawings; filters in the order given. Empty when cancelled.
TkString browseForDrawing(bool templatesFirst);
