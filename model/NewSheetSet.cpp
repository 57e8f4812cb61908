#include "model/NewSheetSet.h"

#include <filesystem>

#include "toolkit/common/TkUtf8.h"

void setUpNewSheetSet(CSheetSetImpl& set, const NewSheetSetSpec& spec) {
    std::filesystem::path file(tkToUtf8(spec.dataFile));
    set.setName((spec.name.empty() ? tkFromUtf8(file.stem().string()) : spec.name).c_str());
    set.setDesc(spec.description.c_str());
    set.setFileName(spec.dataFile.c_str());
    TkString location = spec.location.empty() ? tkFromUtf8(file.parent_path().string()) : spec.location;
    set.setNewSheetLocation(location.c_str(), true);
}
