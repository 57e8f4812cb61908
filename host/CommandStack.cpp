#include "host/CommandStack.h"

#include "host/PathUtil.h"

#include <algorithm>

namespace {
bool sameName(const TkString& a, const TkString& b) { return vrutSameTextNoCase(a, b); }
}  // namespace

bool VrCommandStack::addCommand(const TkString& group, const TkString& globalName, const TkString& localName,
                                uint32_t flags, VrCommandFunction fn, const TkString& resource) {
    for (auto& c : commands_)
        if (sameName(c.group, group) && sameName(c.globalName, globalName)) return false;
    commands_.push_back({group, globalName, localName.empty() ? globalName : localName, flags, std::move(fn), resource});
    return true;
}

bool VrCommandStack::removeCommand(const TkString& group, const TkString& globalName) {
    auto it = std::find_if(commands_.begin(), commands_.end(),
                           [&](const VrCommand& c) { return sameName(c.group, group) && sameName(c.globalName, globalName); });
    if (it == commands_.end()) return false;
    commands_.erase(it);
    return true;
}

const VrCommand* VrCommandStack::lookup(const TkString& name) const {
    for (auto& c : commands_)
        if (sameName(c.globalName, name) || sameName(c.localName, name)) return &c;
    return nullptr;
}

std::vector<const VrCommand*> VrCommandStack::commandsOfGroup(const TkString& group) const {
    std::vector<const VrCommand*> out;
    for (auto& c : commands_)
        if (sameName(c.group, group)) out.push_back(&c);
    return out;
}

std::vector<const VrCommand*> VrCommandStack::commands() const {
    std::vector<const VrCommand*> out;
    for (auto& c : commands_) out.push_back(&c);
    return out;
}

VrCommandStack* tkedRegCmds() {
    static VrCommandStack stack;
    return &stack;
}
