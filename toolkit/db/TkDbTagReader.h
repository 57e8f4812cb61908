#pragma once
// Bottom layer of the DXF reader: splits an ASCII DXF buffer into code/value tags.
#include <string_view>
#include <vector>

#include "toolkit/db/TkDbBuffer.h"
#include "toolkit/db/TkDbError.h"
#include "toolkit/db/TkDbTag.h"

// What the first bytes of a file say it is.
enum class TkDbFileKind { AsciiDxf, BinaryDxf, Dwg, Empty, Unknown };
TkDbFileKind tkDbSniff(std::string_view head);

using TkDbTagArray = std::vector<TkDbTag, TkDbBigAllocator<TkDbTag>>;

// Splits `buf` into tags. Tags point into `buf`, which must outlive them. Reading stops at "0 EOF";
// a file without it is accepted when it ends on a whole tag (section structure is checked above).
// With `skipEntities`, the tags inside the ENTITIES and BLOCKS sections are checked but not kept
// (a listing of layouts needs none of them): those sections come out empty.
TkDbResult tkDbSplitTags(std::string_view buf, TkDbTagArray& out, bool skipEntities = false);

// 1-based line number of the byte at `pos` of `buf` (used for messages only, so it may be slow).
int64_t tkDbLineOf(std::string_view buf, const char* pos);
