#pragma once
// The command ids of the palette that the sheet list window does not handle itself: each leads to
// an operation that operations/ registers when the module starts. The window gains no member per
// operation, and the palette never includes operations/.
#include <functional>
#include <string>
#include <vector>

class CComponent;
class CSheetListWnd;
class CSheetSet;
class CSheetSetMgrImpl;

// What an operation gets: the window's public API, the manager, the current set (or null), the
// selected items in display order and the caret's item.
struct SheetListContext {
    CSheetListWnd& wnd;
    CSheetSetMgrImpl& manager;
    CSheetSet* sheetSet;
    std::vector<CComponent*> selected;
    CComponent* caret;
    int id;
    std::vector<std::wstring> args;  // what the caller passed along (a drawing and its layouts)
};

using SheetListOperation = std::function<void(SheetListContext&)>;

namespace SheetListCommands {
void add(int id, SheetListOperation operation);
void remove(int id);
// Null when no operation has the id.
const SheetListOperation* find(int id);
}  // namespace SheetListCommands
