#pragma once
// Reading a CSV file as spreadsheets save it: UTF-8 with or without a byte order mark, fields
// separated by commas or (as in many locales) semicolons, quoted fields with doubled quotes and
// line breaks inside, CRLF or LF line ends, blank lines skipped.
#include <string>
#include <vector>

using CsvRow = std::vector<std::string>;

// A cell longer than this is no sheet's value: the file is refused rather than held in memory.
constexpr size_t kMaxCsvCellBytes = 64 * 1024;
constexpr size_t kMaxCsvFileBytes = 64 * 1024 * 1024;

// The rows of `text`, the header first. The separator is the one the first line uses most, outside
// quotes. False with `error` for text that is not UTF-8 (naming the line), a cell over the bound
// and a quote that is never closed. A cell written as '=... (a formula kept from running, as the
// index is exported) reads as =...
bool parseCsv(const std::string& text, std::vector<CsvRow>& rows, std::string& error);
// The same for a file, refused past kMaxCsvFileBytes; `error` names the file.
bool readCsvFile(const std::string& path, std::vector<CsvRow>& rows, std::string& error);
// A value as a CSV cell: quoted when it must be, and a value a spreadsheet would run as a formula
// (starting with =, +, -, @) kept as text by a leading apostrophe.
std::string csvCell(const std::string& value);
