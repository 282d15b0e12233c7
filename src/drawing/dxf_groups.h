#pragma once
// What each numeric group of a DXF drawing is, entity type by entity type, as the public DXF
// reference describes it: the one table the drawing rewriter follows.

#include <cstdint>
#include <span>
#include <string_view>

namespace tavrelo::dxf {

// How a group's number moves with the plane mapping.
enum class Move : std::uint8_t {
    Position,        // a world position: x and y by the mapping, z by the height shift
    OcsPosition,     // a position in the entity's own axes (mirrored when its extrusion is 0,0,-1)
    OcsElevation,    // the z alone of the entity's own plane
    Direction,       // a world direction: turned
    OcsDirection,    // a direction in the entity's own axes: turned
    Vector,          // a world vector that carries a length: turned and scaled
    OcsVector,       // the same in the entity's own axes
    Length,          // a length: scaled
    ScaleFactor,     // a scale factor of a block in x or y: scaled
    AngleDegrees,    // an angle counter-clockwise in the entity's plane, in degrees: turned
    AngleRadians,    // the same in radians
    NegatedDegrees,  // the negative of such an angle, in degrees (dimension's horizontal direction)
    BoxCorner,       // a corner of a header box: the box of the carried corners
};

// Parts of an entity where one group code means different things. An entity starts in Main.
enum class Part : std::uint8_t {
    Main,
    HatchPaths,        // HATCH after its path count, before the first path
    HatchPolyline,     // a polyline boundary path
    HatchEdges,        // an edge boundary path, before its first edge
    HatchLine,         // edges of a boundary path
    HatchArc,
    HatchEllipse,
    HatchSpline,
    HatchPattern,      // the pattern after the boundary paths
    HatchSeeds,
    HatchGradient,
    MtextColumns,      // MTEXT's column data
    Embedded,          // ATTRIB's and ATTDEF's embedded multi-line text
};
constexpr unsigned bit(Part p) { return 1u << static_cast<unsigned>(p); }

// Which entities of a type a row concerns, by the flags of the entity (group 70).
enum class When : std::uint8_t {
    Always,
    FlatPolyline,  // POLYLINE of two dimensions (not a 3-D polyline, mesh or polyface)
    FlatVertex,    // VERTEX of such a polyline: in the polyline's own axes
    WorldVertex,   // VERTEX of a 3-D polyline, mesh or polyface: in world axes
    Measured,      // DIMENSION whose measurement is a length (not an angle)
    Linear,        // DIMENSION rotated, horizontal or vertical (its angle 50 sets its direction)
    Counterclockwise,  // HATCH arc edge drawn counter-clockwise (its group 73 is not 0)
    Clockwise,         // HATCH arc edge drawn clockwise: its angles are stored as 360 minus the angle
};

// One numeric group: in the entity of `type` (or header variable, or "*ACTIVE" view; "" for
// extended data of any entity), in `part`, group `code` moves as `move`. Positions and vectors
// name the codes of their y (and z, 0 for none), which follow the x.
struct GroupRule {
    std::string_view type;
    Part part;
    int code;
    Move move;
    int y = 0, z = 0;
    When when = When::Always;
};

// A group that moves an entity from one part to another: in any part of `from`, group `code`
// whose value v has (v & mask) == value (mask 0: any value) leads into `to`.
struct PartSwitch {
    std::string_view type;
    unsigned from;
    int code;
    int mask, value;
    Part to;
};

// A group that an entity may leave out, its value then `value`, which the carried entity must
// state when the mapping moves it: an angle of 0 turns, a scale of 1 scales, a height of 0
// shifts. It goes in after the group `after` (with the y and z that follow it) or, when `after`
// is 0, before the first group `before`; it is left out when the entity has `unless`. It then
// moves by the entity's rule for `code`.
struct MissingGroup {
    std::string_view type;
    int code;
    double value;
    int after, before;
    int unless = 0;
    When when = When::Always;
    double y = 0, z = 0;  // the rest of a direction
};

std::span<const GroupRule> groupRules();
std::span<const MissingGroup> missingGroups();
std::span<const PartSwitch> partSwitches();

}  // namespace tavrelo::dxf
