#pragma once
// Bottom layer of the DXF writer: formats code/value tags into an output buffer.
#include <string>
#include <string_view>

#include "toolkit/db/TkDbEncoding.h"
#include "toolkit/db/TkDbTag.h"

class TkDbTagWriter {
public:
    // `legacyText`: the target version predates UTF-8 DXF (before R2007), so text beyond ASCII is
    // written in that code page, or as \U+XXXX escapes where the code page does not hold it.
    explicit TkDbTagWriter(std::string& out, TkDbLegacyEncoder* legacyText = nullptr) : out_(out), legacy_(legacyText) {}

    void write(int code, std::string_view value);
    void write(const TkDbTag& t) { write(t.code, t.value()); }
    void writeDouble(int code, double v);
    void writeInt(int code, long long v);
    void writeHandle(int code, uint64_t h);

    // Why the text written is no DXF: a value held a line break or a NUL, which would end its
    // tag early and let the rest be read as tags of their own. Empty while all is well; such a
    // value is written with the breaks as spaces, and the caller throws the text away.
    const std::string& failure() const { return failure_; }

private:
    void writeCode(int code);
    std::string& out_;
    TkDbLegacyEncoder* legacy_;
    std::string failure_;
};

// "%X" of a handle, the form DXF and the sheet set keep handles in.
std::string tkDbHandleText(uint64_t h);
// Parses hexadecimal handle text; false for empty or non-hex text or more than 16 digits.
bool tkDbParseHandle(std::string_view s, uint64_t& h);
// Shortest text that reads back to the same double.
std::string tkDbDoubleText(double v);
