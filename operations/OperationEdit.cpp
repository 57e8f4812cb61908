#include "operations/OperationEdit.h"

#include "model/ItemLookup.h"

OperationEdit::OperationEdit(SheetListContext& ctx) : ctx_(ctx), session_(ctx.wnd.BeginEdit()) {
    if (!session_) return;
    CSheetSetImpl* set = session_->set();
    ctx.sheetSet = set;
    ctx.caret = findComponentById(set, ctx.caretId);
    ctx.selected.clear();
    for (uint64_t id : ctx.selectedIds)
        if (CComponent* c = findComponentById(set, id)) ctx.selected.push_back(c);
}

OperationEdit::~OperationEdit() {
    if (!session_) return;
    session_.reset();
    ctx_.wnd.EndEdit(ActionResult::nothingToDo());
}

CComponent* OperationEdit::find(uint64_t id) const { return set() ? findComponentById(set(), id) : nullptr; }

ActionResult OperationEdit::run(const std::function<ActionResult(EditSession&)>& core) {
    if (!session_) return {};
    ActionResult r = runCore(*session_, core);
    session_.reset();
    ctx_.wnd.EndEdit(r);
    ctx_.sheetSet = ctx_.manager.getCurrent() >= 0 ? ctx_.manager.getSheetSet(ctx_.manager.getCurrent()) : nullptr;
    return r;
}

ActionResult OperationEdit::apply(const SheetSetChange& change) {
    return run([&](EditSession& s) { return applyChange(s, change); });
}
