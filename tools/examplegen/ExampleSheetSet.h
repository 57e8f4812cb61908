#pragma once
// The bundled example sheet set: the example drawings' layouts as sheets in subsets, with the
// sheet template, project fields and custom properties, written with the toolkit's own library.
#include <filesystem>
#include <string>
#include <vector>

struct ExampleDrawing {
    std::string number, title;
    std::filesystem::path path;
};

// Writes FOLDER/Riverside Library.dst; false with a message on standard error when it cannot.
bool writeExampleSheetSet(const std::filesystem::path& folder, const std::vector<ExampleDrawing>& drawings,
                          const std::filesystem::path& sheetTemplate);
