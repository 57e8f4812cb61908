#pragma once
// One DXF group: an integer code and the raw text of its value. The value points into the file
// buffer the database keeps alive, or into storage owned by an edited record.
#include <cstdint>
#include <string_view>

struct TkDbTag {
    const char* ptr = nullptr;
    uint32_t len = 0;
    int32_t code = 0;

    std::string_view value() const { return {ptr, len}; }
};

// Kind of value a group code carries, from the DXF group code ranges.
enum class TkDbValueKind { String, Double, Integer, Handle, Binary, Bool };
TkDbValueKind tkDbValueKind(int code);
