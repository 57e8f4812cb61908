#include "tools/drawkit/Csv.h"

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

}  // namespace

bool parseCsv(const std::string& text, std::vector<CsvRow>& rows, std::string& error) {
    size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    const char sep = separatorOf(text, i);
    CsvRow row;
    std::string field;
    bool quoted = false, fieldWasQuoted = false;
    int line = 1, quoteLine = 0;
    auto endField = [&] {
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
    return true;
}
