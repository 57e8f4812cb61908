#pragma once
// Resaving every sheet's drawing: each drawing read once, stamped for the set and saved in place,
// with a status per sheet; the sheets that failed are reported and appended to a log beside
// the set ("NAME_Resave All Sheets Report_YYYY-MM-DD.log", UTF-16 with a byte order mark).
#include <functional>
#include <vector>

#include "model/SheetSetImpl.h"

enum ResaveStatus { kResaved = 0, kResaveInUse = 1, kResaveLayoutMissing = 2, kResaveNotFound = 3, kResaveNeedsRecovery = 4,
                    kResaveEncrypted = 5, kResaveReadOnly = 6 };

// How the host has a drawing open: not at all, for editing here, read-only here.
enum class HostDocument { None, Editable, ReadOnly };
using HostDocumentOf = std::function<HostDocument(const TkString& path)>;

// A drawing to resave with the sheets it holds (layout name and handle, in set order), and how the
// host has it open: read on the caller's thread, so that the resave itself touches no model object.
struct ResaveDrawing {
    TkString path;
    HostDocument here = HostDocument::None;
    std::vector<std::pair<TkString, TkString>> layouts;
};
// The set's drawings in the order their first sheets come; `drawingOfSheet` gives each sheet's.
std::vector<ResaveDrawing> resaveDrawings(const std::vector<CSheet*>& sheets, std::vector<size_t>& drawingOfSheet,
                                          const HostDocumentOf& hostDocument);
// Reads the drawing once, stamps it for its last sheet whose layout it holds and saves it once in
// `version`; a status per sheet. Safe to run for several drawings at once.
std::vector<int> resaveDrawing(const ResaveDrawing& drawing, const TkString& sheetSetPath, int version);

struct ResaveEntry {
    TkString sheet, status, location;  // "number - title", what went wrong, the drawing
};
TkString resaveStatusText(int status, const TkString& holder);
// Entries for the sheets whose status is not 0; a drawing in use is reported only when its
// holder can be named (`holderOf`).
std::vector<ResaveEntry> resaveReport(const std::vector<CSheet*>& sheets, const std::vector<int>& statuses,
                                      const std::function<TkString(const TkString&)>& holderOf);
TkString resaveLogPath(const CSheetSet* set);
// Appends the entries to the log; false when it cannot be written.
bool appendResaveLog(const TkString& logPath, const std::vector<ResaveEntry>& entries);
