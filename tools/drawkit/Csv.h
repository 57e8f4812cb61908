#pragma once
// Reading a CSV file as spreadsheets save it: UTF-8 with or without a byte order mark, fields
// separated by commas or (as in many locales) semicolons, quoted fields with doubled quotes and
// line breaks inside, CRLF or LF line ends, blank lines skipped.
#include <string>
#include <vector>

using CsvRow = std::vector<std::string>;

// The rows of `text`, the header first. The separator is the one the first line uses most, outside
// quotes. False with `error` for a quote that is never closed.
bool parseCsv(const std::string& text, std::vector<CsvRow>& rows, std::string& error);
