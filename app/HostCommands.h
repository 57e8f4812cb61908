#pragma once
// The host's own commands (SETVAR, OPEN, APPLOAD, ...), by name. The command processor looks here
// before the commands modules registered, so a module cannot take these names over.
#include <functional>
#include <map>

#include "host/VrTypes.h"

#include <vector>

// Runs the command, prompting for what it needs; false when it failed.
using HostCommand = std::function<bool()>;

struct HostCommandInfo {
    std::vector<TkString> names;  // in capitals; the first is the command's own, the rest aliases
    const wchar_t* summary;       // one line, for HELP
    HostCommand run;
};

// The host's commands in the order HELP lists them.
const std::vector<HostCommandInfo>& hostCommandTable();
// Every host command under each of its names; built on first use.
const std::map<TkString, HostCommand>& hostCommands();

// Shows a system variable and asks for a new value unless it is read only; false on failure.
bool editSystemVariable(const TkString& var);
