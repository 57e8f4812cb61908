#pragma once
// The example sheet sets a new set is made from: an office's starting points, each with its own
// sheet template and page setups, in the folder the host's "SheetSetTemplatePath" names.
#include <filesystem>

// Writes the examples and their templates into `folder`. False with a message on standard error.
bool writeSheetSetExamples(const std::filesystem::path& folder);
