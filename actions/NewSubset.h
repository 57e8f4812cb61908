#pragma once
// A new subset: from the palette's dialog under the selected subset, from `drawkit new-subset` by
// path (with any missing subsets above it). It takes its parent's settings unless told others.
#include <optional>

#include "actions/EditSession.h"
#include "actions/ItemRef.h"
#include "model/ScriptedEdits.h"

struct SubsetSettings {
    TkString location;
    TkString templateLayout, templateHandle, templateFile;
    bool promptForTemplate = false;
    bool includeForPublish = true;
};

struct NewSubsetRequest {
    ItemRef parent;                  // the set itself when empty
    std::vector<TkString> names;     // the new subset last, any missing ones above it before
    std::optional<SubsetSettings> settings;  // the parent's when none
    PropertyValues values;                   // then these, by name, as `drawkit prop` takes them
};

// The settings a subset would give a new child: its own.
SubsetSettings subsetSettingsOf(const CSubset* subset);

ActionResult newSubset(EditSession& session, const NewSubsetRequest& request, uint64_t* madeId = nullptr);
