#include "transform/model_fit.h"

#include "data/common_points.h"
#include "data/handoff_files.h"
#include "drawing/dxf_transform.h"
#include "test_support.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"
#include "transform/model_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace tavrelo {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

const std::string kExamples = TAVRELO_EXAMPLES;

using Map = std::function<void(double x, double y, double& X, double& Y)>;

// A known map of a plan into a national grid: an affine one, and one of the second degree.
void affineMap(double x, double y, double& X, double& Y)
{
    X = 465210.25 + 1.003 * x + 0.1325 * y;
    Y = 4205480.5 - 0.1338 * x + 0.9912 * y;
}
void quadraticMap(double x, double y, double& X, double& Y)
{
    affineMap(x, y, X, Y);
    X += 2.1e-5 * x * x - 1.3e-5 * x * y + 0.8e-5 * y * y;
    Y += -0.9e-5 * x * x + 1.7e-5 * x * y + 2.4e-5 * y * y;
}

std::vector<CommonPoint> pointsUnder(const Map& map, int n, double noise, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> place(-400, 400);
    std::normal_distribution<double> miss(0, noise > 0 ? noise : 1);
    std::vector<CommonPoint> points(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        CommonPoint& p = points[static_cast<std::size_t>(i)];
        p.Pn = std::to_string(i + 1);
        p.x = 2500 + place(random);
        p.y = 3800 + place(random);
        map(p.x, p.y, p.X, p.Y);
        if (noise > 0) {
            p.X += miss(random) * noise;
            p.Y += miss(random) * noise;
        }
    }
    return points;
}

// The plain least-squares answer: the normal equations of the same function space on other
// coordinates (raw x, y less the first point, in metres), solved by Gauss-Jordan in long double.
// Gives the carried position of (x, y).
Map normalEquations(const std::vector<CommonPoint>& points, FitModel model)
{
    const double x0 = points[0].x, y0 = points[0].y;
    const std::size_t m = model == FitModel::Affine ? 3 : 6;
    auto terms = [=](double x, double y) {
        const long double u = x - x0, v = y - y0;
        std::vector<long double> t = {1, u, v, u * u, u * v, v * v};
        t.resize(m);
        return t;
    };
    std::vector<std::vector<long double>> N(m, std::vector<long double>(m + 2, 0));
    for (const CommonPoint& p : points) {
        const auto t = terms(p.x, p.y);
        for (std::size_t i = 0; i < m; ++i) {
            for (std::size_t j = 0; j < m; ++j)
                N[i][j] += t[i] * t[j];
            N[i][m] += t[i] * p.X;
            N[i][m + 1] += t[i] * p.Y;
        }
    }
    for (std::size_t k = 0; k < m; ++k) {
        std::size_t pivot = k;
        for (std::size_t i = k + 1; i < m; ++i)
            if (std::fabs(N[i][k]) > std::fabs(N[pivot][k]))
                pivot = i;
        std::swap(N[k], N[pivot]);
        for (std::size_t i = 0; i < m; ++i)
            if (i != k) {
                const long double f = N[i][k] / N[k][k];
                for (std::size_t j = k; j < m + 2; ++j)
                    N[i][j] -= f * N[k][j];
            }
    }
    return [=](double x, double y, double& X, double& Y) {
        const auto t = terms(x, y);
        long double sx = 0, sy = 0;
        for (std::size_t i = 0; i < m; ++i) {
            sx += t[i] * N[i][m] / N[i][i];
            sy += t[i] * N[i][m + 1] / N[i][i];
        }
        X = static_cast<double>(sx);
        Y = static_cast<double>(sy);
    };
}

struct ModelCase {
    FitModel model;
    Map map;
};
const ModelCase kModels[] = {{FitModel::Affine, affineMap}, {FitModel::SecondDegree, quadraticMap}};

TEST(ModelFit, RecoversAKnownMapFromExactPointsAndCarriesBackToATenthOfAMillimetre)
{
    for (const ModelCase& c : kModels) {
        const std::vector<CommonPoint> points = pointsUnder(c.map, 9, 0, 7);
        const ModelFit fit = fitModel(points, std::vector<bool>(9, true), {}, c.model);
        for (const Residual& r : fit.residuals)
            EXPECT_LT(r.v, 1e-7) << modelKey(c.model);
        // Anywhere on the plan, not only at the common points, and back again.
        for (const auto& [x, y] : {std::pair{2100.0, 3400.0}, std::pair{2900.0, 4200.0}, std::pair{2500.0, 3000.0}}) {
            double X, Y, trueX, trueY, backX, backY;
            fit.mapping.carry(x, y, X, Y);
            c.map(x, y, trueX, trueY);
            EXPECT_NEAR(X, trueX, 1e-6) << modelKey(c.model);
            EXPECT_NEAR(Y, trueY, 1e-6) << modelKey(c.model);
            ASSERT_TRUE(fit.mapping.carryBack(trueX, trueY, backX, backY)) << modelKey(c.model);
            EXPECT_NEAR(backX, x, 1e-4) << modelKey(c.model);
            EXPECT_NEAR(backY, y, 1e-4) << modelKey(c.model);
        }
    }
    // The affine's coefficients are the map's own, and say what it does.
    const ModelFit fit = fitModel(pointsUnder(affineMap, 5, 0, 3), std::vector<bool>(5, true), {}, FitModel::Affine);
    EXPECT_NEAR(fit.mapping.cX[0], 1.003, 1e-12);
    EXPECT_NEAR(fit.mapping.cY[0], -0.1338, 1e-12);
    const AffineMeaning m = affineMeaning(1.003, 0.1325, -0.1338, 0.9912);
    EXPECT_NEAR(m.scaleX, std::hypot(1.003, 0.1338), 1e-15);
    EXPECT_NEAR(m.rotationX, std::atan2(0.1338, 1.003) * 200 / kPiApply, 1e-12);
    EXPECT_NEAR(m.shear, (std::atan2(0.1325, 0.9912) - std::atan2(0.1338, 1.003)) * 200 / kPiApply, 1e-12);
}

TEST(ModelFit, ResidualsAndSigma0AgreeWithThePlainNormalEquationsOnNoisyPoints)
{
    for (const ModelCase& c : kModels)
        for (unsigned seed : {1u, 2u, 3u}) {
            const int n = 12;
            const std::vector<CommonPoint> points = pointsUnder(c.map, n, 0.02, seed);
            const ModelFit fit = fitModel(points, std::vector<bool>(n, true), {}, c.model);
            const Map reference = normalEquations(points, c.model);
            long double sum = 0;
            for (std::size_t i = 0; i < points.size(); ++i) {
                double X, Y;
                reference(points[i].x, points[i].y, X, Y);
                EXPECT_NEAR(fit.residuals[i].vX, X - points[i].X, 1e-7) << modelKey(c.model) << " " << seed;
                EXPECT_NEAR(fit.residuals[i].vY, Y - points[i].Y, 1e-7) << modelKey(c.model) << " " << seed;
                sum += (X - points[i].X) * (X - points[i].X) + (Y - points[i].Y) * (Y - points[i].Y);
            }
            const int m = c.model == FitModel::Affine ? 6 : 12;
            ASSERT_TRUE(fit.sigma0);
            EXPECT_NEAR(*fit.sigma0, std::sqrt(static_cast<double>(sum) / (2 * n - m)), 1e-9) << modelKey(c.model);
        }
}

TEST(ModelFit, RefusesPointsThatDoNotFixTheModel)
{
    auto on = [](std::vector<std::pair<double, double>> places) {
        std::vector<CommonPoint> points;
        for (const auto& [x, y] : places) {
            CommonPoint p;
            p.x = x;
            p.y = y;
            affineMap(x, y, p.X, p.Y);
            points.push_back(p);
        }
        return points;
    };
    const struct {
        const char* name;
        FitModel model;
        std::vector<CommonPoint> points;
        const char* says;
    } cases[] = {
        {"affine, two points", FitModel::Affine, on({{0, 0}, {100, 50}}), "τουλάχιστον 3"},
        {"second degree, five points", FitModel::SecondDegree, on({{0, 0}, {100, 0}, {0, 100}, {100, 100}, {50, 20}}),
         "τουλάχιστον 6"},
        {"affine, on a line", FitModel::Affine, on({{0, 0}, {100, 100}, {250, 250.01}, {400, 400}}), "ευθεία"},
        {"second degree, on a line", FitModel::SecondDegree,
         on({{0, 0}, {10, 20}, {20, 40}, {30, 60}, {40, 80}, {50, 100}, {60, 120}}), "ευθεία"},
        {"second degree, on two parallel lines", FitModel::SecondDegree,
         on({{0, 0}, {100, 0}, {200, 0}, {300, 0}, {0, 100}, {150, 100}, {300, 100}}), "ανεξάρτητοι"},
    };
    for (const auto& c : cases) {
        try {
            fitModel(c.points, std::vector<bool>(c.points.size(), true), {}, c.model);
            ADD_FAILURE() << c.name << ": fitted";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.says), std::string::npos) << c.name << ": " << failure.what();
        }
    }
}

TEST(ModelFit, TheOldPlanShowsWhyAndItsWrongPointIsDroppedDownToTheLeastNumber)
{
    const CommonPoints points =
        matchCommonPoints(kExamples + "/old_plan.txt", kExamples + "/old_plan_common_points.txt");
    ASSERT_EQ(points.matched.size(), 8u);
    const std::vector<bool> all(8, true);
    // The similarity misses by decimetres; the affine only the wrong point, by as much.
    double worst = 0;
    for (const Residual& r : fitModel(points.matched, all, {}, FitModel::Similarity).residuals)
        worst = std::max(worst, r.v);
    EXPECT_GT(worst, 0.2);
    std::vector<bool> use = all;
    const ModelFit affine = dropOutliersOf(points.matched, use, {}, FitModel::Affine);
    EXPECT_EQ(affine.used, 7);
    EXPECT_FALSE(use[4]);  // Κ5
    EXPECT_LT(*affine.sigma0, 0.005);
    // With no tolerance at all, points go until no more are used than the model needs.
    for (const ModelCase& c : kModels) {
        use = all;
        EXPECT_EQ(dropOutliersOf(points.matched, use, {false, 0.0}, c.model).used, leastPointsOf(c.model));
    }
}

TEST(ModelFile, CarriesWhatTheFitCarriesBothWaysAndNothingElseTakesIt)
{
    TempFolder folder;
    const CommonPoints points =
        matchCommonPoints(kExamples + "/old_plan.txt", kExamples + "/old_plan_common_points.txt");
    for (const ModelCase& c : kModels) {
        const ModelFit fit = fitModel(points.matched, std::vector<bool>(8, true), {}, c.model);
        const auto file = folder / (std::string(modelKey(c.model)) + ".model");
        writeModelFile(file, fit.mapping);
        const PlaneModel read = readModelFile(file);
        const PlaneModel written = modelAsWritten(fit.mapping);
        EXPECT_EQ(read.cX, written.cX);
        EXPECT_EQ(read.cY, written.cY);
        EXPECT_EQ(read.Dh, written.Dh);
        // A result from the file is the one the fit writes; carried back it lands within two cuts.
        const auto forward = folder / "forward.txt", fromFile = folder / "from_file.txt";
        applyModel(forward.string(), kExamples + "/old_plan.txt", written);
        applyTransformation(fromFile.string(), kExamples + "/old_plan.txt", file);
        EXPECT_EQ(readBytes(forward), readBytes(fromFile)) << modelKey(c.model);
        // The points of a result file, after its header.
        auto pointsOf = [](const std::string& result) {
            return result.substr(result.find("\r\n\r\n", result.find("___")) + 4);
        };
        writeBytes(folder / "points.txt", pointsOf(readBytes(forward)));
        applyTransformation((folder / "back.txt").string(), (folder / "points.txt").string(), file, Direction::Inverse);
        writeBytes(folder / "back_points.txt", pointsOf(readBytes(folder / "back.txt")));
        const CommonPoints again = matchCommonPoints((folder / "back_points.txt").string(), kExamples + "/old_plan.txt");
        ASSERT_EQ(again.matched.size(), 44u);
        for (const CommonPoint& p : again.matched) {
            EXPECT_NEAR(p.x, p.X, 0.0021) << p.Pn;
            EXPECT_NEAR(p.y, p.Y, 0.0021) << p.Pn;
        }
        // The seven-line readers, and with them drawings and the save screen, refuse it.
        EXPECT_THROW(readParameterFile(file), Failure);
        writeBytes(folder / "d.dxf", "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n2\n0\nENDSEC\n0\nEOF\n");
        EXPECT_THROW(transformDrawing((folder / "r.dxf").string(), (folder / "d.dxf").string(), file, {}), Failure);
        EXPECT_FALSE(std::filesystem::exists(folder / "r.dxf"));
    }
}

}  // namespace
}  // namespace tavrelo
