#include "transform/apply_transformation.h"

#include "plain_reference.h"
#include "test_support.h"
#include "text/codepage.h"
#include "text/failure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <csignal>
#include <functional>
#include <random>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tavrelo {
namespace {

using test::listFolder;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;
namespace reference = test::reference;

const char* const kIdentity = "0\r\n 0 \r\n 0 \r\n0\r\n1\r\n0\r\n0\r\n";

// A coordinate file, parameters and the hand-off folder that names them, in a fresh folder.
struct Scene {
    explicit Scene(const std::string& points, const std::string& parameters = kIdentity)
    {
        writeBytes(input(), points);
        writeHandoffPath(handoff, input().string());
        writeBytes(handoff.parameterFile(), parameters);
    }
    std::filesystem::path input() const { return folder / "points.txt"; }
    std::string result() const { return (folder / "result.txt").string(); }

    // The point lines of the result: everything after the twelve header lines.
    std::string pointLines() const
    {
        const std::string bytes = readBytes(result());
        std::size_t at = 0;
        for (int line = 0; line < 12; ++line)
            at = bytes.find("\r\n", at) + 2;
        return bytes.substr(at);
    }

    TempFolder folder;
    HandoffFiles handoff{folder / "state"};
};

TEST(ApplyTransformation, WritesTheResultFileByteForByte)
{
    Scene s(readBytes(std::filesystem::path(TAVRELO_FIXTURES) / "survey.txt"),
            readBytes(std::filesystem::path(TAVRELO_FIXTURES) / "survey_parameters.tmp"));
    applyTransformation(s.result(), s.handoff);

    std::string expected = readBytes(std::filesystem::path(TAVRELO_FIXTURES) / "survey_expected_result.txt");
    expected.replace(expected.find("@INPUT@"), 7, utf8ToWindows1253(s.input().string()));
    // The credit line carries the project's version and its contact address (the fixture holds
    // the default one, so a build with another address passes too).
    expected.replace(expected.find("@VERSION@"), 9, TAVRELO_VERSION);
    const std::string contact = "tavrelo@example.org";
    expected.replace(expected.find(contact), contact.size(), TAVRELO_CONTACT);
    EXPECT_EQ(readBytes(s.result()), expected);
    EXPECT_EQ(listFolder(s.folder.path()), "points.txt result.txt state ");  // no temporary left
}

TEST(ApplyTransformation, TheNamedFilesFormWritesWhatTheHandOffFormWrites)
{
    Scene s(readBytes(std::filesystem::path(TAVRELO_FIXTURES) / "survey.txt"),
            readBytes(std::filesystem::path(TAVRELO_FIXTURES) / "survey_parameters.tmp"));
    applyTransformation(s.result(), s.handoff);
    const std::string named = (s.folder / "named.txt").string();
    applyTransformation(named, s.input().string(), s.handoff.parameterFile());
    EXPECT_EQ(readBytes(named), readBytes(s.result()));

    // Neither the coordinate file nor the parameter file may be replaced by the result.
    const std::string parameters = readBytes(s.handoff.parameterFile());
    EXPECT_THROW(applyTransformation(s.handoff.parameterFile().string(), s.input().string(), s.handoff.parameterFile()),
                 Failure);
    EXPECT_THROW(applyTransformation(s.input().string(), s.input().string(), s.handoff.parameterFile()), Failure);
    EXPECT_EQ(readBytes(s.handoff.parameterFile()), parameters);
    EXPECT_THROW(applyTransformation(named, s.input().string(), s.folder / "missing.tmp"), Failure);
}

TEST(ApplyTransformation, WritesPointLinesInPrintFormCutToThreeDecimals)
{
    struct Case {
        const char* name;
        const char* point;
        const char* line;
    };
    const Case cases[] = {
        {"the worked example", "12,1234.567,5678.9,100,S1", "12,   1234.567 ,   5678.9 ,   100 ,  S1\r\n"},
        {"cut, not rounded", "1,1234.5678,2.3456,1.005,a", "1,   1234.567 ,   2.345 ,   1.004 ,  a\r\n"},
        {"negatives cut downwards", "2,-12.5,-1.2345,-0.0001,b", "2,  -12.5 ,  -1.235 ,  -0.001 ,  b\r\n"},
        {"empty values count as 0", "007,,,,", "007,   0 ,   0 ,   0 ,  \r\n"},
        {"a quoted description loses its quotes", "3,1,2,3,\"a, b\"", "3,   1 ,   2 ,   3 ,  a, b\r\n"},
        {"Windows-1253 bytes pass through", "\xD3\x31,1,2,3,\xE3\xF9\xED\xDF\xE1", "\xD3\x31,   1 ,   2 ,   3 ,  \xE3\xF9\xED\xDF\xE1\r\n"},
    };
    for (const auto& c : cases) {
        Scene s(std::string(c.point) + "\r\n");
        applyTransformation(s.result(), s.handoff);
        EXPECT_EQ(s.pointLines(), c.line) << c.name;
    }
}

TEST(ApplyTransformation, HeaderShowsTheParametersAsHandedOver)
{
    Scene s("", "12.3456\r\n 1000 \r\n 2000.5 \r\n-0.08\r\n1.00025\r\n500\r\n400\r\n");
    applyTransformation(s.result(), s.handoff);
    const std::string bytes = readBytes(s.result());
    const std::string rotation = utf8ToWindows1253("            Στροφή : 12.3456 \r\n");
    EXPECT_NE(bytes.find(rotation), std::string::npos);
    EXPECT_NE(bytes.find("            Delta X:-500 \r\n            Delta Y:-1600.5 \r\n"
                         "            Delta h:-0.08 \r\n            Scale  : 1.00025 \r\n"
                         "___________________________________________\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(s.pointLines(), "");  // an empty coordinate file: the twelve header lines only
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
}

TEST(ApplyTransformation, CarriesCommonPoint1OntoItsTargetAndTurnsAboutIt)
{
    // 100 grads turns +Y into +X: a point north of common point 1 ends east of it.
    Scene s("1,10,20,5,a\r\n2,10,30,5,b\r\n3,20,20,5,c\r\n", "100\r\n 10 \r\n 20 \r\n2\r\n1\r\n500\r\n400\r\n");
    applyTransformation(s.result(), s.handoff);
    EXPECT_EQ(s.pointLines(),
              "1,   500 ,   400 ,   3 ,  a\r\n"
              "2,   510 ,   399.999 ,   3 ,  b\r\n"  // the constant is a hair above a quarter turn
              "3,   499.999 ,   390 ,   3 ,  c\r\n");
}

// The way back, against its formula worked here in long double: with t = f·π/200,
// dX = X − X1N, dY = Y − Y1N: x = X1 + (dX·cos t − dY·sin t)/k, y = Y1 + (dX·sin t + dY·cos t)/k,
// h = H + Dh, cut down to three decimals. Then forward and back again lands within two cuts.
TEST(ApplyTransformation, TheWayBackFollowsItsFormulaAndUndoesTheWayThere)
{
    struct Case {
        const char* name;
        long double f, X1, Y1, Dh, k, X1N, Y1N;
    };
    const Case cases[] = {
        {"the example's rotation", 12.3458080889694L, 2444.69L, 3807.201L, 0.85L, 1, 475000, 4201000},
        {"turned back and scaled", -237.5L, 1000, -2000.5L, -3.25L, 0.9996L, 512000.125L, 4400000.5L},
        {"a large scale", 399.99L, 0, 0, 0, 2.5L, -100, 100},
    };
    auto parameterBytes = [](const Case& c) {
        char text[400];
        std::snprintf(text, sizeof text, "%.17Lg\r\n%.17Lg\r\n%.17Lg\r\n%.17Lg\r\n%.17Lg\r\n%.17Lg\r\n%.17Lg\r\n", c.f,
                      c.X1, c.Y1, c.Dh, c.k, c.X1N, c.Y1N);
        return std::string(text);
    };
    // The numbers of a point line "Pn,   X ,   Y ,   h ,  D".
    auto numbers = [](const std::string& line) {
        std::array<long double, 3> xyh{};
        std::sscanf(line.c_str(), "%*[^,],%Lf ,%Lf ,%Lf", &xyh[0], &xyh[1], &xyh[2]);
        return xyh;
    };
    auto lines = [](const std::string& text) {
        std::vector<std::string> all;
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            all.push_back(text.substr(at, end - at));
        return all;
    };
    std::mt19937_64 random(18);
    for (const Case& c : cases) {
        // Points spread 2 km about common point 1 in the target system, with three decimals.
        std::uniform_int_distribution<long> spread(-2000000, 2000000);
        std::string points;
        for (int i = 0; i < 200; ++i) {
            char line[120];
            std::snprintf(line, sizeof line, "%d,%.3Lf,%.3Lf,%.3Lf,p\r\n", i, c.X1N + spread(random) / 1000.0L,
                          c.Y1N + spread(random) / 1000.0L, 100 + spread(random) / 10000.0L);
            points += line;
        }
        Scene back(points, parameterBytes(c));
        applyTransformation(back.result(), back.handoff, Direction::Inverse);
        const long double t = c.f * 3.1415927L / 200;
        const auto given = lines(points), written = lines(back.pointLines());
        ASSERT_EQ(written.size(), given.size()) << c.name;
        for (std::size_t i = 0; i < given.size(); ++i) {
            const auto in = numbers(given[i]), out = numbers(written[i]);
            const long double dX = in[0] - c.X1N, dY = in[1] - c.Y1N;
            const long double expected[3] = {c.X1 + (dX * std::cos(t) - dY * std::sin(t)) / c.k,
                                             c.Y1 + (dX * std::sin(t) + dY * std::cos(t)) / c.k, in[2] + c.Dh};
            for (int n = 0; n < 3; ++n)  // cut down: at most a thousandth below, never above
                EXPECT_TRUE(out[n] <= expected[n] + 1e-6L && out[n] > expected[n] - 0.001L - 1e-6L)
                    << c.name << ", line " << i << ", number " << n << ": " << written[i];
        }
        // The local points carried forward, and their result carried back.
        Scene there(back.pointLines(), parameterBytes(c));
        applyTransformation(there.result(), there.handoff);
        Scene again(there.pointLines(), parameterBytes(c));
        applyTransformation(again.result(), again.handoff, Direction::Inverse);
        const auto start = lines(back.pointLines()), end = lines(again.pointLines());
        ASSERT_EQ(end.size(), start.size()) << c.name;
        for (std::size_t i = 0; i < start.size(); ++i)
            for (int n = 0; n < 3; ++n)
                EXPECT_LE(std::fabs(numbers(end[i])[n] - numbers(start[i])[n]), 0.002L + 1e-6L)
                    << c.name << ": " << start[i] << " came back as " << end[i];
    }

    // The file of the way back is the save step's with its one header line saying so.
    Scene identity("1,10,20,5,a\r\n");
    applyTransformation(identity.result(), identity.handoff);
    std::string forward = readBytes(identity.result());
    applyTransformation(identity.result(), identity.handoff, Direction::Inverse);
    const std::string title = utf8ToWindows1253(" Παράμετροι Μετασχηματισμού\r\n");
    forward.replace(forward.find(title), title.size(),
                    utf8ToWindows1253(" Παράμετροι Μετασχηματισμού (αντίστροφα: από το σύστημα προορισμού στο αρχικό)\r\n"));
    EXPECT_EQ(readBytes(identity.result()), forward);
    // A scale of 0 has no way back, and nothing is written.
    Scene flat("1,10,20,5,a\r\n", "0\r\n 0 \r\n 0 \r\n0\r\n0\r\n0\r\n0\r\n");
    EXPECT_THROW(applyTransformation(flat.result(), flat.handoff, Direction::Inverse), Failure);
    EXPECT_FALSE(std::filesystem::exists(flat.result()));
}

TEST(ApplyTransformation, HasNoLimitOnThePointCount)
{
    std::string points;
    for (int i = 0; i < 5000; ++i)
        points += std::to_string(i) + ",1,2,3,x\r\n";
    Scene s(points);
    applyTransformation(s.result(), s.handoff);
    const std::string lines = s.pointLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 5000);
}

// The save step against the plain reference on random files and parameters: the same bytes,
// or a failure exactly where the reference cannot go on.
TEST(ApplyTransformation, WritesWhatThePlainReferenceWritesOnRandomFiles)
{
    std::mt19937_64 random(611);
    for (int file = 0; file < 61; ++file) {
        reference::RandomFileOptions options;
        options.records = file < 60 ? 400 : 80000;  // the last one across many read blocks
        options.textValues = file % 10 == 9;
        const std::string points = reference::randomFile(random, options);
        const std::string parameters = reference::randomParameters(random);
        Scene s(points, parameters);
        const auto expected = reference::apply(parameters, points);
        if (!expected) {
            EXPECT_THROW(applyTransformation(s.result(), s.handoff), Failure) << "file " << file;
            continue;
        }
        applyTransformation(s.result(), s.handoff);
        ASSERT_EQ(s.pointLines(), expected->pointLines) << "file " << file;

        // Header lines 6 to 10: the print forms after their 20-character labels.
        const std::string bytes = readBytes(s.result());
        std::string values;
        std::size_t at = 0;
        for (int line = 1; line <= 10; ++line) {
            const std::size_t end = bytes.find("\r\n", at);
            if (line >= 6)
                values += bytes.substr(at + 20, end + 2 - at - 20);
            at = end + 2;
        }
        EXPECT_EQ(values, expected->headerValues) << "file " << file;
    }
}

TEST(ResultFilePath, JoinsWithOneSeparatorExceptAfterLowerCaseDriveC)
{
    const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
    EXPECT_EQ(resultFilePath("c:\\", "r.txt"), "c:\\r.txt");
    EXPECT_EQ(resultFilePath("C:\\", "r.txt"), "C:\\" + separator + "r.txt");
    EXPECT_EQ(resultFilePath("/home/user", "r.txt"), "/home/user" + separator + "r.txt");
    EXPECT_EQ(resultFilePath("/", "r.txt"), "/" + separator + "r.txt");
}

// Every failure leaves the folder as it was: no new file, an existing result untouched.
TEST(ApplyTransformation, AFailureLeavesNoNewFileAndKeepsAnOldOne)
{
    struct Case {
        const char* name;
        std::function<void(Scene&)> spoil;
        const char* says;
    };
    const Case cases[] = {
        {"no parameter file", [](Scene& s) { std::filesystem::remove(s.handoff.parameterFile()); }, "παράμετροι"},
        {"parameter file cut short", [](Scene& s) { writeBytes(s.handoff.parameterFile(), "0\r\n0\r\n"); }, "7"},
        {"a parameter that is not a number",
         [](Scene& s) { writeBytes(s.handoff.parameterFile(), "0\r\n0\r\n0\r\n0\r\nx\r\n0\r\n0\r\n"); }, "klimax"},
        {"no path file", [](Scene& s) { std::filesystem::remove(s.handoff.pathFile()); }, "Δεν έχει επιλεγεί"},
        {"no coordinate file", [](Scene& s) { std::filesystem::remove(s.input()); }, "points.txt"},
        {"a coordinate that is not a number", [](Scene& s) { writeBytes(s.input(), "1,1,2,3,a\r\n2,1,2O,3,b\r\n"); },
         "εγγραφή 2"},
        {"data ending inside a record", [](Scene& s) { writeBytes(s.input(), "1,1,2,3,a\r\n\r\n"); }, "εγγραφή 2"},
        {"a result past the range of numbers", [](Scene& s) { writeBytes(s.input(), "1,1e306,2,3,a\r\n"); },
         "εκτός ορίων"},
        {"a shift of common point 1 past the range of numbers",
         [](Scene& s) { writeBytes(s.handoff.parameterFile(), "0\r\n-1.797e308\r\n0\r\n0\r\n0\r\n1e305\r\n0\r\n"); },
         "εκτός ορίων"},
    };
    for (const auto& c : cases) {
        Scene s("1,1,2,3,a\r\n");
        writeBytes(s.result(), "an earlier result");
        c.spoil(s);
        const std::string before = listFolder(s.folder.path());
        try {
            applyTransformation(s.result(), s.handoff);
            ADD_FAILURE() << c.name << ": no failure";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.says), std::string::npos) << c.name << ": " << failure.what();
        }
        EXPECT_EQ(readBytes(s.result()), "an earlier result") << c.name;
        EXPECT_EQ(listFolder(s.folder.path()), before) << c.name;
    }
}

TEST(ApplyTransformation, RefusesToWriteOverItsOwnInput)
{
    Scene s("1,1,2,3,a\r\n");
    const std::string input = readBytes(s.input());
    EXPECT_THROW(applyTransformation(s.input().string(), s.handoff), Failure);
    EXPECT_THROW(applyTransformation(s.folder.path().string() + "//points.txt", s.handoff), Failure);
    EXPECT_EQ(readBytes(s.input()), input);
    EXPECT_EQ(listFolder(s.folder.path()), "points.txt state ");
}

TEST(ApplyTransformation, AFolderThatCannotBeWrittenIsAFailure)
{
    Scene s("1,1,2,3,a\r\n");
    EXPECT_THROW(applyTransformation((s.folder / "no such folder" / "r.txt").string(), s.handoff), Failure);
    EXPECT_THROW(applyTransformation(s.folder.path().string(), s.handoff), Failure);  // a folder's own name
    EXPECT_EQ(listFolder(s.folder.path()), "points.txt state ");
}

// A full disk, simulated by a file size limit: the write error is reported and nothing is left.
TEST(ApplyTransformation, AWriteErrorIsAFailureAndLeavesNothing)
{
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is simulated by a POSIX file size limit in a child process";
#else
    std::string points;
    for (int i = 0; i < 20000; ++i)
        points += std::to_string(i) + ",1000.123,2000.456,30.5,description\r\n";
    Scene s(points);
    writeBytes(s.result(), "an earlier result");

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            applyTransformation(s.result(), s.handoff);
        } catch (const Failure& failure) {
            const bool named = std::string(failure.what()).find("result.txt") != std::string::npos;
            ::_exit(named ? 0 : 2);
        }
        ::_exit(1);  // reported as success
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no failure reported; 2: the failure did not name the file";
    EXPECT_EQ(readBytes(s.result()), "an earlier result");
    EXPECT_EQ(listFolder(s.folder.path()), "points.txt result.txt state ");
#endif
}

}  // namespace
}  // namespace tavrelo
