#pragma once
// A DXF drawing carried by the seven parameters: every model-space position, direction, length,
// scale factor and angle moved as the plane mapping moves points, every other byte of the file
// kept as it was.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tavrelo {

struct DrawingOptions {
    bool inverse = false;      // carry from the target system back into the source system
    bool skipUnknown = false;  // leave entities the rewriter cannot carry as they are, and list them
    // The ENTITIES section of a drawing of more than two megabytes is carried in pieces of a
    // quarter of a megabyte on two threads. Tests ask for pieces of this many bytes instead,
    // each carried into memory first, as the second thread carries them.
    std::uint64_t pieceBytes = 0;
};

// An entity left as it was: its type and its handle (group 5; empty when it has none).
struct StayedEntity {
    std::string type, handle;
};

struct DrawingSummary {
    std::map<std::string, long> carried;  // entity type -> how many were carried
    std::vector<StayedEntity> stayed;     // left as they were (only with skipUnknown)
    bool hasExtents = false;              // false when nothing in model space has a position
    double extentMin[3] = {0, 0, 0}, extentMax[3] = {0, 0, 0};  // the carried drawing's new $EXTMIN/$EXTMAX
};

// Writes at `resultPath` the drawing `drawingPath` carried by the parameter file `parameterPath`
// (through OutputFile: nothing written on failure, an existing file untouched). Throws
// tavrelo::Failure with a Greek message naming what failed and where (line, entity type, handle).
//
// The drawing is an ASCII DXF (LF or CR LF line ends, kept as found) read in two streaming
// passes: the first finds the dimension blocks that model-space dimensions draw, the second
// writes. Only the numbers that move are written anew, in the shortest form that reads back to
// the same double; every other line is copied byte for byte. An angle, scale, direction or
// height that an entity leaves out at its default (a text without a rotation, a point without
// a z) is added after the groups it belongs with, since the carried entity no longer has the
// default. The extents in the header become the box of the carried corners of the old box.
DrawingSummary transformDrawing(const std::string& resultPath, const std::string& drawingPath,
                                const std::filesystem::path& parameterPath, const DrawingOptions& = {});

}  // namespace tavrelo
