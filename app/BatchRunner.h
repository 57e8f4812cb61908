#pragma once
// vorn --batch SCRIPT: runs a command script without a window and prints the command line to
// standard output. Script lines are commands, or answers to the prompt that is waiting.
#include <string>
#include <vector>

#include "host/VrTypes.h"

// Returns the process exit code: 0 when every command succeeded.
// `firstLines` run before the script's own (the files named on vorn's command line).
int runBatch(const std::string& scriptPath, const std::vector<TkString>& firstLines = {});
