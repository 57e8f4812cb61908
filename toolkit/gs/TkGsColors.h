#pragma once
// Colours of entities: the 256 indexed colours, true colours, BYLAYER and BYBLOCK, kept visible on
// the white paper of a sheet.
#include <QColor>
#include <string>
#include <string_view>
#include <unordered_map>

class TkDbDatabase;
class TkDbRecord;

// The indexed colour `aci` (1..255) as CAD programs show it.
QColor tkGsAciColor(int aci);
// A colour that stays visible on white: near-white colours (index 7, light greys) become black.
QColor tkGsOnWhite(const QColor& c);

// Each lookup takes the layer the entity is drawn on when that is not its own: inside a block, an
// entity on layer "0" takes the layer of the reference it is drawn through, as in every CAD host.
class TkGsColorResolver {
public:
    explicit TkGsColorResolver(const TkDbDatabase& db);
    // The colour an entity is drawn in; `byBlock` is the colour of the insert it is drawn through.
    QColor colorOf(const TkDbRecord& e, const QColor& byBlock, std::string_view onLayer = {}) const;
    // Lineweight in hundredths of a millimetre, "by layer" and "by block" resolved; -3 for the
    // drawing's default lineweight.
    int lineweightOf(const TkDbRecord& e, int byBlock, std::string_view onLayer = {}) const;
    // False for entities on layers that are off or frozen.
    bool isVisible(const TkDbRecord& e, std::string_view onLayer = {}) const;
    // False for entities on a layer that does not plot: its plot flag is off, or it is "Defpoints",
    // which no CAD user expects on paper.
    bool plots(const TkDbRecord& e, std::string_view onLayer = {}) const;

private:
    struct Layer {
        QColor color;
        int lineweight = -3;
        bool visible = true;
        bool plots = true;
    };
    const Layer* layerOf(const TkDbRecord& e, std::string_view onLayer) const;
    std::unordered_map<std::string, Layer> layers_;
};
