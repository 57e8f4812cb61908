#pragma once
// Linetypes: the dash patterns of the drawing's LTYPE table (dashes, gaps, dots; the shapes and
// texts of complex linetypes keep only their place in the pattern), resolved for an entity through
// BYLAYER and BYBLOCK and scaled as the drawing says (LTSCALE, the entity's own scale).
#include <QPen>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TkDbDatabase;
class TkDbRecord;

struct TkGsLinetype {
    // Alternating dash and gap lengths in drawing units, starting with a dash; a dot is a dash of 0.
    std::vector<double> dashes;
    double period = 0;  // the pattern's length
    // How far into the pattern as stored the dashes above begin: a pattern that opens with a gap
    // is kept from its first dash, so a line it starts at point s is drawn from s + lead.
    double lead = 0;
};

// A pattern from its elements as a drawing stores them (a dash when positive, a gap when negative,
// a dot at 0): at most 64 count, a pattern without gaps is continuous (no dashes).
TkGsLinetype tkGsDashPattern(std::vector<double> elements);

class TkGsLinetypes {
public:
    explicit TkGsLinetypes(const TkDbDatabase& db);
    // The pattern `e` is drawn with, or null for a continuous line; `byBlock` is the pattern of
    // the reference it is drawn through (null: continuous).
    const TkGsLinetype* of(const TkDbRecord& e, const TkGsLinetype* byBlock, std::string_view onLayer = {}) const;
    // LTSCALE times the entity's own linetype scale.
    double scaleOf(const TkDbRecord& e) const;
    // Whether paper space scales the linetypes of what viewports show (PSLTSCALE).
    bool paperScaled() const { return paperScaled_; }

    // Gives `pen` the pattern, `unitsToDevice` device units to a drawing unit, over a path
    // `length` device units long. False, the pen left solid, when the dashes would be finer than
    // the device shows or more than a drawing pass should make.
    static bool applyTo(QPen& pen, const TkGsLinetype& pattern, double unitsToDevice, double length);

private:
    const TkGsLinetype* named(std::string_view name) const;
    std::unordered_map<std::string, TkGsLinetype> patterns_;  // by upper-case name; continuous ones left out
    std::unordered_map<std::string, std::string> layerLinetype_;  // layer name -> its linetype's name
    double globalScale_ = 1;
    bool paperScaled_ = true;
};
