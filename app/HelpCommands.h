#pragma once
// What the command line says about itself: HELP (and ?) lists the commands, UNDO (and U) says
// what cannot be undone and why, and the names the command line completes.
#include <vector>

#include "host/VrTypes.h"

// HELP: the host's commands with a line each, then the commands modules registered by group,
// with their local names, then where the manual is.
bool listCommands();
// UNDO: nothing is undone; says so, and what to do instead. False: the command did not undo.
bool explainUndo();
// Every name the command line runs: the host's commands and aliases, and the global and local
// names of the registered commands; sorted, each once.
std::vector<TkString> commandLineNames();
