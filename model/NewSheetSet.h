#pragma once
// What every new sheet set gets, whichever way it is made (from an example, from drawings, in the
// wizard or by drawkit): its name, description, data file and new sheet location, the location
// passed to every nested subset.
#include "model/SheetSetImpl.h"

struct NewSheetSetSpec {
    TkString dataFile;     // the ".dst" path
    TkString name;         // empty: the data file's name without extension
    TkString description;
    TkString location;     // empty: the data file's folder
};

void setUpNewSheetSet(CSheetSetImpl& set, const NewSheetSetSpec& spec);
