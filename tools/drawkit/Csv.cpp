#include "tools/drawkit/Csv.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "toolkit/common/TkUtf8.h"

namespace {

char separatorOf(const std::string& text, size_t from) {
    size_t commas = 0, semicolons = 0;
    bool quoted = false;
    for (size_t i = from; i < text.size() && (quoted || (text[i] != '\n' && text[i] != '\r')); ++i) {
        if (text[i] == '"') quoted = !quoted;
        else if (!quoted && text[i] == ',') ++commas;
        else if (!quoted && text[i] == ';') ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

bool blank(const CsvRow& row) {
    for (const std::string& f : row)
        if (!f.empty()) return false;
    return true;
}

bool startsAsFormula(const std::string& s) { return !s.empty() && std::string_view("=+-@").find(s[0]) != std::string_view::npos; }

}  // namespace

std::string csvCell(const std::string& value) {
    const std::string s = startsAsFormula(value) ? "'" + value : value;
    if (s.find_first_of(",;\"\r\n") == std::string::npos) return s;
    std::string o = "\"";
    for (char c : s) o += c == '"' ? std::string("\"\"") : std::string(1, c);
    return o + "\"";
}

bool readCsvFile(const std::string& path, std::vector<CsvRow>& rows, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        error = path + ": cannot be read";
        return false;
    }
    if (size > kMaxCsvFileBytes) {
        error = path + ": " + std::to_string(size >> 20) + " MB, more than a sheet list can be (" + std::to_string(kMaxCsvFileBytes >> 20) + " MB)";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (!parseCsv(text.str(), rows, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool parseCsv(const std::string& text, std::vector<CsvRow>& rows, std::string& error) {
    size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    // Spreadsheets save "CSV" in the local code page unless told otherwise: such a file is named,
    // never read as replacement characters.
    for (size_t at = i, line = 1; at < text.size();) {
        uint32_t cp = 0;
        const size_t from = at;
        if (!tkNextUtf8(text, at, cp)) {
            error = "line " + std::to_string(line) + " is not UTF-8 text (a code page such as Latin-1?): save it as \"CSV UTF-8\"";
            return false;
        }
        if (text[from] == '\n') ++line;
    }
    const char sep = separatorOf(text, i);
    CsvRow row;
    std::string field;
    bool quoted = false, fieldWasQuoted = false;
    int line = 1, quoteLine = 0;
    bool tooLong = false;
    auto endField = [&] {
        if (field.size() > kMaxCsvCellBytes && !tooLong) {
            tooLong = true;
            error = "a cell ending on line " + std::to_string(line) + " holds " + std::to_string(field.size()) + " bytes, at most " +
                    std::to_string(kMaxCsvCellBytes);
        }
        if (field.size() > 1 && field[0] == '\'' && startsAsFormula(field.substr(1))) field.erase(0, 1);
        row.push_back(field);
        field.clear();
        fieldWasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        if (!blank(row)) rows.push_back(row);
        row.clear();
    };
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                if (c != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') field += c;
            }
        } else if (c == '"' && field.empty() && !fieldWasQuoted) {
            quoted = fieldWasQuoted = true;
            quoteLine = line;
        } else if (c == sep) {
            endField();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++line;
            endRow();
        } else {
            field += c;
        }
    }
    if (quoted) {
        error = "a quoted field that starts on line " + std::to_string(quoteLine) + " is never closed";
        return false;
    }
    if (!field.empty() || !row.empty()) endRow();
    if (tooLong) rows.clear();
    return !tooLong;
}
