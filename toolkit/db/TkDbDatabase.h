#pragma once
// Top layer: a drawing read from an ASCII DXF file. It keeps every record it read, understood or
// not, so that a drawing read and saved keeps all of its entities, objects, classes, extended data
// and application groups; the typed views (layouts, dictionaries, xrecords, block records) and the
// editing operations work on those records.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/db/TkDbBuffer.h"
#include "toolkit/db/TkDbError.h"
#include "toolkit/db/TkDbObjects.h"
#include "toolkit/db/TkDbRecord.h"
#include "toolkit/db/TkDbTagReader.h"
#include "toolkit/db/TkDbVersion.h"

struct TkDbReadOptions {
    // Files larger than this are not read at all (0: no limit). The check costs one stat call.
    uint64_t maxFileSize = 0;
    // Tolerant, as drawings from other programs need: duplicate, missing and malformed handles and
    // owners that do not exist are repaired in memory (fresh handles) and listed in problems();
    // everything else is kept as read. Off (strict), the first of them refuses the drawing.
    bool recover = true;
    // Only what a listing needs (header variables, layouts, block records, each record's own
    // handle): no handle index, no owner checks, no repairs. For reading many drawings' facts
    // fast; such a database is for reading, never for editing or saving.
    bool listingOnly = false;
};

struct TkFileIdentity;

struct TkDbSaveOptions {
    // Written as $LASTSAVEDBY; empty takes the login name of the user running the program.
    std::string lastSavedBy;
    // Recompute $EXTMIN/$EXTMAX, $PEXTMIN/$PEXTMAX and the extents of every layout before writing.
    bool updateExtents = true;
    // When given, receives the identity the saved file has on disk.
    TkFileIdentity* written = nullptr;
};

// Paper of a layout: canonical media name and size in millimetres as the sheet lies (landscape
// sheets are wider than high).
struct TkDbPaper {
    std::string name = "ISO_A3_(420.00_x_297.00_MM)";
    double width = 420.0;
    double height = 297.0;
};

struct TkDbSection {
    std::string name;                   // "HEADER", "ENTITIES", ...
    std::vector<TkDbRecord*> records;   // in file order; erased records are skipped on save
};

struct TkDbEntityCounts {
    size_t modelSpace = 0;
    size_t paperSpace = 0;  // every layout together
    size_t blocks = 0;      // inside block definitions
};

class TkDbDatabase {
public:
    TkDbDatabase();
    ~TkDbDatabase();
    TkDbDatabase(const TkDbDatabase&) = delete;
    TkDbDatabase& operator=(const TkDbDatabase&) = delete;

    // Reads any ASCII DXF, whatever the file's extension. On failure the database is left empty.
    TkDbResult readDxfFile(const std::string& path, const TkDbReadOptions& opt = {});
    TkDbResult readDxfBuffer(std::string_view text, const TkDbReadOptions& opt = {});
    // Writes the drawing in `version` (a toolkit version code) to `path`, atomically: a temporary
    // file in the same folder is written, flushed and renamed over the target.
    TkDbResult saveAs(const std::string& path, int version, const TkDbSaveOptions& opt = {});
    // The text that saveAs would write.
    TkDbResult writeDxf(std::string& out, int version, const TkDbSaveOptions& opt = {});

    const std::string& fileName() const { return fileName_; }
    int version() const { return version_; }            // toolkit version code of the file as read
    const std::vector<TkDbResult>& problems() const { return problems_; }  // what the tolerant read repaired or let pass
    const std::vector<TkDbSection>& sections() const { return sections_; }
    TkDbSection* section(std::string_view name);
    const TkDbSection* section(std::string_view name) const;

    // Header variables ("$ACADVER"). A variable is a record: its name tag, then its values.
    const TkDbRecord* headerVar(std::string_view name) const;
    std::string getVar(std::string_view name) const;                 // first value, "" when absent
    double getVarDouble(std::string_view name, double def = 0) const;
    long long getVarInt(std::string_view name, long long def = 0) const;
    void setVar(std::string_view name, const std::vector<TkDbValue>& values);
    void setVar(std::string_view name, int code, std::string_view value) { setVar(name, {{code, std::string(value)}}); }
    // System variables as the host names them: "LOGINNAME" is who saved last ($LASTSAVEDBY),
    // "LWDISPLAY" whether lineweights show; other names map to "$NAME".
    std::string getSysVar(std::string_view name) const;

    // Objects by handle.
    TkDbRecord* byHandle(uint64_t h) const;
    uint64_t allocateHandle();  // above $HANDSEED and every handle in use
    uint64_t handleSeed() const { return nextHandle_; }

    // Tables: entries of "LAYER", "BLOCK_RECORD", ... in file order.
    std::vector<TkDbRecord*> tableEntries(std::string_view table) const;
    std::vector<TkDbBlockRecord> blockRecords() const;
    std::optional<TkDbBlockRecord> findBlockRecord(std::string_view name) const;  // case-insensitive
    // The BLOCK entity that opens a block definition, for its flags (anonymous, xref, overlay).
    const TkDbRecord* blockBegin(uint64_t blockRecordHandle) const;
    // Entities that belong to a block record: model space, a layout or a block definition. Only the
    // entities themselves, not their vertices, attributes or sequence ends.
    std::vector<TkDbRecord*> entitiesOf(uint64_t blockRecordHandle) const;
    // The same with the followers in place: each POLYLINE or INSERT is followed by its VERTEX or
    // ATTRIB records and a SEQEND.
    std::vector<TkDbRecord*> blockContents(uint64_t blockRecordHandle) const;
    TkDbEntityCounts entityCounts() const;

    // Objects.
    uint64_t namedObjectsDictionary() const;  // the root dictionary, 0 when the drawing has none
    std::optional<TkDbDictionary> dictionary(uint64_t h) const;
    std::optional<TkDbXrecord> xrecord(uint64_t h) const;
    // Finds or creates the dictionary `name` in dictionary `owner`; 0 on failure.
    uint64_t getOrAddDictionary(uint64_t owner, std::string_view name);
    // Adds (or replaces) the xrecord `name` in dictionary `dict` with the value chain `values`.
    uint64_t setXrecord(uint64_t dict, std::string_view name, const std::vector<TkDbValue>& values);
    // Removes the entry `name` of dictionary `dict` and erases the object with what it owns.
    bool removeDictionaryEntry(uint64_t dict, std::string_view name);

    // Layouts, in tab order (model first).
    std::vector<TkDbLayout> layouts() const;
    std::optional<TkDbLayout> findLayout(std::string_view name) const;  // exact name
    std::string currentLayoutName() const;
    // The layout's overall viewport (the paper-space VIEWPORT with id 1); nullptr when the layout
    // was never initialized.
    const TkDbRecord* overallViewport(const TkDbLayout& layout) const;
    bool isInitialized(const TkDbLayout& layout) const { return overallViewport(layout) != nullptr; }
    // Named page setups (ACAD_PLOTSETTINGS).
    std::vector<TkDbPlotSettings> pageSetups() const;

    TkDbResult renameLayout(std::string_view from, std::string_view to);
    TkDbResult deleteLayout(std::string_view name);
    TkDbResult setCurrentLayout(std::string_view name);

    // Extents of what a block record holds, world coordinates; false when it holds nothing.
    // `notes`, when given, receives what the budgets of a drawing pass left out (TkDbBudget).
    bool blockExtents(uint64_t blockRecordHandle, TkDbPoint3& min, TkDbPoint3& max,
                      std::vector<std::string>* notes = nullptr) const;

    // Creates an empty but complete drawing (tables, model space, layouts "Layout1" and
    // "Layout2") that other DXF programs open; used for new drawings and by the generators.
    static std::unique_ptr<TkDbDatabase> createNew();

    // Building drawings (new drawings, templates, generators, tests).
    uint64_t modelSpace() const;  // block record of model space
    // Adds a paper layout with its block; `initialize` also gives it the overall viewport.
    TkDbResult addLayout(std::string_view name, const TkDbPaper& paper, bool initialize, uint64_t* layoutHandle = nullptr);
    // Adds a block definition; returns its block record, 0 when the name is taken or invalid.
    // A named page setup (PLOTSETTINGS in ACAD_PLOTSETTINGS) plotting 1:1 on `paper` through `device`.
    TkDbResult addPageSetup(std::string_view name, const TkDbPaper& paper, std::string_view device);
    uint64_t addBlock(std::string_view name, const TkDbPoint3& base = {});
    bool addLayer(std::string_view name, int aciColor);
    // Adds an entity to a block record: `type` ("LINE"), then the subclass data ("100 AcDbLine", ...).
    TkDbRecord* addEntity(uint64_t blockRecord, std::string_view type, const std::vector<TkDbValue>& data,
                          std::string_view layer = "0");

    // Low level, for builders: appends a record made of `values` (first is the 0 tag) to a section,
    // before the record `before` when given, and indexes its handle and owner.
    TkDbRecord* appendRecord(std::string_view section, const std::vector<TkDbValue>& values,
                             const TkDbRecord* before = nullptr);
    // Erases records and every object they own, transitively.
    void eraseWithOwned(const std::vector<TkDbRecord*>& roots);
    void eraseWithOwned(TkDbRecord* r) { eraseWithOwned(std::vector<TkDbRecord*>{r}); }

private:
    friend struct TkDbLoader;
    friend struct TkDbSaver;
    void clear();
    TkDbSection* ensureSection(std::string_view name);
    void updateExtents();
    TkDbResult writeAsRead(std::string& out) const;
    TkDbResult writeRecords(std::string& out, bool legacyText) const;
    void ensureUnits();
    TkDbResult parse(const TkDbReadOptions& opt);  // builds everything from buffer_
    TkDbResult index(bool recover, bool listingOnly = false);
    // A drawing from R2000 on without its OBJECTS section (some programs leave it out): the named
    // objects dictionary and a layout for every model and paper space block are made anew.
    void repairMissingObjects();
    void reindexRecord(TkDbRecord* r);
    std::vector<TkDbRecord*> sectionSpan(std::string_view section, uint64_t blockRecord) const;
    TkDbResult fail(TkErrorStatus c, std::string msg, const char* at);
    TkDbResult failAt(TkErrorStatus c, std::string msg, const TkDbTag& tag);
    int64_t tagLine(const TkDbTag& t) const;
    int64_t lineOf(const char* p) const;
    void moveBlockEntities(uint64_t fromBr, std::string_view toSection, uint64_t toBr);

    std::string fileName_;
    TkDbBuffer buffer_;                   // the file as read; tags point into it
    TkDbTagArray tags_;
    std::deque<TkDbRecord> pool_;         // every record; sections hold pointers into it
    std::deque<std::string> extraBuffers_;  // text of records added after reading
    std::deque<std::vector<TkDbTag>> extraTags_;
    std::vector<TkDbSection> sections_;
    std::vector<TkDbTag> prologue_;       // comments before the first section
    std::unordered_map<uint64_t, TkDbRecord*> handles_;
    std::unordered_map<std::string, TkDbRecord*> header_;
    std::vector<TkDbResult> problems_;
    // Where each block definition lies in the BLOCKS section: BLOCK at `begin`, ENDBLK at `end`.
    // Rebuilt on demand after anything moves records around.
    struct BlockSpan {
        size_t begin = 0, end = 0;
    };
    const BlockSpan* blockSpan(uint64_t blockRecord) const;
    mutable std::unordered_map<uint64_t, BlockSpan> blockIndex_;
    mutable bool blockIndexValid_ = false;
    uint64_t nextHandle_ = 1;
    int version_ = kTkDbVerUnknown;
};
