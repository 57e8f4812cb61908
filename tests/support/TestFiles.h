#pragma once
// Test helpers: a scratch folder per test, and small drawings made by code.
#include <filesystem>
#include <memory>
#include <string>

#include "toolkit/db/TkDbDatabase.h"

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string readFileText(const std::string& path);
void writeFileText(const std::string& path, const std::string& text);

// Reads DXF text into a database and fails the test with the reader's message if that fails.
std::unique_ptr<TkDbDatabase> readText(const std::string& dxf);
// Saves to text in `version` and reads that text back.
std::unique_ptr<TkDbDatabase> saveAndReload(TkDbDatabase& db, int version = kTkDbVerR2010);
// A new drawing with a line in model space and three paper layouts "Sheet A" (initialized, with a
// circle), "Sheet B" (initialized) and "Sheet C" (not initialized); the default layouts are gone.
std::unique_ptr<TkDbDatabase> makeThreeSheetDrawing();
