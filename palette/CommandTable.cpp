#include "palette/CommandTable.h"

#include <map>

namespace {
std::map<int, SheetListOperation>& table() {
    static std::map<int, SheetListOperation> t;
    return t;
}
}  // namespace

void SheetListCommands::add(int id, SheetListOperation operation) { table()[id] = std::move(operation); }
void SheetListCommands::remove(int id) { table().erase(id); }

const SheetListOperation* SheetListCommands::find(int id) {
    auto it = table().find(id);
    return it == table().end() ? nullptr : &it->second;
}
