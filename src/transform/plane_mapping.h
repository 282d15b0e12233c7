#pragma once
// The mapping that the seven parameters define, from the source system into the target system
// and back: the one place its arithmetic is written, used by the save step for point files and
// by anything else that carries coordinates with a parameter file.

#include "data/handoff_files.h"

#include <filesystem>

namespace tavrelo {

// Which way a mapping carries: forward from the source system into the target system, or
// back from the target system into the source system (for stake-out).
enum class Direction { Forward, Inverse };

class PlaneMapping {
public:
    // The mapping of parameters read from `parameterFile` (named in the messages). A parameter
    // that is a text, or a shift X1N − X1, Y1N − Y1 that is not a finite number, is a Failure.
    PlaneMapping(const TransformParameters&, const std::filesystem::path& parameterFile,
                 Direction = Direction::Forward);

    // The plane position (x, y) carried the mapping's way, before any cut.
    // Forward, with dx = x − X1, dy = y − Y1 and t = f·kPiApply/200 (bearings counted from +Y
    // towards +X, so a positive f turns clockwise on the plan):
    //   X = k·(dx·cos t + dy·sin t) + X1N,   Y = k·(dy·cos t − dx·sin t) + Y1N.
    // Inverse, with dX = x − X1N, dY = y − Y1N:
    //   X = X1 + (dX·cos t − dY·sin t)/k,    Y = Y1 + (dX·sin t + dY·cos t)/k.
    // Inline: the save step calls it once a point.
    void carry(double x, double y, double& X, double& Y) const;
    // A height carried: h − Dh forward, h + Dh back.
    double height(double h) const { return inverse_ ? h + Dh_ : h - Dh_; }
    // A direction vector turned (no shift, no scale).
    void turn(double x, double y, double& X, double& Y) const;

    bool inverse() const { return inverse_; }
    // Rotation t in radians as the save step takes it (f·kPiApply/200): the angle by which
    // directions turn clockwise, forward.
    double rotation() const { return theta_; }
    // The factor lengths take this way: k forward, 1/k back.
    double lengthFactor() const { return inverse_ ? 1.0 / k_ : k_; }

    // The numbers of the parameter file.
    double f() const { return f_; }
    double X1() const { return X1_; }
    double Y1() const { return Y1_; }
    double Dh() const { return Dh_; }
    double k() const { return k_; }
    double X1N() const { return X1N_; }
    double Y1N() const { return Y1N_; }

private:
    double f_, X1_, Y1_, Dh_, k_, X1N_, Y1N_;
    double theta_;
    double cosTheta_, sinTheta_;  // of t, for the way back and for directions
    double cosMinus_, sinMinus_;  // of −t, as the save step has always taken them
    bool inverse_;
};

inline void PlaneMapping::carry(double x, double y, double& X, double& Y) const
{
    if (!inverse_) {
        // Every direction seen from common point 1 turns by t, is scaled and carried onto
        // common point 1's target position. The products and sums in this order are the
        // save step's, on which its cut results depend.
        const double c = cosMinus_;
        const double s = sinMinus_;
        const double dx = x - X1_;
        const double dy = y - Y1_;
        const double u = dx * c - dy * s;
        const double v = dy * c + dx * s;
        X = k_ * u + X1N_;
        Y = k_ * v + Y1N_;
        return;
    }
    const double dX = x - X1N_;
    const double dY = y - Y1N_;
    X = X1_ + (dX * cosTheta_ - dY * sinTheta_) / k_;
    Y = Y1_ + (dX * sinTheta_ + dY * cosTheta_) / k_;
}

}  // namespace tavrelo
