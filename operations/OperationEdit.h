#pragma once
// An operation's hold on the current set, from before its dialog to its core's last write: the
// lock is taken first (refused with the holder named), the dialog is filled from the set as it is
// on disk, and the core runs in the same session on OK. The context's pointers are found again by
// id when the session read the set again, so nothing the dialog was filled from is freed under it.
#include <memory>

#include "palette/CommandTable.h"
#include "palette/SheetListView.h"

class OperationEdit {
public:
    explicit OperationEdit(SheetListContext& ctx);
    ~OperationEdit();  // a session never applied (the dialog cancelled) lets go, unsaved
    OperationEdit(const OperationEdit&) = delete;
    OperationEdit& operator=(const OperationEdit&) = delete;

    explicit operator bool() const { return session_ != nullptr; }
    CSheetSetImpl* set() const { return session_ ? session_->set() : nullptr; }
    // The component stored under `id` in the held set; null when there is none.
    CComponent* find(uint64_t id) const;
    // Runs the core in the session and ends it; the palette shows the result.
    ActionResult run(const std::function<ActionResult(EditSession&)>& core);
    // The same for a change written as a function of the set.
    ActionResult apply(const SheetSetChange& change);

private:
    SheetListContext& ctx_;
    std::unique_ptr<EditSession> session_;
};
