#pragma once
// The bundled example project: its drawings, their sheet layouts and where each sheet sits in the
// sheet set, and the writer of the sheet set data file.
#include <filesystem>
#include <string>
#include <vector>

#include "tools/examplegen/ExampleDrawings.h"

struct ExampleSheet {
    ExampleLayout layout;
    std::string subset;  // "Architecture/Plans/Full size (A1)"
};

struct ExampleDrawingSpec {
    std::string file;  // without extension
    std::string caption;
    std::vector<ExampleSheet> sheets;
};

// Thirteen drawings, about forty sheets, subsets three levels deep.
std::vector<ExampleDrawingSpec> exampleProject();

// Writes FOLDER/Riverside Library.dst over the drawings made from `project` (in FOLDER/drawings),
// the sheet template and the page setup overrides file (in FOLDER/templates). False with a message
// on standard error when it cannot.
bool writeExampleSheetSet(const std::filesystem::path& folder, const std::vector<ExampleDrawingSpec>& project);

inline const char* kExampleSetName = "Riverside Library";
