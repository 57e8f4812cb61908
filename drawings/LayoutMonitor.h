#pragma once
// Follows the host for the palette: system variables that switch status polling, the block
// editor and clean-screen mode; drawings opened (a stamped drawing opens its sheet set) and closed.
#include "host/Documents.h"
#include "host/Editor.h"

// What the sheet list window offers the monitor.
class CLayoutMonitorClient {
public:
    virtual ~CLayoutMonitorClient() = default;
    virtual void RestartStatusPolling() = 0;
    virtual void EnableButtons() = 0;
    virtual void EnableSheetList(bool enable) = 0;
    // Shows or hides the palette as the SHEETSET and SHEETSETHIDE commands do.
    virtual void ShowPalette(bool show) = 0;
    virtual bool IsPaletteShown() const = 0;
    // Whether the set at `sheetSetPath` still lists `drawingPath` as a sheet: the stamp alone does
    // not say so, and the sets are the palette's business.
    virtual bool SheetSetListsDrawing(const TkString& sheetSetPath, const TkString& drawingPath) const = 0;
};

class CLayoutMonitor : public TkEditorReactor, public VrApDocManagerReactor {
public:
    // Registers with the document manager and the editor; the destructor takes it out again.
    explicit CLayoutMonitor(CLayoutMonitorClient* sheetList);
    ~CLayoutMonitor() override;
    CLayoutMonitor(const CLayoutMonitor&) = delete;
    CLayoutMonitor& operator=(const CLayoutMonitor&) = delete;

    void sysVarChanged(const TkString& name, bool ok) override;
    void documentCreated(VrApDocument* doc) override;
    void documentDestroyed(VrApDocument* doc) override;

private:
    // The sheet set file `doc`'s stamp names, when that set lists the drawing as a sheet; empty
    // otherwise.
    TkString sheetSetOfStampedDrawing(const VrApDocument* doc) const;
    CLayoutMonitorClient* sheetList_;
};

// Set while clean-screen mode hid a palette that was shown; module-wide.
bool& hiddenByCleanScreen();
