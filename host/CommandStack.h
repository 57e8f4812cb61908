#pragma once
// The host's command stack: commands by group and global name, with a local (translated) name.
#include <vector>

#include "host/VrTypes.h"

constexpr uint32_t VR_CMD_TRANSPARENT = 0x1;
constexpr uint32_t VR_CMD_NOMULTIPLE = 0x10;
constexpr uint32_t VR_CMD_NOBEDIT = 0x02000000;

struct VrCommand {
    TkString group, globalName, localName;
    uint32_t flags = 0;
    VrCommandFunction function;
    TkString resource;  // the resource library made current while the command runs
};

class VrCommandStack {
public:
    // Fails (false) when the group already has a command of that global name.
    bool addCommand(const TkString& group, const TkString& globalName, const TkString& localName, uint32_t flags,
                    VrCommandFunction fn, const TkString& resource = L"");
    bool removeCommand(const TkString& group, const TkString& globalName);
    // By global or local name, case-insensitively; null when unknown.
    const VrCommand* lookup(const TkString& name) const;
    std::vector<const VrCommand*> commandsOfGroup(const TkString& group) const;
    // Every command, in the order they were added.
    std::vector<const VrCommand*> commands() const;
    void clear() { commands_.clear(); }

private:
    std::vector<VrCommand> commands_;
};

VrCommandStack* tkedRegCmds();
