#pragma once
// The models of a least-squares fit from common points: the similarity of the save step, and for
// old plans (paper that shrank unevenly, a skewed scan, the old national systems) the affine map
// and the polynomial of the second degree, over coordinates reduced to the centroid of the used
// points of the coordinate file, a = x − X1, b = y − Y1:
//   affine         X = X1N + a1·a + a2·b,   Y = Y1N + b1·a + b2·b   (six parameters with the
//                  two centroid shifts; at least three points)
//   second degree  X = c0 + c1·a + c2·b + c3·a² + c4·a·b + c5·b², Y = d0 + d1·a + … + d5·b²,
//                  a and b in kilometres (twelve parameters; at least six points)
// Both are fitted by a Householder QR factorization of the design matrix (no normal equations),
// and share the similarity's residuals, σ0, height shift, tolerance and outlier loop.

#include "transform/similarity_fit.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tavrelo {

enum class FitModel { Similarity, Affine, SecondDegree };

// The model's name on the command line and in a model file: "similarity", "affine", "poly2".
const char* modelKey(FitModel model);
// The model a name denotes, or nothing.
std::optional<FitModel> modelOfKey(const std::string& key);
// The model's Greek name, as screens and reports show it ("ομοπαραλληλικός").
const char* modelName(FitModel model);
// The fewest points that fix it: 2, 3, 6.
int leastPointsOf(FitModel model);
// Its parameters counted for σ0's degrees of freedom (the similarity's: 4 with scale, 3 without).
int parameterCountOf(FitModel model, bool scaleWanted);

// An affine or second-degree mapping from the source system into the target system.
struct PlaneModel {
    FitModel model = FitModel::Affine;
    double X1 = 0.0, Y1 = 0.0;     // the centroid of the used points in the coordinate file
    double X1N = 0.0, Y1N = 0.0;   // the centroid of their targets (the affine's shifts)
    // Affine: cX = {a1, a2}, cY = {b1, b2}. Second degree: cX = {c0 … c5}, cY = {d0 … d5}.
    std::array<double, 6> cX{}, cY{};
    double Dh = 0.0;               // height shift, h − H

    // Forward: a point of the coordinate file carried into the target system.
    void carry(double x, double y, double& X, double& Y) const;
    // Back: the point that `carry` takes onto (X, Y). The affine's by its inverse matrix; the
    // second degree's by Newton's method from the linear part's answer, to a tenth of a
    // millimetre. False where no such point is found (outside where the polynomial turns back).
    bool carryBack(double X, double Y, double& x, double& y) const;
};

// The figures that say what an affine map does, as a surveyor reads them: the scale of each
// axis of the coordinate file, the rotation of each (grads, counted like the similarity's f:
// bearings from +Y towards +X) and the shear, the change of the right angle between them.
struct AffineMeaning {
    double scaleX = 1.0, scaleY = 1.0;
    double rotationX = 0.0, rotationY = 0.0;
    double shear = 0.0;
};
AffineMeaning affineMeaning(double a1, double a2, double b1, double b2);

// One named figure of a model, for reports, screens and the result file's header: its name
// (as in a model file), what it is (Greek), and its value.
struct ModelFigure {
    std::string name, meaning;
    double value = 0.0;
};
// The coefficients in the order a model file holds them: X1, Y1, X1N, Y1N, then the affine's
// a1 a2 b1 b2 or the second degree's c0 … c5 and d0 … d5, then Dh.
std::vector<ModelFigure> modelFigures(const PlaneModel& model);
// The formulas the figures stand in, one line for X and one for Y.
std::vector<std::string> modelFormulas(FitModel model);

// A fit of any model: its statistics, the mapping, and for the similarity its own fit (the
// seven parameters that the save step takes).
struct ModelFit : FitStatistics {
    FitModel model = FitModel::Similarity;
    PlaneModel mapping;                      // affine and second degree
    std::optional<SimilarityFit> similarity; // similarity
    double turn = 0.0;  // the mean turn of directions (radians, like the similarity's t)
    double dx = 0.0, dy = 0.0;  // where the centroid X1, Y1 is carried, less itself
};

// Fits `model` to the points whose `use` entry is true. Failures as the similarity's, and for the
// other models: fewer points than the model needs, points that do not fix it (all on a line,
// or the second degree's terms not independent), a result that is not finite.
ModelFit fitModel(const std::vector<CommonPoint>& points, const std::vector<bool>& use,
                  const FitOptions& options, FitModel model);

// Fits, then drops outliers as the similarity does, down to the model's least number of points.
ModelFit dropOutliersOf(const std::vector<CommonPoint>& points, std::vector<bool>& use,
                        const FitOptions& options, FitModel model);

}  // namespace tavrelo
