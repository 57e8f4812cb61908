#pragma once
// Edits that CAD managers script over a project share: new subsets, moves and custom properties,
// addressed by subset path or sheet number. Each is a change for editSheetSet (it gets the set as it
// is on disk, under the lock); each returns false with `error` when it changes nothing.
#include <utility>
#include <vector>

#include "model/SheetSetImpl.h"

// Creates the subset `path` names, with any missing subsets above it; each new subset takes its
// parent's settings (new sheet location, template, template prompt). An existing path is an error.
bool addSubsetPath(CSheetSetImpl& set, const TkString& path, TkString& error);

// Moves a sheet or subset into the subset `toSubset` names: right after `after` (a child of that
// subset) when given, else last. A subset never moves into itself.
bool moveItem(CSheetSetImpl& set, const TkString& item, const TkString& toSubset, const TkString& after, TkString& error);

// Sets custom properties of the sheet set (`item` empty) or of a sheet: existing ones keep their
// place and owner, new ones are added (on the set as its own, on a sheet as the sheet's).
using PropertyValues = std::vector<std::pair<TkString, TkString>>;
bool setCustomProperties(CSheetSetImpl& set, const TkString& item, const PropertyValues& values, TkString& error);
// Sets properties of the sheet set (`item` empty), a subset or a sheet by name: a sheet's "Number",
// "Title", "Description", "Revision", "Revision Date", "Purpose", "Category", "Publish" (yes/no);
// the set's "Name", "Description", "Project number", "Project name", "Project phase", "Project
// milestone", "Page setup overrides file"; for the set and subsets "New sheet location", "Sheet
// creation template" (LAYOUT@FILE) and "Prompt for template" (yes/no), for subsets also "Name" and
// "Publish"; any other name is a custom property of a sheet or the set. Everything is checked
// before anything changes (names, lengths, yes/no, the template's layout).
bool setItemProperties(CSheetSetImpl& set, const TkString& item, const PropertyValues& values, TkString& error);
// The same for an item already found; with `checkOnly` nothing changes, the values are only checked.
bool setComponentProperties(CSheetSetImpl& set, CComponent* target, const PropertyValues& values, TkString& error, bool checkOnly = false);
