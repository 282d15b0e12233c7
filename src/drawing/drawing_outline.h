#pragma once
// The outline of a DXF drawing: what a plan needs to show the drawing's model space at a
// glance, kept compactly. Lines, polylines (their bulges as short chords), ellipses and
// splines become paths of vertices; circles and arcs stay circles and arcs; points, the
// anchors of texts and the insert points of blocks become marks. Entities in paper space and
// inside block definitions are left out (an insert shows as its point). The drawing is read as
// it streams past, once, and is never changed.

#include "data/common_points.h"
#include "data/file_io.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrelo {

struct OutlinePoint {
    double x = 0.0, y = 0.0;
};

// A circle or an arc, counter-clockwise from `start` through `sweep` (radians; 2π for a
// circle), angles from +X towards +Y as the drawing counts them.
struct OutlineArc {
    double x = 0.0, y = 0.0, radius = 0.0;
    double start = 0.0, sweep = 0.0;
};

enum class MarkKind : std::uint8_t { Point, Text, Insert };

struct OutlineMark {
    double x = 0.0, y = 0.0;
    MarkKind kind = MarkKind::Point;
};

struct DrawingOutline {
    // The vertices of every path, one path after the other; path i runs from pathEnds[i - 1]
    // (0 for the first) up to pathEnds[i]. A closed path repeats its first vertex at its end.
    std::vector<OutlinePoint> vertices;
    std::vector<std::uint32_t> pathEnds;
    std::vector<OutlineArc> arcs;
    std::vector<OutlineMark> marks;
    long entities = 0;  // model-space entities read (a polyline with its vertices counts once)
    // The box of everything above, when there is anything.
    bool hasExtents = false;
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
};

// Reads the outline of an ASCII DXF drawing. A file that cannot be read, a binary DXF, a group
// code that is not a whole number or a coordinate that does not read is a Failure naming the
// file and the line.
DrawingOutline readDrawingOutline(const PathName& drawing);

class PlaneMapping;

// The outline carried by `mapping`: what the same drawing carried by the same parameters
// shows, without writing it (positions carried, radii scaled, arcs turned).
void carryOutline(DrawingOutline& outline, const PlaneMapping& mapping);

// The points of the coordinate file at `coordinatePath`, at most `limit` of them evenly spread
// over it, carried by the parameter file's mapping (back, with `inverse`), as a drawing carried
// with the same parameters is.
std::vector<PlanPoint> carriedPlan(const std::string& coordinatePath, const std::filesystem::path& parameterPath,
                                   bool inverse, std::size_t limit);

}  // namespace tavrelo
