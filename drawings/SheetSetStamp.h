#pragma once
// The "VrSheetSetData" stamp that ties a drawing to its sheet set: a dictionary in the drawing's
// named objects dictionary with one xrecord per entry. Plain DXF objects, so other programs keep it.
#include "host/VrTypes.h"

class TkDbDatabase;

// Writes the whole stamp (the seven usual entries and the set's path relative to the drawing,
// "ShSetRelativeName", replacing any earlier ones). False when there is no
// drawing or it has no named objects dictionary (R12).
bool writeStamp(TkDbDatabase* db, const TkString& sheetSetPath, const TkString& drawingPath, const TkString& layoutName,
                const TkString& layoutHandle);

// The stamped sheet set data file ("ShSetFileName": the first text value of its chain), or empty
// text when the drawing is null, unstamped, or the entry holds no text.
TkString readStampSheetSetPath(const TkDbDatabase* db);
// The stamped drawing path ("SheetDwgName"), read the same way.
TkString readStampDrawingPath(const TkDbDatabase* db);

// After a drawing was opened for editing: points an existing stamp at where the drawing and its
// sheet set are now. Never creates a stamp; does nothing unless the drawing may be written and both
// paths name existing files; leaves entries alone that already match but for letter case. True
// when a stamp was found (the caller then refreshes the drawing's fields).
bool updateStampPaths(TkDbDatabase* db, bool writeEnabled, const TkString& drawingPath, const TkString& sheetSetPath);

// The sheet set a stamped drawing belongs to, found the way a moved or copied project folder needs:
// by the recorded path, and by the path from the drawing's folder when the drawing has moved or the
// recorded set is gone.
struct StampedSheetSet {
    TkString path;          // the set found (or, when `missing`, the recorded path); empty: no stamp
    TkString recorded;      // "ShSetFileName" as written
    bool relocated = false; // found somewhere other than recorded: the stamps want repointing
    bool missing = false;   // neither place holds it
};
StampedSheetSet findStampedSheetSet(const TkDbDatabase* db, const TkString& drawingPath);

// "UpdateTime" text of a UTC time given in milliseconds since the epoch: "2024/03/05 14:07:09.042".
TkString stampTimeText(int64_t msSinceEpoch);
