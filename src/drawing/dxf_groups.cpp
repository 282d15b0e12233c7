#include "drawing/dxf_groups.h"

namespace tavrelo::dxf {

namespace {

using enum Move;
using enum Part;
constexpr When Flat = When::FlatPolyline;

// Positions take their y ten codes on and their z twenty on, unless said otherwise.
constexpr GroupRule kRules[] = {
    // ---- entities in world axes
    {"LINE", Main, 10, Position, 20, 30},
    {"LINE", Main, 11, Position, 21, 31},
    {"POINT", Main, 10, Position, 20, 30},
    {"POINT", Main, 50, AngleDegrees},  // the x axis of its display
    {"3DFACE", Main, 10, Position, 20, 30},
    {"3DFACE", Main, 11, Position, 21, 31},
    {"3DFACE", Main, 12, Position, 22, 32},
    {"3DFACE", Main, 13, Position, 23, 33},
    {"ELLIPSE", Main, 10, Position, 20, 30},
    {"ELLIPSE", Main, 11, Vector, 21, 31},  // the major axis from the centre; ratio and parameters stay
    {"SPLINE", Main, 10, Position, 20, 30},  // control points
    {"SPLINE", Main, 11, Position, 21, 31},  // fit points
    {"SPLINE", Main, 12, Direction, 22, 32},  // start tangent
    {"SPLINE", Main, 13, Direction, 23, 33},  // end tangent
    {"SPLINE", Main, 43, Length},  // control point tolerance
    {"SPLINE", Main, 44, Length},  // fit tolerance
    {"XLINE", Main, 10, Position, 20, 30},
    {"XLINE", Main, 11, Direction, 21, 31},
    {"RAY", Main, 10, Position, 20, 30},
    {"RAY", Main, 11, Direction, 21, 31},
    {"MTEXT", Main, 10, Position, 20, 30},
    {"MTEXT", Main, 11, Direction, 21, 31},  // its x axis
    {"MTEXT", Main, 40, Length},  // text height
    {"MTEXT", Main, 41, Length},  // reference rectangle width
    {"MTEXT", Main, 42, Length},  // width and height of the text as drawn
    {"MTEXT", Main, 43, Length},
    {"MTEXT", Main, 46, Length},  // defined annotation height
    {"MTEXT", Main, 50, AngleDegrees},  // degrees, as DXF readers take it (the reference says radians)
    {"MTEXT", MtextColumns, 48, Length},  // column width
    {"MTEXT", MtextColumns, 49, Length},  // column gutter
    {"MTEXT", MtextColumns, 50, Length},  // column heights
    {"LEADER", Main, 10, Position, 20, 30},  // vertices
    {"LEADER", Main, 40, Length},  // annotation height and width
    {"LEADER", Main, 41, Length},
    {"LEADER", Main, 211, Direction, 221, 231},  // horizontal direction
    {"LEADER", Main, 212, Vector, 222, 232},  // last vertex from the block's insertion point
    {"LEADER", Main, 213, Vector, 223, 233},  // annotation placement offset
    {"IMAGE", Main, 10, Position, 20, 30},
    {"IMAGE", Main, 11, Vector, 21, 31},  // one pixel along u and v; sizes and clip in pixels stay
    {"IMAGE", Main, 12, Vector, 22, 32},
    {"WIPEOUT", Main, 10, Position, 20, 30},
    {"WIPEOUT", Main, 11, Vector, 21, 31},
    {"WIPEOUT", Main, 12, Vector, 22, 32},
    {"MLINE", Main, 10, Position, 20, 30},  // start point
    {"MLINE", Main, 11, Position, 21, 31},  // vertices
    {"MLINE", Main, 12, Direction, 22, 32},  // segment directions
    {"MLINE", Main, 13, Direction, 23, 33},  // miter directions
    {"MLINE", Main, 40, Length},  // scale of the style's offsets
    {"MLINE", Main, 41, Length},  // element parameters: distances along the miter
    {"MLINE", Main, 42, Length},  // area fill parameters

    // ---- entities in their own axes (plain for extrusion 0,0,1, mirrored for 0,0,-1)
    {"CIRCLE", Main, 10, OcsPosition, 20, 30},
    {"CIRCLE", Main, 40, Length},
    {"ARC", Main, 10, OcsPosition, 20, 30},
    {"ARC", Main, 40, Length},
    {"ARC", Main, 50, AngleDegrees},
    {"ARC", Main, 51, AngleDegrees},
    {"SOLID", Main, 10, OcsPosition, 20, 30},
    {"SOLID", Main, 11, OcsPosition, 21, 31},
    {"SOLID", Main, 12, OcsPosition, 22, 32},
    {"SOLID", Main, 13, OcsPosition, 23, 33},
    {"TRACE", Main, 10, OcsPosition, 20, 30},
    {"TRACE", Main, 11, OcsPosition, 21, 31},
    {"TRACE", Main, 12, OcsPosition, 22, 32},
    {"TRACE", Main, 13, OcsPosition, 23, 33},
    {"LWPOLYLINE", Main, 10, OcsPosition, 20, 0},
    {"LWPOLYLINE", Main, 38, OcsElevation},
    {"LWPOLYLINE", Main, 40, Length},  // widths; bulges stay
    {"LWPOLYLINE", Main, 41, Length},
    {"LWPOLYLINE", Main, 43, Length},
    // The x and y of a polyline's own point are always 0; its z is the elevation of a 2-D one.
    {"POLYLINE", Main, 30, OcsElevation, 0, 0, Flat},
    {"POLYLINE", Main, 40, Length},
    {"POLYLINE", Main, 41, Length},
    {"VERTEX", Main, 10, OcsPosition, 20, 30, When::FlatVertex},
    {"VERTEX", Main, 10, Position, 20, 30, When::WorldVertex},  // a face record has none
    {"VERTEX", Main, 40, Length},
    {"VERTEX", Main, 41, Length},
    {"VERTEX", Main, 50, AngleDegrees, 0, 0, When::FlatVertex},  // curve-fit tangent
    {"TEXT", Main, 10, OcsPosition, 20, 30},
    {"TEXT", Main, 11, OcsPosition, 21, 31},  // alignment point
    {"TEXT", Main, 40, Length},
    {"TEXT", Main, 50, AngleDegrees},  // width factor and oblique angle stay
    {"ATTRIB", Main, 10, OcsPosition, 20, 30},
    {"ATTRIB", Main, 11, OcsPosition, 21, 31},
    {"ATTRIB", Main, 40, Length},
    {"ATTRIB", Main, 50, AngleDegrees},
    {"ATTRIB", Embedded, 10, Position, 20, 30},
    {"ATTRIB", Embedded, 11, Direction, 21, 31},
    {"ATTRIB", Embedded, 40, Length},
    {"ATTRIB", Embedded, 41, Length},
    {"ATTRIB", Embedded, 46, Length},
    {"ATTDEF", Main, 10, OcsPosition, 20, 30},
    {"ATTDEF", Main, 11, OcsPosition, 21, 31},
    {"ATTDEF", Main, 40, Length},
    {"ATTDEF", Main, 50, AngleDegrees},
    {"ATTDEF", Embedded, 10, Position, 20, 30},
    {"ATTDEF", Embedded, 11, Direction, 21, 31},
    {"ATTDEF", Embedded, 40, Length},
    {"ATTDEF", Embedded, 41, Length},
    {"ATTDEF", Embedded, 46, Length},
    {"INSERT", Main, 10, OcsPosition, 20, 30},
    {"INSERT", Main, 41, ScaleFactor},  // x and y scale; z scale stays
    {"INSERT", Main, 42, ScaleFactor},
    {"INSERT", Main, 44, Length},  // column and row spacing
    {"INSERT", Main, 45, Length},
    {"INSERT", Main, 50, AngleDegrees},
    {"DIMENSION", Main, 10, Position, 20, 30},  // definition point
    {"DIMENSION", Main, 11, OcsPosition, 21, 31},  // middle of the text
    {"DIMENSION", Main, 12, OcsPosition, 22, 32},  // insertion point for clones
    {"DIMENSION", Main, 13, Position, 23, 33},  // definition points
    {"DIMENSION", Main, 14, Position, 24, 34},
    {"DIMENSION", Main, 15, Position, 25, 35},
    {"DIMENSION", Main, 16, OcsPosition, 26, 36},  // arc of an angular dimension
    {"DIMENSION", Main, 40, Length},  // leader length
    {"DIMENSION", Main, 42, Length, 0, 0, When::Measured},  // the measurement, when a length
    {"DIMENSION", Main, 50, AngleDegrees},  // rotated dimension; text rotation 53 stays
    {"DIMENSION", Main, 51, NegatedDegrees},  // horizontal direction
    {"HATCH", Main, 30, OcsElevation},  // its own point: x and y are 0, z the elevation
    {"HATCH", HatchPolyline, 10, OcsPosition, 20, 0},  // bulges stay
    {"HATCH", HatchLine, 10, OcsPosition, 20, 0},
    {"HATCH", HatchLine, 11, OcsPosition, 21, 0},
    {"HATCH", HatchArc, 10, OcsPosition, 20, 0},
    {"HATCH", HatchArc, 40, Length},
    {"HATCH", HatchArc, 50, AngleDegrees, 0, 0, When::Counterclockwise},
    {"HATCH", HatchArc, 51, AngleDegrees, 0, 0, When::Counterclockwise},
    {"HATCH", HatchArc, 50, NegatedDegrees, 0, 0, When::Clockwise},
    {"HATCH", HatchArc, 51, NegatedDegrees, 0, 0, When::Clockwise},
    {"HATCH", HatchEllipse, 10, OcsPosition, 20, 0},
    {"HATCH", HatchEllipse, 11, OcsVector, 21, 0},  // major axis; ratio and angles from it stay
    {"HATCH", HatchSpline, 10, OcsPosition, 20, 0},  // knots and weights stay
    {"HATCH", HatchSpline, 11, OcsPosition, 21, 0},
    {"HATCH", HatchSpline, 12, OcsDirection, 22, 0},
    {"HATCH", HatchSpline, 13, OcsDirection, 23, 0},
    {"HATCH", HatchPattern, 52, AngleDegrees},  // pattern angle
    {"HATCH", HatchPattern, 41, Length},  // pattern scale or spacing
    {"HATCH", HatchPattern, 53, AngleDegrees},  // pattern line angle
    {"HATCH", HatchPattern, 43, OcsPosition, 44, 0},  // pattern line base point
    {"HATCH", HatchPattern, 45, OcsVector, 46, 0},  // pattern line offset
    {"HATCH", HatchPattern, 49, Length},  // dash lengths
    {"HATCH", HatchPattern, 47, Length},  // pixel size
    {"HATCH", HatchSeeds, 10, OcsPosition, 20, 0},
    {"HATCH", HatchGradient, 460, AngleRadians},

    // ---- extended data of any carried entity (1010 is a plain point and stays)
    {"", Main, 1011, Position, 1021, 1031},
    {"", Main, 1012, Vector, 1022, 1032},  // displacement
    {"", Main, 1013, Direction, 1023, 1033},
    {"", Main, 1041, Length},  // distance
    {"", Main, 1042, ScaleFactor},

    // ---- header variables
    {"$EXTMIN", Main, 10, BoxCorner, 20, 30},
    {"$EXTMAX", Main, 10, BoxCorner, 20, 30},
    {"$LIMMIN", Main, 10, BoxCorner, 20, 0},
    {"$LIMMAX", Main, 10, BoxCorner, 20, 0},
    {"$INSBASE", Main, 10, Position, 20, 30},
    {"$UCSORG", Main, 10, Position, 20, 30},
    {"$UCSXDIR", Main, 10, Direction, 20, 30},
    {"$UCSYDIR", Main, 10, Direction, 20, 30},

    // ---- the active view (VPORT *ACTIVE): its centre and height
    {"*ACTIVE", Main, 12, Position, 22, 0},
    {"*ACTIVE", Main, 40, Length},
};

// Angles, scales and elevations that entities leave out when they are 0 (or 1), but that a
// turned, scaled or shifted drawing must state. Heights of points written without a z are
// added by the rewriter after the point's y.
constexpr MissingGroup kMissing[] = {
    {"TEXT", 50, 0, 40, 0},
    {"ATTRIB", 50, 0, 40, 0},
    {"ATTDEF", 50, 0, 40, 0},
    {"INSERT", 41, 1, 10, 0},
    {"INSERT", 42, 1, 10, 0},
    {"INSERT", 50, 0, 10, 0},
    {"MTEXT", 11, 1, 40, 0, 50, When::Always, 0, 0},  // its x axis, unless a rotation stands for it
    {"DIMENSION", 50, 0, 14, 0, 0, When::Linear},
    {"LWPOLYLINE", 38, 0, 0, 10},
    {"POLYLINE", 30, 0, 20, 0, 0, When::FlatPolyline},   // after its own point's y,
    {"POLYLINE", 30, 0, 0, 70, 20, When::FlatPolyline},  // or before its flags when it has none
};

constexpr unsigned kAnyPath = bit(HatchPaths) | bit(HatchPolyline) | bit(HatchEdges) | bit(HatchLine) |
                              bit(HatchArc) | bit(HatchEllipse) | bit(HatchSpline);
constexpr unsigned kEdgePath = bit(HatchEdges) | bit(HatchLine) | bit(HatchArc) | bit(HatchEllipse) | bit(HatchSpline);

constexpr PartSwitch kSwitches[] = {
    {"HATCH", bit(Main), 91, 0, 0, HatchPaths},  // count of boundary paths
    {"HATCH", kAnyPath, 92, 2, 2, HatchPolyline},  // path type: polyline
    {"HATCH", kAnyPath, 92, 2, 0, HatchEdges},
    {"HATCH", kEdgePath, 72, -1, 1, HatchLine},  // edge type
    {"HATCH", kEdgePath, 72, -1, 2, HatchArc},
    {"HATCH", kEdgePath, 72, -1, 3, HatchEllipse},
    {"HATCH", kEdgePath, 72, -1, 4, HatchSpline},
    {"HATCH", bit(Main) | kAnyPath, 75, 0, 0, HatchPattern},  // hatch style: the paths are done
    {"HATCH", bit(HatchPattern), 98, 0, 0, HatchSeeds},
    {"HATCH", bit(HatchPattern) | bit(HatchSeeds), 450, 0, 0, HatchGradient},
    {"MTEXT", bit(Main), 75, 0, 0, MtextColumns},  // column type
    {"ATTRIB", bit(Main), 101, 0, 0, Embedded},
    {"ATTDEF", bit(Main), 101, 0, 0, Embedded},
};

}  // namespace

std::span<const GroupRule> groupRules() { return kRules; }
std::span<const PartSwitch> partSwitches() { return kSwitches; }
std::span<const MissingGroup> missingGroups() { return kMissing; }

}  // namespace tavrelo::dxf
