#pragma once
// Typed views over records: what a LAYOUT, PLOTSETTINGS, DICTIONARY, XRECORD or BLOCK_RECORD means.
// A view does not own its record; it is valid as long as the database is and the record not erased.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/db/TkDbRecord.h"

struct TkDbPoint3 {
    double x = 0, y = 0, z = 0;
};

// AcDbPlotSettings part, shared by named page setups (PLOTSETTINGS) and layouts (LAYOUT).
class TkDbPlotSettings {
public:
    explicit TkDbPlotSettings(const TkDbRecord* r) : rec_(r) {}
    const TkDbRecord* record() const { return rec_; }
    uint64_t handle() const { return rec_->handle(); }
    std::string handleText() const;

    std::string pageSetupName() const;  // the name of a named page setup
    std::string plotDevice() const;     // plot configuration file
    std::string paperName() const;      // canonical media name, "ISO_A1_(841.00_x_594.00_MM)"
    double paperWidth() const;          // millimetres, as stored (portrait or landscape as the device sees it)
    double paperHeight() const;
    int plotAreaType() const;           // 0 display, 1 extents, 2 limits, 3 view, 4 window, 5 layout
    int plotRotation() const;           // 0..3, quarter turns
    int plotPaperUnits() const;         // 0 inches, 1 millimetres, 2 pixels
    bool isModelSetup() const;          // flag 1024 of the plot layout flags: the setup is for model space

protected:
    const TkDbRecord* rec_;
};

class TkDbLayout : public TkDbPlotSettings {
public:
    using TkDbPlotSettings::TkDbPlotSettings;
    std::string name() const;
    int tabOrder() const;
    uint64_t blockRecordHandle() const;  // the layout's paper-space (or model-space) block record
    uint64_t lastActiveViewport() const;
    TkDbPoint3 extMin() const;
    TkDbPoint3 extMax() const;
    TkDbPoint3 limMin() const;
    TkDbPoint3 limMax() const;
};

class TkDbDictionary {
public:
    struct Entry {
        std::string name;
        uint64_t handle = 0;
        size_t keyTag = 0;  // index of the 3 tag in the record
    };
    explicit TkDbDictionary(const TkDbRecord* r) : rec_(r) {}
    const TkDbRecord* record() const { return rec_; }
    uint64_t handle() const { return rec_->handle(); }
    std::vector<Entry> entries() const;
    std::optional<Entry> find(std::string_view name) const;
    uint64_t get(std::string_view name) const;  // 0 when absent

private:
    const TkDbRecord* rec_;
};

class TkDbXrecord {
public:
    explicit TkDbXrecord(const TkDbRecord* r) : rec_(r) {}
    const TkDbRecord* record() const { return rec_; }
    uint64_t handle() const { return rec_->handle(); }
    // The value chain: every data tag after the subclass marker and the cloning flag.
    std::vector<TkDbValue> values() const;
    // Index of the first data tag in the record.
    size_t dataStart() const;

private:
    const TkDbRecord* rec_;
};

class TkDbBlockRecord {
public:
    explicit TkDbBlockRecord(const TkDbRecord* r) : rec_(r) {}
    const TkDbRecord* record() const { return rec_; }
    uint64_t handle() const { return rec_->handle(); }
    std::string name() const;
    uint64_t layoutHandle() const;  // 0 for ordinary blocks
    bool isModelSpace() const;
    bool isPaperSpace() const;      // any "*Paper_Space..." block
    bool isAnonymous() const;       // "*U12" and the other names that start with '*'
    // The preview icon stored with the block: a device-independent bitmap (header, colours, bits);
    // empty when the block carries none.
    std::vector<unsigned char> previewIcon() const;

private:
    const TkDbRecord* rec_;
};

bool tkDbNameEqualNoCase(std::string_view a, std::string_view b);
bool tkDbStartsWithNoCase(std::string_view s, std::string_view prefix);
