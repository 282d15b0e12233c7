#include "transform/parameters.h"

#include "test_support.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

using test::handoffFor;
using test::TempFolder;
using test::writeBytes;

struct Expected {
    const char *klimax, *Dh, *f, *dx1, *Dy1, *SD;
    bool mismatch;
};

struct Example {
    const char* name;
    const char* points;  // the coordinate file; rows 0 and 1 are the common points
    CommonPointInput input;
    Expected expected;
};

ParameterResult compute(const std::string& points, const CommonPointInput& input, char separator = '.')
{
    TempFolder folder;
    writeBytes(folder / "points.txt", points);
    const auto result = computeParameters(input, handoffFor(folder, folder / "points.txt"), separator);
    if (!result)
        throw std::runtime_error("reported a missing coordinate");
    return *result;
}

void expectResult(const ParameterResult& r, const Expected& e, const char* name)
{
    EXPECT_EQ(r.klimax, e.klimax) << name;
    EXPECT_EQ(r.Dh, e.Dh) << name;
    EXPECT_EQ(r.f, e.f) << name;
    EXPECT_EQ(r.dx1, e.dx1) << name;
    EXPECT_EQ(r.Dy1, e.Dy1) << name;
    EXPECT_EQ(r.SD, e.SD) << name;
    EXPECT_EQ(r.distanceMismatch, e.mismatch) << name;
}

TEST(ComputeParameters, ReproducesTheWorkedExamples)
{
    const char* survey = "1,1000,1000,50,A\r\n2,1060,1080,52,B\r\n";
    const Example examples[] = {
        {"scale wanted", survey, {0, 1, "500", "400", "50.1", "580.02", "339.985", "52.06", true},
         {"1.00025", "-0.0800000000000018", "99.9999982811266", "-500", "-600", "0.0012", false}},
        {"scale not wanted", survey, {0, 1, "500", "400", "50.1", "580.02", "339.985", "52.06", false},
         {"1", "-0.0800000000000018", "99.9999982811266", "-500", "-600", "0.0012", false}},
        {"length mismatch", "1,100,100,0,A\r\n2,200,200,0,B\r\n", {0, 1, "300", "300", "0", "400", "400.2", "0", false},
         {"1", "0", "-0.06360468144894", "200", "200", "0.007", true}},
        {"along the axes", "1,0,0,0,A\r\n2,-10,0,0,B\r\n", {0, 1, "0", "0", "0", "0", "-10", "0", false},
         {"1", "0", "-100.000004647324", "0", "0", "0", false}},
        {"rotation not reduced", "1,0,0,0,A\r\n2,-1,100,0,B\r\n", {0, 1, "0", "0", "0", "1", "100", "0", false},
         {"1", "0", "-398.726804509519", "0", "0", "0", false}},
        {"the same row twice", "1,5,6,7,A\r\n", {0, 0, "1", "2", "3", "1", "2", "3", false},
         {"1", "4", "0", "-4", "-4", "0", false}},
        {"blanks around typed numbers", survey, {0, 1, " 500 ", "400\t", "50.1", "580.02", "339.985", "52.06", false},
         {"1", "-0.0800000000000018", "99.9999982811266", "-500", "-600", "0.0012", false}},
    };
    for (const auto& ex : examples)
        expectResult(compute(ex.points, ex.input), ex.expected, ex.name);
}

// The walk-through of the README: points Σ1 and Σ4 of the examples file with their target
// coordinates.
TEST(ComputeParameters, TheExamplesFileGivesTheFiguresOfTheWalkThrough)
{
    TempFolder folder;
    const HandoffFiles handoff = handoffFor(folder, std::filesystem::path(TAVRELO_EXAMPLES) / "survey.txt");
    const auto r = computeParameters({0, 3, "475000", "4201000", "110.644", "474914.629", "4200971.510", "108.708", false},
                                     handoff);
    ASSERT_TRUE(r);
    expectResult(*r, {"1", "0.850000000000001", "12.3458080889694", "472516.17", "4197170.595", "0.0006", false},
                 "examples");
}

TEST(ComputeParameters, ReadsAndWritesTheRegionalSeparator)
{
    const ParameterResult r = compute("1,1000,1000,50,A\r\n2,1060,1080,52,B\r\n",
                                      {0, 1, "500", "400", "50,1", "580,02", "339.985", "52,06", true}, ',');
    expectResult(r, {"1,00025", "-0,0800000000000018", "99,9999982811266", "-500", "-600", "0,0012", false}, "comma");
}

TEST(ComputeParameters, WarnsOnlyAboveTheTolerance)
{
    // Both lengths computed exactly: 0.06 against 0, and a hair more.
    EXPECT_FALSE(compute("1,0,0,0,A\r\n2,0,0.06,0,B\r\n", {0, 1, "0", "0", "0", "0", "0", "0", false}).distanceMismatch);
    EXPECT_TRUE(compute("1,0,0,0,A\r\n2,0,0.0600000000000001,0,B\r\n", {0, 1, "0", "0", "0", "0", "0", "0", false})
                    .distanceMismatch);
}

TEST(ComputeParameters, AnEmptyTargetTextIsReportedBeforeAnyFileIsRead)
{
    TempFolder folder;
    const HandoffFiles nothingChosen(folder / "never");  // reading it would fail
    const std::string filled[6] = {"1", "2", "3", "4", "5", "6"};
    for (int empty = 0; empty < 6; ++empty) {
        CommonPointInput in{0, 1, filled[0], filled[1], filled[2], filled[3], filled[4], filled[5], true};
        std::string* texts[] = {&in.X1N, &in.Y1N, &in.h1N, &in.X2N, &in.Y2N, &in.h2N};
        texts[empty]->clear();
        EXPECT_EQ(computeParameters(in, nothingChosen), std::nullopt) << empty;
    }
}

TEST(ComputeParameters, WhatCannotBeComputedIsAFailure)
{
    const char* survey = "1,1000,1000,50,A\r\n2,1060,1080,52,B\r\n3,12A,5,5,C\r\n";
    struct Case {
        const char* name;
        CommonPointInput input;
        const char* says;
    };
    const Case cases[] = {
        {"nothing picked in the first list", {-1, 1, "1", "1", "1", "2", "2", "2", false}, "κοινό σημείο 1"},
        {"nothing picked in the second list", {0, -1, "1", "1", "1", "2", "2", "2", false}, "κοινό σημείο 2"},
        {"a row past the file", {0, 3, "1", "1", "1", "2", "2", "2", false}, "κοινό σημείο 2"},
        {"a typed text that is not a number", {0, 1, "1", "1", "1", "2", "x2", "2", false}, "Y2N"},
        {"a text of blanks", {0, 1, "1", "1", "   ", "2", "2", "2", false}, "h1N"},
        {"a source coordinate that is not a number", {2, 1, "1", "1", "1", "2", "2", "2", false}, "12A"},
        {"a source length of 0 with the scale", {0, 0, "1", "1", "1", "2", "2", "2", true}, "μήκος 0"},
        {"a result past the range of numbers", {0, 1, "1e308", "-1e308", "1", "-1e308", "1e308", "2", false}, "εκτός ορίων"},
    };
    for (const auto& c : cases) {
        try {
            compute(survey, c.input);
            ADD_FAILURE() << c.name << ": no failure";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.says), std::string::npos) << c.name << ": " << failure.what();
        }
    }
    EXPECT_THROW(compute("1,0,0,0,A\r\n2,1,1,1,B\r\n\r\n", {0, 1, "1", "1", "1", "2", "2", "2", false}), Failure);
}

TEST(DirectionBearing, CountsFromPlusYTowardsPlusX)
{
    const double PI = kPiCompute;
    struct Case {
        double dX, dY, bearing;
    };
    const Case cases[] = {
        {-10, 0, 3 * PI / 2}, {10, 0, PI / 2}, {0, 0, PI / 2}, {0, -5, PI}, {0, 5, 0},
        {1, 1, 0.78539816339744828}, {1, -1, PI - 0.78539816339744828}, {-1, 1, 2 * PI - 0.78539816339744828},
        {-1, -1, PI + 0.78539816339744828},
    };
    for (const auto& c : cases)
        EXPECT_EQ(directionBearing(c.dX, c.dY), c.bearing) << c.dX << "," << c.dY;
    EXPECT_EQ(3 * PI / 2, 4.712388981);
}

TEST(RotationGrads, CutsDownToATenMillionthOfARadian)
{
    EXPECT_EQ(generalNumberForm(rotationGrads(0.00000005)), "0");
    EXPECT_EQ(generalNumberForm(rotationGrads(-0.00000005)), "-6.36619772284456E-06");
    EXPECT_EQ(generalNumberForm(rotationGrads(0.00000015)), "6.36619772284456E-06");
    EXPECT_EQ(generalNumberForm(rotationGrads(1.5707963272051035)), "99.9999982811266");
}

}  // namespace
}  // namespace tavrelo
