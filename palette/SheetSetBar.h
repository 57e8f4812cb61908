#pragma once
#include <vector>
// The dockable "Sheet Set Manager" palette: one page, the sheet list window. Docks on the left or
// right edge of the host's frame and remembers where it was.
#include "host/UiBase.h"

class CSheetListWnd;
class CSheetSetMgr;
class CSheetsetTree;

class CSheetSetBar : public CVdUiPaletteSet {
public:
    CSheetSetBar();
    ~CSheetSetBar() override;
    // Creates the window under `parent` (the host frame, or none) with the saved dock state.
    bool Create(QWidget* parent);
    CSheetSetMgr* getSheetSetMgr() const;
    CSheetsetTree* getSheetTree() const;
    CSheetListWnd* sheetList() const { return sheetList_; }
    void newSheetSet();
    void openSheetSet();
    // The import of layouts as sheets for a drawing the host names, those layouts checked.
    void getImportLayoutsDlg(const TkString& drawing, const std::vector<TkString>& layoutNames);
    // Shows the palette as opening a sheet set does: docked, unless the user put it somewhere
    // (a palette the user floated stays floating).
    void showDocked();

protected:
    bool event(QEvent* e) override;

private:
    void saveState() const;
    QWidget* parent_ = nullptr;
    CSheetListWnd* sheetList_ = nullptr;
    bool placedByUser_ = false;  // the user docked or floated it: its place is theirs
    bool placing_ = false;       // our own setFloating, not the user's
};
