#pragma once
// What an operation sees of the palette: the edit of the current set (taken before its dialog,
// ended with the core's result), the items to show and select, the buttons that follow the set,
// and the remembered options. Operations never see the window itself.
#include <memory>
#include <vector>

#include "actions/SheetSetEdit.h"

class CComponent;
struct CSheetListSettings;

class CSheetListView {
public:
    virtual ~CSheetListView() = default;
    // The lock of the current set, taken now and held until the session ends; null when it cannot
    // be taken (the user was told who holds it).
    virtual std::unique_ptr<EditSession> BeginEdit() = 0;
    // The tree and the messages after a session ended with `result`.
    virtual void EndEdit(const ActionResult& result) = 0;
    // BeginEdit, the change, EndEdit: for an edit without a dialog.
    virtual ActionResult EditCurrentSet(const SheetSetChange& change) = 0;
    // Selects the component's item alone and shows it in the details pane.
    virtual void ShowComponent(CComponent* component) = 0;
    // Selects these components' items; the first gets the focus.
    virtual void SelectComponents(const std::vector<CComponent*>& components) = 0;
    // The open menu, the tree, the details and the buttons show the manager's current set.
    virtual void ShowCurrentSheetSet() = 0;
    virtual void UpdatePublishButton() = 0;
    virtual void UpdateSelectionsMenu() = 0;
    virtual CSheetListSettings& settings() = 0;
    virtual CSheetSetMgrImpl* manager() const = 0;
};
