#pragma once
// vorn --batch SCRIPT: runs a command script without a window and prints the command line to
// standard output. Script lines are commands, or answers to the prompt that is waiting.
#include <string>

// Returns the process exit code: 0 when every command succeeded.
int runBatch(const std::string& scriptPath);
