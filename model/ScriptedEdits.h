#pragma once
// Properties as CAD managers script them, by name: addressed by subset path or sheet number. Each
// is a change for an edit session (it gets the set as it is on disk, under the lock); each returns
// false with `error` when it changes nothing.
#include <utility>
#include <vector>

#include "model/SheetSetImpl.h"

using PropertyValues = std::vector<std::pair<TkString, TkString>>;
// Sets properties of the sheet set (`item` empty), a subset or a sheet by name: a sheet's "Number",
// "Title", "Description", "Revision", "Revision Date", "Purpose", "Category", "Publish" (yes/no);
// the set's "Name", "Description", "Project number", "Project name", "Project phase", "Project
// milestone", "Page setup overrides file"; for the set and subsets "New sheet location", "Sheet
// creation template" (LAYOUT@FILE) and "Prompt for template" (yes/no), for subsets also "Name" and
// "Publish"; any other name is a custom property of a sheet or the set (existing ones keep their place and
// owner, new ones belong to the item). Everything is checked
// before anything changes (names, lengths, yes/no, the template's layout).
bool setItemProperties(CSheetSetImpl& set, const TkString& item, const PropertyValues& values, TkString& error);
// The same for an item already found; with `checkOnly` nothing changes, the values are only checked.
// With `nested`, a subset's or the set's inherited settings go to its nested subsets too. The
// set's own properties land as its properties dialog writes them. A sheet's new number may not be
// another sheet's, unless `numbersUnique` is off for a caller that checks many at once (an index
// that trades numbers between sheets).
bool setComponentProperties(CSheetSetImpl& set, CComponent* target, const PropertyValues& values, TkString& error, bool checkOnly = false,
                            bool nested = false, bool numbersUnique = true);
