#pragma once
// The editor's event source: modules register reactors to hear of system variable changes.
#include <vector>

#include "host/VrTypes.h"

class TkEditorReactor {
public:
    virtual ~TkEditorReactor() = default;
    // After a system variable was set; `ok` is false when the new value was refused.
    virtual void sysVarChanged(const TkString& name, bool ok) { (void)name, (void)ok; }
};

class TkEdEditor {
public:
    void addReactor(TkEditorReactor* r);
    void removeReactor(TkEditorReactor* r);
    void fireSysVarChanged(const TkString& name, bool ok);

private:
    std::vector<TkEditorReactor*> reactors_;
};

TkEdEditor* tkedEditor();
