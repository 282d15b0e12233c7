#include "transform/similarity_fit.h"

#include "test_support.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"
#include "transform/fit_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

namespace tavrelo {
namespace {

// Common points of a similarity with a known turn t and scale k, with noise.
struct Survey {
    std::vector<CommonPoint> points;
    double t = 0.0, k = 1.0;
};

Survey randomSurvey(std::mt19937_64& random, int n, double originX, double originY, double noise, bool scaled)
{
    std::uniform_real_distribution<double> spread(-500.0, 500.0), angle(-3.1, 3.1), unit(-1.0, 1.0);
    std::normal_distribution<double> error(0.0, noise > 0 ? noise : 1.0);
    Survey s;
    s.t = angle(random);
    s.k = scaled ? 1 + unit(random) * 1e-3 : 1.0;
    const double shiftX = spread(random) * 1e3, shiftY = spread(random) * 1e3;
    for (int i = 0; i < n; ++i) {
        CommonPoint p;
        p.Pn = "P" + std::to_string(i);
        p.x = originX + spread(random);
        p.y = originY + spread(random);
        const double dx = p.x - originX, dy = p.y - originY;
        p.X = s.k * (dx * std::cos(s.t) + dy * std::sin(s.t)) + originX + shiftX + (noise > 0 ? error(random) : 0);
        p.Y = s.k * (dy * std::cos(s.t) - dx * std::sin(s.t)) + originY + shiftY + (noise > 0 ? error(random) : 0);
        if (i % 3 != 1) {  // every third point without a height
            p.h = 100 + spread(random) / 10;
            p.H = *p.h - 1.25 + (noise > 0 ? error(random) : 0);
        }
        s.points.push_back(p);
    }
    return s;
}

// The linear similarity X = a·x + b·y + tx, Y = −b·x + a·y + ty from its four normal equations,
// solved by elimination in long double, about the first point as origin.
struct Linear {
    long double a, b, tx, ty;
};

Linear normalEquations(const std::vector<CommonPoint>& points, const std::vector<bool>& use)
{
    const double x0 = points[0].x, y0 = points[0].y, X0 = points[0].X, Y0 = points[0].Y;
    long double N[4][5] = {};
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!use[i])
            continue;
        const long double x = points[i].x - x0, y = points[i].y - y0, X = points[i].X - X0, Y = points[i].Y - Y0;
        const long double rows[2][5] = {{x, y, 1, 0, X}, {y, -x, 0, 1, Y}};  // unknowns a, b, tx, ty
        for (const auto& r : rows)
            for (int j = 0; j < 4; ++j)
                for (int c = 0; c < 5; ++c)
                    N[j][c] += r[j] * r[c];
    }
    for (int j = 0; j < 4; ++j)
        for (int i = j + 1; i < 4; ++i) {
            const long double m = N[i][j] / N[j][j];
            for (int c = j; c < 5; ++c)
                N[i][c] -= m * N[j][c];
        }
    long double u[4];
    for (int j = 3; j >= 0; --j) {
        u[j] = N[j][4];
        for (int c = j + 1; c < 4; ++c)
            u[j] -= N[j][c] * u[c];
        u[j] /= N[j][j];
    }
    return {u[0], u[1], u[2] + X0 - u[0] * x0 - u[1] * y0, u[3] + Y0 + u[1] * x0 - u[0] * y0};
}

TEST(SimilarityFit, AgreesWithTheNormalEquationsOfTheLinearSimilarity)
{
    std::mt19937_64 random(11);
    for (int round = 0; round < 200; ++round) {
        const bool national = round % 2 == 0;
        const int n = 2 + round % 39;
        const double noise = round % 4 < 2 ? 0.0 : 0.02;
        Survey s = randomSurvey(random, n, national ? 475000 : 1000, national ? 4200000 : 2000, noise, true);
        if (round % 5 == 0 && n > 3)
            s.points[1].X += 0.7;  // a gross error
        std::vector<bool> use(n, true);
        if (round % 3 == 0 && n > 3)
            use[2] = false;
        const SimilarityFit fit = fitSimilarity(s.points, use, {true, 0.06});
        const Linear l = normalEquations(s.points, use);
        SCOPED_TRACE("round " + std::to_string(round));

        EXPECT_NEAR(fit.klimax, std::hypot(static_cast<double>(l.a), static_cast<double>(l.b)), 1e-11);
        EXPECT_NEAR(fit.t, std::atan2(static_cast<double>(l.b), static_cast<double>(l.a)), 1e-11);
        for (int i = 0; i < n; ++i) {
            const CommonPoint& p = s.points[i];
            const long double vX = l.a * p.x + l.b * p.y + l.tx - p.X, vY = -l.b * p.x + l.a * p.y + l.ty - p.Y;
            EXPECT_NEAR(fit.residuals[i].vX, static_cast<double>(vX), 1e-6) << p.Pn;
            EXPECT_NEAR(fit.residuals[i].vY, static_cast<double>(vY), 1e-6) << p.Pn;
        }
        if (noise == 0 && !(round % 5 == 0 && n > 3)) {  // an exact similarity comes back
            EXPECT_NEAR(fit.t, s.t, 1e-11);  // the targets themselves hold ~1e-9 m of rounding
            EXPECT_NEAR(fit.klimax, s.k, 1e-11);
            for (const Residual& r : fit.residuals)
                EXPECT_LT(r.v, 1e-6);
        }
        EXPECT_EQ(fit.sigma0.has_value(), 2 * fit.used > 4);
    }
}

TEST(SimilarityFit, WithoutScaleTurnsByTheAngleThatLeavesTheLeastSquares)
{
    std::mt19937_64 random(5);
    for (int round = 0; round < 20; ++round) {
        const Survey s = randomSurvey(random, 3 + round, 475000, 4200000, 0.05, true);
        const std::vector<bool> use(s.points.size(), true);
        const FitOptions options{false, 0.06};
        const SimilarityFit fit = fitSimilarity(s.points, use, options);
        EXPECT_EQ(fit.klimax, 1.0);
        // Σv² of a pure turn about the centroids, for a turn of fit.t + d.
        auto sumOfSquares = [&](double d) {
            double sum = 0;
            for (const CommonPoint& p : s.points) {
                const double a = p.x - fit.X1, b = p.y - fit.Y1, t = fit.t + d;
                sum += std::pow(a * std::cos(t) + b * std::sin(t) - (p.X - fit.X1N), 2) +
                       std::pow(b * std::cos(t) - a * std::sin(t) - (p.Y - fit.Y1N), 2);
            }
            return sum;
        };
        EXPECT_LT(sumOfSquares(0), sumOfSquares(1e-6));
        EXPECT_LT(sumOfSquares(0), sumOfSquares(-1e-6));
        EXPECT_NEAR(*fit.sigma0, std::sqrt(sumOfSquares(0) / (2 * s.points.size() - 3)), 1e-9);
    }
}

TEST(SimilarityFit, TwoPointsWithScaleFitExactlyAndHeightsShiftByTheirMean)
{
    std::vector<CommonPoint> points(2);
    points[0] = {"1", 1000, 2000, 100.0, 5000, 7000, 99.0, 1, 1};
    points[1] = {"2", 1100, 2050, 101.0, 5080, 7111, std::nullopt, 2, 2};
    const SimilarityFit fit = fitSimilarity(points, {true, true}, {true, 0.06});
    for (const Residual& r : fit.residuals)
        EXPECT_LT(r.v, 1e-9);
    EXPECT_FALSE(fit.sigma0);
    EXPECT_EQ(fit.Dh, 1.0);  // the one point with both heights
    EXPECT_EQ(fit.heightsUsed, 1);
    EXPECT_FALSE(fit.heightSigma);
    EXPECT_FALSE(fit.residuals[1].vh);
    EXPECT_EQ(fit.X1, 1050);
    EXPECT_EQ(fit.Y1N, 7055.5);
}

TEST(SimilarityFit, DropsTheWorstOutlierFirstUntilAllAreWithinTolerance)
{
    std::mt19937_64 random(3);
    Survey s = randomSurvey(random, 8, 475000, 4200000, 0.004, false);
    s.points[5].Y -= 0.5;
    s.points[2].X += 0.2;
    std::vector<bool> use(8, true);
    use[0] = false;  // excluded by hand, stays so
    const SimilarityFit fit = dropOutliers(s.points, use, {false, 0.06});
    EXPECT_EQ(use, (std::vector<bool>{false, true, false, true, true, false, true, true}));
    EXPECT_EQ(fit.used, 5);
    EXPECT_TRUE(fit.residuals[5].overTolerance);
    EXPECT_TRUE(fit.residuals[2].overTolerance);
    EXPECT_FALSE(fit.residuals[3].overTolerance);

    // Never below two points, even when all miss.
    std::vector<bool> all(3, true);
    s.points[1].X += 5;
    const std::vector<CommonPoint> three(s.points.begin() + 1, s.points.begin() + 4);
    EXPECT_EQ(dropOutliers(three, all, {false, 0.0}).used, 2);
}

TEST(SimilarityFit, RefusesWhatCannotBeFitted)
{
    std::vector<CommonPoint> points(3);
    points[0] = {"1", 10, 20, {}, 5000, 7000, {}, 1, 1};
    points[1] = {"2", 10, 20, {}, 5010, 7000, {}, 2, 2};
    points[2] = {"3", 30, 20, {}, 5010, 7000, {}, 3, 3};
    struct Case {
        const char* name;
        std::vector<bool> use;
        bool scale;
        const char* says;
    };
    const Case cases[] = {
        {"no point in use", {false, false, false}, false, "κανένα"},
        {"one point in use", {true, false, false}, false, "μόνο ένα"},
        {"used points at one place", {true, true, false}, false, "συμπίπτουν στο αρχείο συντεταγμένων"},
        {"targets at one place give a scale of 0", {false, true, true}, true, "κλίμακα βγαίνει 0"},
    };
    for (const Case& c : cases) {
        try {
            fitSimilarity(points, c.use, {c.scale, 0.06});
            ADD_FAILURE() << c.name;
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.says), std::string::npos) << c.name << ": " << failure.what();
            EXPECT_EQ(test::messageFault(failure.what()), "") << c.name;
        }
    }
}

// The save step with the fit's parameter file lands each common point where the fit says:
// on its target plus its residual, cut to three decimals.
TEST(SimilarityFit, TheSaveStepWithTheWrittenParametersLandsOnTargetPlusResidual)
{
    std::mt19937_64 random(8);
    const Survey s = randomSurvey(random, 12, 475000, 4200000, 0.01, true);
    test::TempFolder folder;
    std::string file;
    for (const CommonPoint& p : s.points) {
        std::ostringstream line;
        line.precision(17);
        line << p.Pn << ',' << p.x << ',' << p.y << ',' << (p.h ? std::to_string(*p.h) : "") << ",d\r\n";
        file += line.str();
    }
    test::writeBytes(folder / "points.txt", file);
    const CommonPoints common = matchCommonPoints((folder / "points.txt").string(), (folder / "points.txt").string());
    const SimilarityFit fit = fitSimilarity(common.matched, std::vector<bool>(12, true), {true, 0.06});
    writeParameterFile(folder / "fit.tmp", parameterLinesOf(fit));
    applyTransformation((folder / "result.txt").string(), (folder / "points.txt").string(), folder / "fit.tmp");

    std::istringstream result(test::readBytes(folder / "result.txt"));
    std::string line;
    for (int i = 0; i < 12; ++i)
        std::getline(result, line);
    for (std::size_t i = 0; i < common.matched.size(); ++i) {
        ASSERT_TRUE(std::getline(result, line));
        double X = 0, Y = 0;
        ASSERT_EQ(std::sscanf(line.c_str() + line.find(',') + 1, "%lf , %lf", &X, &Y), 2) << line;
        const CommonPoint& p = common.matched[i];
        EXPECT_NEAR(X, std::floor((p.X + fit.residuals[i].vX) * 1000) / 1000, 1.5e-3) << line;
        EXPECT_NEAR(Y, std::floor((p.Y + fit.residuals[i].vY) * 1000) / 1000, 1.5e-3) << line;
    }
}

TEST(FitReport, IsAlignedWindows1253WithCrLfAndMarksPointsOverTolerance)
{
    std::mt19937_64 random(2);
    CommonPoints common;
    common.matched = randomSurvey(random, 5, 475000, 4200000, 0.001, false).points;
    common.matched[0].Pn = "\xD3\x31";  // Σ1 in Windows-1253
    common.matched[3].X += 0.3;
    common.unmatched = {"\xD3\x39"};
    const SimilarityFit fit = fitSimilarity(common.matched, std::vector<bool>(5, true), {false, 0.06});
    const std::string report = fitReport({"/a/σημεία.txt", "/a/κοινά.txt", "2026-12-08 10:15", &common, &fit});

    EXPECT_EQ(report.find('\n'), report.find("\r\n") + 1);
    EXPECT_NE(report.find(utf8ToWindows1253("Ανοχή")), std::string::npos);
    EXPECT_EQ(report.find("Ανοχή"), std::string::npos);  // no UTF-8 text left
    EXPECT_NE(report.find("/a/\xF3\xE7\xEC\xE5\xDF\xE1.txt"), std::string::npos);  // the path in Windows-1253
    EXPECT_NE(report.find("\xD3\x39"), std::string::npos);
    // Every row of the table is as long as its header up to the mark.
    const std::size_t header = report.find(" Pn  ");
    ASSERT_NE(header, std::string::npos);
    const std::size_t width = report.find("\r\n", header) - header;
    std::size_t at = report.find("\r\n", header) + 2;
    int marked = 0;
    for (int row = 0; row < 5; ++row) {
        const std::size_t end = report.find("\r\n", at);
        const std::string text = report.substr(at, end - at);
        marked += text.size() == width + 3 && text.substr(width) == "  *";
        EXPECT_TRUE(text.size() == width || text.size() == width + 3) << text;
        at = end + 2;
    }
    EXPECT_GE(marked, 1);
    int over = 0;
    for (const Residual& r : fit.residuals)
        over += r.overTolerance;
    EXPECT_EQ(marked, over);
}

}  // namespace
}  // namespace tavrelo
