#include "transform/model_fit.h"

#include "text/failure.h"
#include "transform/apply_transformation.h"

#include <algorithm>
#include <cmath>

namespace tavrelo {

namespace {

// The second degree's a and b are in kilometres, so that its terms stay of like size.
constexpr double kMetresPerKm = 1000.0;

// A column of the design matrix whose part left after the columns before it is below this share
// of its length does not count as independent of them.
constexpr double kIndependence = 1e-9;

// Points whose spread across their best line is below this share of their spread along it lie
// on a line as far as an affine map is concerned: it would stretch across the line by a figure
// that the points' noise alone decides.
constexpr double kLineShare = 1e-3;

// The least-squares solution of A·u ≈ r for two right-hand sides at once, A of n rows and p
// columns (column by column), by Householder reflections of A's columns scaled to unit length.
// Nothing when the columns are not independent.
std::optional<std::array<std::vector<double>, 2>> solveLeastSquares(std::vector<double> A, std::size_t n,
                                                                    std::size_t p,
                                                                    std::array<std::vector<double>, 2> r)
{
    std::vector<double> scale(p);
    for (std::size_t j = 0; j < p; ++j) {
        double norm = 0;
        for (std::size_t i = 0; i < n; ++i)
            norm = std::hypot(norm, A[j * n + i]);
        if (!(norm > 0) || !std::isfinite(norm))
            return std::nullopt;
        scale[j] = norm;
        for (std::size_t i = 0; i < n; ++i)
            A[j * n + i] /= norm;
    }
    for (std::size_t k = 0; k < p; ++k) {
        double* const column = &A[k * n];
        double norm = 0;
        for (std::size_t i = k; i < n; ++i)
            norm = std::hypot(norm, column[i]);
        // The unit column's part independent of the columns before it.
        if (!(norm > kIndependence))
            return std::nullopt;
        // The reflection that takes column k below the diagonal onto (alpha, 0, …, 0).
        const double alpha = column[k] > 0 ? -norm : norm;
        std::vector<double> v(column + k, column + n);
        v[0] -= alpha;
        double vv = 0;
        for (double e : v)
            vv += e * e;
        auto reflect = [&](double* target) {
            double dot = 0;
            for (std::size_t i = k; i < n; ++i)
                dot += v[i - k] * target[i];
            const double factor = 2 * dot / vv;
            for (std::size_t i = k; i < n; ++i)
                target[i] -= factor * v[i - k];
        };
        for (std::size_t j = k + 1; j < p; ++j)
            reflect(&A[j * n]);
        for (auto& side : r)
            reflect(side.data());
        column[k] = alpha;
        std::fill(column + k + 1, column + n, 0.0);
    }
    // R·u = Qᵀr, upwards; then the columns' scale taken out of u.
    std::array<std::vector<double>, 2> u{std::vector<double>(p), std::vector<double>(p)};
    for (std::size_t s = 0; s < 2; ++s) {
        for (std::size_t k = p; k-- > 0;) {
            double sum = r[s][k];
            for (std::size_t j = k + 1; j < p; ++j)
                sum -= A[j * n + k] * u[s][j];
            u[s][k] = sum / A[k * n + k];
        }
        for (std::size_t j = 0; j < p; ++j)
            u[s][j] /= scale[j];
    }
    return u;
}

// True when the used points lie on a line as the affine map sees it: the smaller principal
// spread of their reduced coordinates below kLineShare of the larger.
bool onALine(const std::vector<CommonPoint>& points, const std::vector<bool>& use, double X1, double Y1)
{
    long double saa = 0, sbb = 0, sab = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (use[i]) {
            const long double a = points[i].x - X1, b = points[i].y - Y1;
            saa += a * a;
            sbb += b * b;
            sab += a * b;
        }
    const long double mean = (saa + sbb) / 2, half = std::hypot((saa - sbb) / 2, sab);
    const long double largest = mean + half, smallest = std::max<long double>(mean - half, 0);
    return !(largest > 0) || smallest <= kLineShare * kLineShare * largest;
}

double grads(double radians)
{
    return radians * 200 / kPiApply;
}

}  // namespace

const char* modelKey(FitModel model)
{
    switch (model) {
    case FitModel::Affine: return "affine";
    case FitModel::SecondDegree: return "poly2";
    default: return "similarity";
    }
}

std::optional<FitModel> modelOfKey(const std::string& key)
{
    for (FitModel model : {FitModel::Similarity, FitModel::Affine, FitModel::SecondDegree})
        if (key == modelKey(model))
            return model;
    return std::nullopt;
}

const char* modelName(FitModel model)
{
    switch (model) {
    case FitModel::Affine: return "ομοπαραλληλικός (affine)";
    case FitModel::SecondDegree: return "πολυωνυμικός 2ου βαθμού";
    default: return "ομοιότητας";
    }
}

int leastPointsOf(FitModel model)
{
    return model == FitModel::Affine ? 3 : model == FitModel::SecondDegree ? 6 : 2;
}

int parameterCountOf(FitModel model, bool scaleWanted)
{
    return model == FitModel::Affine ? 6 : model == FitModel::SecondDegree ? 12 : scaleWanted ? 4 : 3;
}

void PlaneModel::carry(double x, double y, double& X, double& Y) const
{
    if (model == FitModel::Affine) {
        const double a = x - X1, b = y - Y1;
        X = X1N + cX[0] * a + cX[1] * b;
        Y = Y1N + cY[0] * a + cY[1] * b;
        return;
    }
    const double a = (x - X1) / kMetresPerKm, b = (y - Y1) / kMetresPerKm;
    const double terms[6] = {1.0, a, b, a * a, a * b, b * b};
    // The constant last, so that the small terms are summed before the large one.
    double sumX = 0, sumY = 0;
    for (int j = 5; j >= 1; --j) {
        sumX += cX[j] * terms[j];
        sumY += cY[j] * terms[j];
    }
    X = cX[0] + sumX;
    Y = cY[0] + sumY;
}

bool PlaneModel::carryBack(double X, double Y, double& x, double& y) const
{
    if (model == FitModel::Affine) {
        const double det = cX[0] * cY[1] - cX[1] * cY[0];
        if (!(std::abs(det) > 0) || !std::isfinite(det))
            return false;
        const double A = X - X1N, B = Y - Y1N;
        x = X1 + (cY[1] * A - cX[1] * B) / det;
        y = Y1 + (cX[0] * B - cY[0] * A) / det;
        return std::isfinite(x) && std::isfinite(y);
    }
    // Newton's method on (a, b) in kilometres, from the answer of the linear part.
    auto solve = [](double j11, double j12, double j21, double j22, double r1, double r2, double& u, double& v) {
        const double det = j11 * j22 - j12 * j21;
        if (!(std::abs(det) > 0) || !std::isfinite(det))
            return false;
        u = (j22 * r1 - j12 * r2) / det;
        v = (j11 * r2 - j21 * r1) / det;
        return true;
    };
    double a = 0, b = 0;
    if (!solve(cX[1], cX[2], cY[1], cY[2], X - cX[0], Y - cY[0], a, b))
        return false;
    constexpr double kEnough = 1e-6;  // metres: well inside the tenth of a millimetre
    for (int step = 0; step < 50; ++step) {
        double FX, FY;
        carry(X1 + a * kMetresPerKm, Y1 + b * kMetresPerKm, FX, FY);
        const double rX = FX - X, rY = FY - Y;
        if (!std::isfinite(rX) || !std::isfinite(rY))
            return false;
        if (std::hypot(rX, rY) <= kEnough) {
            x = X1 + a * kMetresPerKm;
            y = Y1 + b * kMetresPerKm;
            return true;
        }
        double da, db;
        if (!solve(cX[1] + 2 * cX[3] * a + cX[4] * b, cX[2] + cX[4] * a + 2 * cX[5] * b,
                   cY[1] + 2 * cY[3] * a + cY[4] * b, cY[2] + cY[4] * a + 2 * cY[5] * b, rX, rY, da, db))
            return false;
        a -= da;
        b -= db;
    }
    return false;
}

AffineMeaning affineMeaning(double a1, double a2, double b1, double b2)
{
    // The coordinate file's x axis is carried onto (a1, b1), its y axis onto (a2, b2). A turn t
    // clockwise takes (1, 0) to (cos t, −sin t) and (0, 1) to (sin t, cos t).
    AffineMeaning m;
    m.scaleX = std::hypot(a1, b1);
    m.scaleY = std::hypot(a2, b2);
    m.rotationX = grads(std::atan2(-b1, a1));
    m.rotationY = grads(std::atan2(a2, b2));
    double shear = m.rotationY - m.rotationX;
    if (shear > 200)
        shear -= 400;
    else if (shear <= -200)
        shear += 400;
    m.shear = shear;
    return m;
}

std::vector<ModelFigure> modelFigures(const PlaneModel& m)
{
    std::vector<ModelFigure> figures = {
        {"X1", "κέντρο βάρους, αρχικό", m.X1},
        {"Y1", "κέντρο βάρους, αρχικό", m.Y1},
        {"X1N", "κέντρο βάρους, προορισμού", m.X1N},
        {"Y1N", "κέντρο βάρους, προορισμού", m.Y1N},
    };
    if (m.model == FitModel::Affine) {
        figures.push_back({"a1", "X ανά x", m.cX[0]});
        figures.push_back({"a2", "X ανά y", m.cX[1]});
        figures.push_back({"b1", "Y ανά x", m.cY[0]});
        figures.push_back({"b2", "Y ανά y", m.cY[1]});
    } else {
        static const char* const terms[6] = {"σταθερός όρος, m", "όρος a, m/km",   "όρος b, m/km",
                                             "όρος a², m/km²",   "όρος a·b, m/km²", "όρος b², m/km²"};
        for (int j = 0; j < 6; ++j)
            figures.push_back({"c" + std::to_string(j), std::string("X: ") + terms[j], m.cX[j]});
        for (int j = 0; j < 6; ++j)
            figures.push_back({"d" + std::to_string(j), std::string("Y: ") + terms[j], m.cY[j]});
    }
    figures.push_back({"Dh", "μετάθεση υψομέτρων h - H", m.Dh});
    return figures;
}

std::vector<std::string> modelFormulas(FitModel model)
{
    if (model == FitModel::Affine)
        return {"X = X1N + a1·(x - X1) + a2·(y - Y1)", "Y = Y1N + b1·(x - X1) + b2·(y - Y1)"};
    return {"X = c0 + c1·a + c2·b + c3·a² + c4·a·b + c5·b²", "Y = d0 + d1·a + d2·b + d3·a² + d4·a·b + d5·b²",
            "a = (x - X1)/1000, b = (y - Y1)/1000 (km)"};
}

ModelFit fitModel(const std::vector<CommonPoint>& points, const std::vector<bool>& useIn, const FitOptions& options,
                  FitModel model)
{
    ModelFit fit;
    fit.model = model;
    if (model == FitModel::Similarity) {
        SimilarityFit similarity = fitSimilarity(points, useIn, options);
        static_cast<FitStatistics&>(fit) = similarity;
        fit.turn = similarity.t;
        fit.dx = similarity.dx();
        fit.dy = similarity.dy();
        fit.similarity = std::move(similarity);
        return fit;
    }
    requireTolerance(options);
    std::vector<bool> use(points.size(), false);
    for (std::size_t i = 0; i < points.size() && i < useIn.size(); ++i)
        use[i] = useIn[i];
    fit.tolerance = options.tolerance;
    for (bool u : use)
        fit.used += u;
    const int least = leastPointsOf(model);
    if (fit.used < least)
        throw Failure(std::string("Ο μετασχηματισμός ") + modelName(model) + " θέλει τουλάχιστον " +
                      std::to_string(least) + " κοινά σημεία σε χρήση· είναι " + std::to_string(fit.used) +
                      ". Δεν έγινε υπολογισμός.");
    const int n = fit.used;

    PlaneModel& m = fit.mapping;
    m.model = model;
    m.X1 = meanOfUsed(points, use, n, [](const CommonPoint& p) { return p.x; });
    m.Y1 = meanOfUsed(points, use, n, [](const CommonPoint& p) { return p.y; });
    m.X1N = meanOfUsed(points, use, n, [](const CommonPoint& p) { return p.X; });
    m.Y1N = meanOfUsed(points, use, n, [](const CommonPoint& p) { return p.Y; });
    for (double v : {m.X1, m.Y1, m.X1N, m.Y1N})
        requireFiniteFigure(v);
    if (onALine(points, use, m.X1, m.Y1))
        throw Failure(std::string("Τα κοινά σημεία σε χρήση βρίσκονται σε μία ευθεία, ή σχεδόν (απέχουν από αυτήν "
                                  "λιγότερο από το ένα χιλιοστό του μήκους της): ο μετασχηματισμός ") +
                      modelName(model) +
                      " δεν ορίζεται κάθετα σε αυτήν. Προσθέστε σημεία εκτός της ευθείας ή διαλέξτε μετασχηματισμό "
                      "ομοιότητας. Δεν έγινε υπολογισμός.");

    // The design matrix over the used points, column by column, and the targets reduced to
    // their centroid.
    const std::size_t columns = model == FitModel::Affine ? 2 : 6;
    const std::size_t rows = static_cast<std::size_t>(n);
    std::vector<double> design(rows * columns);
    std::array<std::vector<double>, 2> sides{std::vector<double>(rows), std::vector<double>(rows)};
    std::size_t row = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!use[i])
            continue;
        double a = points[i].x - m.X1, b = points[i].y - m.Y1;
        if (model == FitModel::Affine) {
            design[row] = a;
            design[rows + row] = b;
        } else {
            a /= kMetresPerKm;
            b /= kMetresPerKm;
            const double terms[6] = {1.0, a, b, a * a, a * b, b * b};
            for (std::size_t j = 0; j < 6; ++j)
                design[j * rows + row] = terms[j];
        }
        sides[0][row] = points[i].X - m.X1N;
        sides[1][row] = points[i].Y - m.Y1N;
        ++row;
    }
    const auto solution = solveLeastSquares(std::move(design), rows, columns, std::move(sides));
    if (!solution)
        throw Failure(std::string("Τα κοινά σημεία σε χρήση δεν ορίζουν τον μετασχηματισμό ") + modelName(model) +
                      (model == FitModel::SecondDegree
                           ? ": οι όροι του πολυωνύμου δεν είναι ανεξάρτητοι σε αυτά τα σημεία (βρίσκονται πάνω σε "
                             "κύκλο, έλλειψη ή δύο ευθείες). Προσθέστε σημεία απλωμένα στην περιοχή."
                           : ".") +
                      " Δεν έγινε υπολογισμός.");
    for (std::size_t j = 0; j < columns; ++j) {
        m.cX[j] = (*solution)[0][j];
        m.cY[j] = (*solution)[1][j];
        requireFiniteFigure(m.cX[j]);
        requireFiniteFigure(m.cY[j]);
    }
    if (model == FitModel::SecondDegree) {
        // The constants were fitted to the reduced targets.
        m.cX[0] += m.X1N;
        m.cY[0] += m.Y1N;
    }

    completeFit(
        points, use, parameterCountOf(model, false),
        [&](const CommonPoint& p, double& vX, double& vY) {
            double X, Y;
            m.carry(p.x, p.y, X, Y);
            vX = X - p.X;
            vY = Y - p.Y;
        },
        fit);
    m.Dh = fit.Dh;

    // The mean turn and the shift at the centroid, from the linear part there (per metre).
    const bool affine = model == FitModel::Affine;
    const double perMetre = affine ? 1.0 : 1.0 / kMetresPerKm;
    const double l11 = m.cX[affine ? 0 : 1] * perMetre, l12 = m.cX[affine ? 1 : 2] * perMetre;
    const double l21 = m.cY[affine ? 0 : 1] * perMetre, l22 = m.cY[affine ? 1 : 2] * perMetre;
    fit.turn = std::atan2(l12 - l21, l11 + l22);
    double X, Y;
    m.carry(m.X1, m.Y1, X, Y);
    fit.dx = X - m.X1;
    fit.dy = Y - m.Y1;
    return fit;
}

ModelFit dropOutliersOf(const std::vector<CommonPoint>& points, std::vector<bool>& use, const FitOptions& options,
                        FitModel model)
{
    use.resize(points.size(), false);
    return dropWorstPoints<ModelFit>(use, leastPointsOf(model), options.tolerance,
                                     [&] { return fitModel(points, use, options, model); });
}

}  // namespace tavrelo
