#pragma once
// The transformation parameters from two common points: rotation (grads), scale, height
// shift, the shift of common point 1 and an accuracy figure.

#include "data/handoff_files.h"
#include "data/point_table.h"

#include <optional>
#include <string>

namespace tavrelo {

struct CommonPointInput {
    int row1 = -1, row2 = -1;                        // list positions, -1 = nothing picked
    std::string X1N, Y1N, h1N, X2N, Y2N, h2N;        // texts as typed (UTF-8)
    bool scaleWanted = false;
};

struct ParameterResult {
    std::string klimax, Dh, f, dx1, Dy1, SD;         // texts in the general number form
    bool distanceMismatch = false;                   // show Dialog1
};

// Computes the parameters from the two picked rows of the coordinate file named in the
// hand-off folder and the six typed target texts. Typed texts are read, and results written,
// with `decimalSeparator` (or '.' when typed).
// std::nullopt: a target text is empty (show Form5). Other failures throw tavrelo::Failure.
std::optional<ParameterResult> computeParameters(const CommonPointInput&, const HandoffFiles&,
                                                 char decimalSeparator = '.');

// The same computation for two source points already read (their X, Y and h; Pn names them
// in messages), wherever they came from. The rows of `input` play no part: the result is the
// one computeParameters gives when those rows hold these two records.
std::optional<ParameterResult> computeParametersFor(const PointRecord& point1, const PointRecord& point2,
                                                    const CommonPointInput& input, char decimalSeparator = '.');

// Bearing of a direction with coordinate differences dX, dY: counted from +Y towards +X,
// radians in [0, 2·kPiCompute).
double directionBearing(double dX, double dY);

// The rotation rho (radians, any sign, not reduced) as shown: cut down towards minus infinity
// to a whole multiple of 1/kAngleQuantum rad, then turned into grads with kPiCompute.
double rotationGrads(double rho);

// The value of π with which rotations are computed and turned into grads. It is this decimal,
// not the full-precision π: the rotation and accuracy figures the program shows depend on it.
inline constexpr double kPiCompute = 3.141592654;

// Lengths of the line between the common points may differ by this much (in the file's
// length unit) before the user is warned.
inline constexpr double kDistanceTolerance = 0.06;

// The rotation is cut down to a whole multiple of 1/kAngleQuantum rad before it is shown.
inline constexpr double kAngleQuantum = 10000000.0;

}  // namespace tavrelo
