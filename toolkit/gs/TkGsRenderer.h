#pragma once
// Drawing a layout with QPainter: paper-space entities, block references, and model space seen
// through the layout's viewports, in the drawing's colours and lineweights on white paper.
#include <QImage>
#include <QPainterPath>
#include <QPainter>
#include <QRectF>
#include <QTransform>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "toolkit/gs/TkGsColors.h"

struct TkDbMTextGeom;
#include "toolkit/gs/TkGsLinetypes.h"

class TkDbDatabase;
class TkDbRecord;
struct TkDbHatchGeom;

// How colours go to paper: as the screen shows them, all black (as offices plot, so that yellow
// text stays legible on white), or as greys of the same lightness.
enum class TkGsPlotStyle { AsDisplayed, Monochrome, Grayscale };

struct TkGsOptions {
    // Pixels per lineweight step: entry i of the pixel table is int(scale * k(i) + 0.5).
    double lineweightScale = 0.5;
    // Lineweights shown; when false every line is one pixel (the drawing's LWDISPLAY decides by default).
    bool showLineweights = false;
    // Plotting: device units per millimetre of paper. Lines then get their true widths (a thin
    // line 0.18 mm, "by default" 0.25 mm) whatever LWDISPLAY says.
    double deviceUnitsPerMm = 0;
    TkGsPlotStyle plotStyle = TkGsPlotStyle::AsDisplayed;
    // Text drawn as text (searchable and copyable in a PDF) instead of as glyph outlines.
    bool textAsText = false;
    // The plot's rules: layers that do not plot (their plot flag off, "Defpoints") are left out,
    // as on paper; previews and the screen show them, as CAD hosts do.
    bool plotRules = false;
    // Points rounded to whole device units. On a fine device (a PDF at 1200 units an inch) nobody
    // sees the difference and the page holds half the digits; on a screen it would shake lines.
    bool wholeDeviceUnits = false;
};

class TkGsRenderer {
public:
    explicit TkGsRenderer(const TkDbDatabase& db, TkGsOptions options = {});
    // The area the layout's contents cover, in its own units: its stored extents when they are
    // valid, else computed. False for an unknown or empty layout.
    bool layoutBox(const std::string& layout, QRectF& box) const;
    // The layout in a `width` x `height` image: white paper, its extents grown by 1.1 and centred.
    // A null image when the layout does not exist. `notes`, when given, receives what the budgets
    // of a drawing pass left out (TkDbBudget: nesting too deep, too many entities from blocks).
    QImage renderLayout(const std::string& layout, int width, int height, std::vector<std::string>* notes = nullptr) const;
    // Draws the layout with `worldToDevice`; the painter's clip and background are the caller's.
    // Block references and viewports are drawn under one TkDbBudget for the whole layout.
    void paint(QPainter& p, const std::string& layout, const QTransform& worldToDevice,
               std::vector<std::string>* notes = nullptr) const;
    // The pixel width of lineweight `lw` (hundredths of a millimetre).
    int lineweightPixels(int lw) const;

private:
    struct Pass;
    struct Ctx {
        Pass* pass = nullptr;
        QColor byBlock{0, 0, 0};
        int lwByBlock = 0;
        int depth = 0;
        bool counted = false;  // drawn through a reference or a viewport: paid from the budget
        // Layers frozen in the viewport being drawn, upper case; null outside a viewport.
        const std::unordered_set<std::string>* frozen = nullptr;
        const TkGsLinetype* ltByBlock = nullptr;  // the linetype of the reference drawn through
        // Device units per paper unit while a viewport draws the model and paper space scales its
        // linetypes (PSLTSCALE); 0 elsewhere.
        double paperUnits = 0;
        int xrefLevel = 0;  // how many external references deep this is drawn
        // The layer that entities on layer "0" are drawn on: the reference's, inside a block.
        std::string_view layer0;
    };
    // The layer `e` is drawn on in `ctx`.
    static std::string_view layerIn(const TkDbRecord& e, const Ctx& ctx);
    // The context of a block drawn through `e` (a reference, a dimension, a multileader) in
    // `color`: BYBLOCK takes e's lineweight and linetype, layer "0" takes e's layer.
    Ctx through(const TkDbRecord& e, const Ctx& ctx, const QColor& color) const;
    void drawBlock(QPainter& p, uint64_t blockRecord, const QTransform& xf, const Ctx& ctx, bool paperSpace) const;
    void drawEntity(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx,
                    const std::vector<const TkDbRecord*>& followers) const;
    void drawInsert(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx) const;
    void drawViewport(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx, bool withFrame) const;
    // Draws one copy of a referenced block, its base point moved by `placement` (a dimension's
    // block has none and stays where it is); false when the budget is spent.
    bool drawReferenced(QPainter& p, std::string_view block, const QTransform* placement, const QTransform& xf,
                        const Ctx& inner) const;
    // An external reference: the model space of the drawing it names, found as CAD hosts look for
    // it; a missing or unreadable one is noted. False when the budget is spent.
    bool drawXref(QPainter& p, const std::string& xref, bool overlay, const QTransform& at, const Ctx& inner) const;
    // A raster image from the file its definition names (PNG, JPEG, TIFF, as Qt reads them), over
    // the rectangle the entity spans; a missing, unreadable or oversized one is noted.
    void drawImage(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx) const;
    void drawText(QPainter& p, const TkDbRecord& e, const QTransform& xf, const QColor& c) const;
    void drawMText(QPainter& p, const TkDbMTextGeom& g, const QTransform& xf, const QColor& c) const;
    // A multileader: its lines, landings and arrowheads with the entity's pen, then its text or block.
    void drawMLeader(QPainter& p, const TkDbRecord& e, const QTransform& xf, const Ctx& ctx, const QColor& c) const;
    void drawHatch(QPainter& p, const TkDbRecord& e, const QTransform& xf, const QColor& c) const;
    // The pattern lines of `g` over `area` (the boundary's box, in its own units), in device units,
    // a path per family into `out` (room for 64). False when they are too fine or too many to draw.
    bool hatchLines(const TkDbHatchGeom& g, const QRectF& area, const QTransform& full, QPainterPath* out) const;
    // `path` mapped to the device, rounded as the options say.
    QPainterPath onDevice(const QPainterPath& path, const QTransform& toDevice) const;
    QPen penFor(const TkDbRecord& e, const Ctx& ctx, QColor& color) const;
    QColor plotted(const QColor& c) const;
    void fillText(QPainter& p, const QString& text, double height, double widthFactor, const QTransform& at, const QColor& color) const;

    const TkDbDatabase& db_;
    TkGsOptions options_;
    TkGsColorResolver colors_;
    TkGsLinetypes linetypes_;
    uint8_t lwPixels_[24];
    double defaultLineweightMm_ = 0.25;
};

// A block's stored preview icon (a device-independent bitmap: header, colour table, bits) as an
// image; null when the data is too short for what its header says, or of a kind not drawn.
QImage tkGsIconImage(const std::vector<unsigned char>& dib);
