#pragma once
// The least-squares similarity transformation from many common points: the save step's own
// mapping, with the pivot at the centroid of the used points,
//     X = k·(dx·cos t + dy·sin t) + X1N,   Y = k·(dy·cos t − dx·sin t) + Y1N,
// dx = x − X1, dy = y − Y1, t = f·kPiApply/200, fitted so that the sum of the squared
// plane misses of the used points is least. Heights shift by the mean difference.

#include "data/common_points.h"
#include "data/handoff_files.h"
#include "transform/parameters.h"

#include <optional>
#include <string>
#include <vector>

namespace tavrelo {

struct FitOptions {
    bool scaleWanted = false;
    // A point whose plane miss v exceeds this is marked; the outlier loop drops such points.
    double tolerance = kDistanceTolerance;
};

// How far one matched point misses: the point carried by the fitted mapping minus its target.
struct Residual {
    bool used = false;
    double vX = 0.0, vY = 0.0;
    double v = 0.0;                // √(vX² + vY²)
    std::optional<double> vh;      // (h − Dh) − H, where both heights exist
    bool overTolerance = false;    // v > tolerance
};

struct SimilarityFit {
    // The seven parameters as the save step reads them.
    double f = 0.0;                // rotation in grads, in (−200, 200]
    double X1 = 0.0, Y1 = 0.0;     // centroid of the used points, coordinate file
    double Dh = 0.0;               // mean of h − H over used points with both heights; 0 if none
    double klimax = 1.0;           // scale, exactly 1 when not wanted
    double X1N = 0.0, Y1N = 0.0;   // centroid of the used points' targets
    double t = 0.0;                // the rotation in radians, atan2(Q, P)

    double dx() const { return X1N - X1; }
    double dy() const { return Y1N - Y1; }

    int used = 0;                  // points used in the plane fit
    int heightsUsed = 0;           // of those, with both heights
    std::optional<double> sigma0;       // √(Σv² / (2n − m)), m = 4 with scale, 3 without
    std::optional<double> heightSigma;  // √(Σvh² / (nh − 1)), from two heights on
    std::vector<Residual> residuals;    // one a matched point, in the same order
    bool scaleWanted = false;
    double tolerance = kDistanceTolerance;
};

// Fits the points whose `use` entry is true (`use` has one entry a point). Failures: fewer than
// two used points, the used points all at one place in the coordinate file, a scale that is
// not a positive finite number, any result that is not finite.
SimilarityFit fitSimilarity(const std::vector<CommonPoint>& points, const std::vector<bool>& use,
                            const FitOptions& options);

// Fits, then drops outliers one at a time: while more than two points are used and the
// largest v among them (the first in order on a tie) exceeds the tolerance, that point is
// marked unused in `use` and the fit is made again. Returns the last fit.
SimilarityFit dropOutliers(const std::vector<CommonPoint>& points, std::vector<bool>& use,
                           const FitOptions& options);

// The seven lines of a parameter file for the fit, as texts: f, Dh, klimax, X1N and Y1N in the
// general number form with '.', X1 and Y1 in the print form.
ParameterLines parameterLinesOf(const SimilarityFit& fit);

}  // namespace tavrelo
