#pragma once
// The least-squares similarity transformation from many common points: the save step's own
// mapping, with the pivot at the centroid of the used points,
//     X = k·(dx·cos t + dy·sin t) + X1N,   Y = k·(dy·cos t − dx·sin t) + Y1N,
// dx = x − X1, dy = y − Y1, t = f·kPiApply/200, fitted so that the sum of the squared
// plane misses of the used points is least. Heights shift by the mean difference.

#include "data/common_points.h"
#include "data/handoff_files.h"
#include "transform/parameters.h"

#include <cmath>
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

// What every least-squares fit gives besides its own parameters: the height shift, the counts,
// the residuals of every matched point and the standard errors.
struct FitStatistics {
    double Dh = 0.0;               // mean of h − H over used points with both heights; 0 if none
    int used = 0;                  // points used in the plane fit
    int heightsUsed = 0;           // of those, with both heights
    std::optional<double> sigma0;       // √(Σv² / (2n − m)), m the model's parameter count
    std::optional<double> heightSigma;  // √(Σvh² / (nh − 1)), from two heights on
    std::vector<Residual> residuals;    // one a matched point, in the same order
    double tolerance = kDistanceTolerance;
};

struct SimilarityFit : FitStatistics {
    // The seven parameters as the save step reads them (Dh among the statistics).
    double f = 0.0;                // rotation in grads, in (−200, 200]
    double X1 = 0.0, Y1 = 0.0;     // centroid of the used points, coordinate file
    double klimax = 1.0;           // scale, exactly 1 when not wanted
    double X1N = 0.0, Y1N = 0.0;   // centroid of the used points' targets
    double t = 0.0;                // the rotation in radians, atan2(Q, P)

    double dx() const { return X1N - X1; }
    double dy() const { return Y1N - Y1; }

    bool scaleWanted = false;
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

// For every model's fit: the height shift, residuals, σ0 (2n − `parameterCount` degrees of
// freedom) and height σ of the used points, where `carried(point, vX, vY)` gives the plane
// miss of a point. `fit.used` must be set; every figure must be a finite number.
template <class Carried>
void completeFit(const std::vector<CommonPoint>& points, const std::vector<bool>& use, int parameterCount,
                 Carried carried, FitStatistics& fit);

// The outlier loop of every model: while more than `leastPoints` points are used and the
// largest v among them (the first in order on a tie) exceeds the tolerance, that point is marked
// unused in `use` and `fitOnce()` is made again. Returns the last fit.
template <class Fit, class FitOnce>
Fit dropWorstPoints(std::vector<bool>& use, int leastPoints, double tolerance, FitOnce fitOnce)
{
    for (;;) {
        Fit fit = fitOnce();
        if (fit.used <= leastPoints)
            return fit;
        std::size_t worst = use.size();
        for (std::size_t i = 0; i < use.size(); ++i)
            if (use[i] && (worst == use.size() || fit.residuals[i].v > fit.residuals[worst].v))
                worst = i;
        if (!(fit.residuals[worst].v > tolerance))
            return fit;
        use[worst] = false;
    }
}

// The mean of `value` over the `n` used points, corrected by the mean of what is left after it,
// so that national-grid coordinates (millions of metres) keep every digit a double holds.
template <class Get>
double meanOfUsed(const std::vector<CommonPoint>& points, const std::vector<bool>& use, int n, Get value)
{
    long double sum = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (use[i])
            sum += value(points[i]);
    const double first = static_cast<double>(sum / n);
    long double rest = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (use[i])
            rest += value(points[i]) - first;
    return first + static_cast<double>(rest / n);
}

// A tolerance that is not a non-negative number: a Failure.
void requireTolerance(const FitOptions& options);

// A figure of a fit that is not a finite number: a Failure.
void requireFiniteFigure(double value);

template <class Carried>
void completeFit(const std::vector<CommonPoint>& points, const std::vector<bool>& use, int parameterCount,
                 Carried carried, FitStatistics& fit)
{
    // Height shift: the mean of h − H over the used points that have both heights.
    long double sumDh = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (use[i] && points[i].h && points[i].H) {
            sumDh += *points[i].h - *points[i].H;
            ++fit.heightsUsed;
        }
    fit.Dh = fit.heightsUsed > 0 ? static_cast<double>(sumDh / fit.heightsUsed) : 0.0;
    requireFiniteFigure(fit.Dh);

    // Residuals of every point, used or not: carried by the mapping, minus its target.
    long double sumV2 = 0, sumVh2 = 0;
    fit.residuals.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const CommonPoint& p = points[i];
        Residual& r = fit.residuals[i];
        r.used = use[i];
        carried(p, r.vX, r.vY);
        r.v = std::hypot(r.vX, r.vY);
        if (p.h && p.H)
            r.vh = (*p.h - fit.Dh) - *p.H;
        requireFiniteFigure(r.v);
        if (r.vh)
            requireFiniteFigure(*r.vh);
        r.overTolerance = r.v > fit.tolerance;
        if (r.used) {
            sumV2 += static_cast<long double>(r.v) * r.v;
            if (r.vh)
                sumVh2 += static_cast<long double>(*r.vh) * *r.vh;
        }
    }
    const int redundancy = 2 * fit.used - parameterCount;
    if (redundancy > 0)
        fit.sigma0 = static_cast<double>(std::sqrt(sumV2 / redundancy));
    if (fit.heightsUsed >= 2)
        fit.heightSigma = static_cast<double>(std::sqrt(sumVh2 / (fit.heightsUsed - 1)));
}

}  // namespace tavrelo
