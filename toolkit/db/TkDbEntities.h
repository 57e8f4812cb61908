#pragma once
// Typed entities: the geometry of an entity read once from its tags, with the defaults and repeated
// groups DXF programs write. Everything that draws or measures entities (published pages,
// thumbnails, the host's views, extents) reads them through here, so that a fix to how an entity is
// read reaches all of them at once. Points are as stored: in the entity's OCS where DXF keeps them
// there (circles, arcs, 2D polylines, solids, texts, inserts), else in world coordinates.
#include <array>
#include <string>
#include <vector>

#include "toolkit/db/TkDbGeometry.h"

constexpr double kTkDbPi = 3.14159265358979323846;

struct TkDbLineGeom {  // LINE, world coordinates
    TkDbPoint3 start, end;
};

struct TkDbArcGeom {  // CIRCLE and ARC, in the OCS; angles in radians
    TkDbPoint3 center;
    double radius = 0, start = 0, end = 2 * kTkDbPi;
};

struct TkDbEllipseGeom {  // ELLIPSE, world coordinates; parameters in radians
    TkDbPoint3 center, majorAxis;
    double ratio = 1, start = 0, end = 2 * kTkDbPi;
};

struct TkDbVertex {
    double x = 0, y = 0, z = 0, bulge = 0, width = 0;  // width: the wider of start and end
};

struct TkDbPolylineGeom {  // LWPOLYLINE, and POLYLINE with its VERTEX followers
    std::vector<TkDbVertex> vertices;
    bool closed = false;
    bool worldCoordinates = false;  // 3D polylines and meshes; 2D ones are in the OCS
    double elevation = 0;
    double width = 0;  // the widest segment, constant width included
};

struct TkDbCornersGeom {  // SOLID and TRACE (OCS, drawn 1 2 4 3), 3DFACE (world)
    std::vector<TkDbPoint3> corners;  // in drawing order
    bool filled = false;
    bool worldCoordinates = false;
};

struct TkDbMlineGeom {  // MLINE: each element of the style as a line through its vertices (world)
    std::vector<std::vector<TkDbPoint3>> elements;
    bool closed = false;
};

struct TkDbTextGeom {  // TEXT, ATTRIB, ATTDEF, in the OCS
    TkDbPoint3 insert, alignment;
    bool aligned = false;  // placed by the alignment point
    double height = 2.5, widthFactor = 1, rotation = 0;  // rotation in radians
    int horizontal = 0, vertical = 0;
    std::string text;
    bool invisible = false;  // attributes flagged invisible
};

struct TkDbMTextGeom {  // MTEXT, world coordinates
    TkDbPoint3 insert;
    double height = 2.5, width = 0, rotation = 0;  // rotation in radians, from the direction if given
    int attachment = 1;                             // 1..9, top left to bottom right
    std::string text;                               // the 3 chunks and the 1 group, joined
};

struct TkDbInsertGeom {  // INSERT (and MINSERT arrays), in the OCS
    std::string block;
    TkDbPoint3 insert, scale{1, 1, 1};
    double rotation = 0;  // radians
    int columns = 1, rows = 1;
    double columnSpacing = 0, rowSpacing = 0;
};

struct TkDbSplineGeom {  // SPLINE, world coordinates
    int degree = 3;
    std::vector<double> knots;
    std::vector<std::array<double, 4>> control;  // x, y, z, weight
    std::vector<TkDbPoint3> fit;
};

struct TkDbViewportGeom {  // VIEWPORT: a window in paper space onto model space
    TkDbPoint3 center;
    double width = 0, height = 0;
    int id = 0, status = 0;  // id 1 is the sheet itself; status 0 or less: off
    double viewCenterX = 0, viewCenterY = 0, viewHeight = 0, twist = 0;  // twist in degrees
};

struct TkDbImageGeom {  // IMAGE and WIPEOUT: origin and the two pixel vectors, size in pixels
    TkDbPoint3 origin, u, v;
    double width = 0, height = 0;
    // The clip boundary when clipping is on: in pixels from the top left corner of the image, a
    // rectangle (two corners) or a polygon (at most 10,000 vertices). `clipOutside` keeps what
    // lies outside it instead.
    std::vector<std::pair<double, double>> clip;
    bool clipOutside = false;
};

struct TkDbHatchEdge {
    enum Kind { Line = 1, Arc = 2, EllipseArc = 3, Spline = 4 } kind = Line;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // line ends; arc centre (x0, y0); ellipse major axis end (x1, y1)
    double radius = 0, start = 0, end = 0, ratio = 1;  // arcs, angles in radians
    bool counterClockwise = true;
};

struct TkDbHatchLoop {
    bool isPolyline = false;
    std::vector<TkDbVertex> vertices;  // polyline loops
    bool closed = true;
    std::vector<TkDbHatchEdge> edges;  // edge loops
};

// One family of a hatch pattern's lines, as the HATCH stores it (scale and angle applied): lines
// at `angle` through the base point and every multiple of the offset from it, dashed as `dashes`
// says (positive a dash, negative a gap, 0 a dot; none: continuous).
struct TkDbHatchPatternLine {
    double angle = 0;  // radians
    double baseX = 0, baseY = 0, offsetX = 0, offsetY = 0;
    std::vector<double> dashes;
};

struct TkDbHatchGeom {  // HATCH boundaries in the OCS
    std::vector<TkDbHatchLoop> loops;
    bool solid = false;
    std::vector<TkDbHatchPatternLine> patternLines;  // at most 64, each with at most 64 dashes
};

TkDbLineGeom tkDbLine(const TkDbRecord& e);
TkDbArcGeom tkDbArc(const TkDbRecord& e);  // a CIRCLE is the whole turn
TkDbEllipseGeom tkDbEllipse(const TkDbRecord& e);
TkDbPolylineGeom tkDbLwPolyline(const TkDbRecord& e);
TkDbPolylineGeom tkDbPolyline(const TkDbRecord& e, const std::vector<const TkDbRecord*>& vertices);
TkDbCornersGeom tkDbCorners(const TkDbRecord& e);
TkDbTextGeom tkDbText(const TkDbRecord& e);
TkDbMTextGeom tkDbMText(const TkDbRecord& e);
TkDbInsertGeom tkDbInsert(const TkDbRecord& e);
TkDbSplineGeom tkDbSpline(const TkDbRecord& e);
// Points along a spline's curve from its control points, weights and knots, `samplesPerSpan` to a
// knot span; none when they do not make a curve (then the fit or control points stand for it).
std::vector<TkDbPoint3> tkDbSplinePoints(const TkDbSplineGeom& g, int samplesPerSpan);
TkDbViewportGeom tkDbViewport(const TkDbRecord& e);
TkDbImageGeom tkDbImage(const TkDbRecord& e);
// At most 64 elements and 100,000 vertices, whatever the counts in the file say.
TkDbMlineGeom tkDbMline(const TkDbRecord& e);
TkDbHatchGeom tkDbHatch(const TkDbRecord& e);
// Vertex lists of LEADER (10) and MLINE (11) entities, world coordinates.
std::vector<TkDbPoint3> tkDbPointList(const TkDbRecord& e, int xCode);
