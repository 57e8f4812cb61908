#pragma once
// The command ids of the palette that the sheet list window does not handle itself: each leads to
// an operation that operations/ registers when the module starts. The window gains no member per
// operation, and the palette never includes operations/.
#include <functional>
#include <string>
#include <vector>

#include <cstdint>

class CComponent;
class CSheetListView;
class CSheetSet;
class CSheetSetMgrImpl;

// What an operation gets: the palette as operations see it, the manager, the current set (or
// null), the selected items in display order and the caret's item. The pointers hold until the
// set is read again (an edit session may do that when it begins); the ids hold for good.
struct SheetListContext {
    CSheetListView& wnd;
    CSheetSetMgrImpl& manager;
    CSheetSet* sheetSet;
    std::vector<CComponent*> selected;
    CComponent* caret;
    int id;
    std::vector<std::wstring> args;  // what the caller passed along (a drawing and its layouts)
    std::vector<uint64_t> selectedIds = {};
    uint64_t caretId = 0;
};

using SheetListOperation = std::function<void(SheetListContext&)>;

namespace SheetListCommands {
void add(int id, SheetListOperation operation);
void remove(int id);
// Null when no operation has the id.
const SheetListOperation* find(int id);
}  // namespace SheetListCommands
