#include "host/Editor.h"

#include <algorithm>

void TkEdEditor::addReactor(TkEditorReactor* r) {
    if (std::find(reactors_.begin(), reactors_.end(), r) == reactors_.end()) reactors_.push_back(r);
}

void TkEdEditor::removeReactor(TkEditorReactor* r) { std::erase(reactors_, r); }

void TkEdEditor::fireSysVarChanged(const TkString& name, bool ok) {
    // A reactor may remove itself (or another) while it is told: walk a copy.
    for (TkEditorReactor* r : std::vector<TkEditorReactor*>(reactors_))
        if (std::find(reactors_.begin(), reactors_.end(), r) != reactors_.end()) r->sysVarChanged(name, ok);
}

TkEdEditor* tkedEditor() {
    static TkEdEditor editor;
    return &editor;
}
