// tavrelo-cli run as a process, as a script runs it: its exit status, what it prints, the
// files it writes, and that they are the files the screens' steps write for the same input.

#include "data/format_conversion.h"
#include "drawing/dxf_transform.h"
#include "data/handoff_files.h"
#include "plain_reference.h"
#include "text/failure.h"
#include "test_support.h"
#include "transform/apply_transformation.h"
#include "transform/model_file.h"
#include "transform/model_fit.h"
#include "transform/parameters.h"
#include "transform/similarity_fit.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::snapshot;
using test::TempFolder;
using test::writeBytes;

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The run's output and errors, taken from their files (then removed); the hand-off folder must
// not have been touched.
Outcome collected(Outcome run, const fs::path& folder, const fs::path& outFile, const fs::path& errFile)
{
    run.out = readBytes(outFile);
    run.err = readBytes(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    EXPECT_FALSE(fs::exists(folder / "state-home")) << "the hand-off folder was touched";
    return run;
}

#ifdef _WIN32
// Runs tavrelo-cli with `args` (each passed as one word) in `folder`, with the screens'
// hand-off folder pointed at `folder`/state-home, where nothing may ever appear.
Outcome cli(const fs::path& folder, const std::vector<std::string>& args)
{
    // One word of a Windows command line, as the C runtime splits it again.
    auto quoted = [](const std::wstring& word) {
        std::wstring q = L"\"";
        std::size_t slashes = 0;
        for (wchar_t c : word) {
            if (c == L'\\') {
                ++slashes;
                continue;
            }
            q.append(c == L'"' ? 2 * slashes + 1 : slashes, L'\\');
            slashes = 0;
            q += c;
        }
        q.append(2 * slashes, L'\\');
        return q + L"\"";
    };
    std::wstring command = quoted(fs::path(TAVRELO_CLI).wstring());
    for (const std::string& a : args)
        command += L" " + quoted(pathFromUtf8(a).wstring());
    const fs::path outFile = fs::temp_directory_path() / ("tavrelo-cli-out-" + std::to_string(::GetCurrentProcessId()));
    const fs::path errFile = fs::temp_directory_path() / ("tavrelo-cli-err-" + std::to_string(::GetCurrentProcessId()));
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    auto create = [&](const fs::path& file) {
        return ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    };
    const HANDLE out = create(outFile), err = create(errFile);
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", (folder / "state-home").c_str());
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = out;
    start.hStdError = err;
    PROCESS_INFORMATION process{};
    Outcome run;
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &start, &process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        ::GetExitCodeProcess(process.hProcess, &status);
        run.status = static_cast<int>(status);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    return collected(run, folder, outFile, errFile);
}
#else
// Runs tavrelo-cli with `args` (each passed as one word) in `folder`, with the screens'
// hand-off folder pointed at `folder`/state-home, where nothing may ever appear; `shell` runs
// first in the same shell (limits for the run).
Outcome cli(const fs::path& folder, const std::vector<std::string>& args, const std::string& shell = {})
{
    auto quoted = [](const std::string& word) {
        std::string q = "'";
        for (char c : word)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    const fs::path outFile = fs::temp_directory_path() / ("tavrelo-cli-out-" + std::to_string(::getpid()));
    const fs::path errFile = fs::temp_directory_path() / ("tavrelo-cli-err-" + std::to_string(::getpid()));
    std::string command = shell + "cd " + quoted(folder.string()) + " && XDG_STATE_HOME=" +
                          quoted((folder / "state-home").string()) + " " + quoted(TAVRELO_CLI);
    for (const std::string& a : args)
        command += " " + quoted(a);
    command += " >" + quoted(outFile.string()) + " 2>" + quoted(errFile.string());
    const int raw = std::system(command.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return collected(run, folder, outFile, errFile);
}
#endif

const fs::path kExamples = TAVRELO_EXAMPLES;

// ---- compute -----------------------------------------------------------------------------

struct ComputeCase {
    const char* name;
    const char* points;           // the coordinate file; common points are records row1 and row2
    int row1, row2;
    const char *Pn1, *Pn2;        // their point numbers on the command line
    CommonPointInput typed;
};

TEST(TavreloCliCompute, PrintsAndHandsOnWhatTheCommonPointsScreenDoes)
{
    const std::string survey = readBytes(kExamples / "survey.txt");
    const ComputeCase cases[] = {
        {"the walk-through", survey.c_str(), 0, 3, "Σ1", "Σ4",
         {0, 0, "475000", "4201000", "110.644", "474914.629", "4200971.510", "108.708", false}},
        {"with the scale", survey.c_str(), 0, 3, "Σ1", "Σ4",
         {0, 0, "475000", "4201000", "110.644", "474914.629", "4200971.510", "108.708", true}},
        {"length warning, negative rotation", "1,100,100,0,A\r\n2,200,200,0,B\r\n", 0, 1, "1", "2",
         {0, 0, "300", "300", "0", "400", "400.2", "0", false}},
        // The first record with a point number counts; an empty height counts as 0.
        {"first of two records, empty h", "7,5,5,,A\r\n8,9,1,2,B\r\n7,0,0,0,C\r\n", 0, 1, "7", "8",
         {0, 0, "-5", " 6 ", "1", "-15", "2", "3", true}},
        {"one point twice", "1,5,6,7,A\r\n", 0, 0, "1", "1", {0, 0, "1", "2", "3", "1", "2", "3", false}},
    };
    for (const ComputeCase& c : cases) {
        TempFolder folder;
        writeBytes(folder / "points.txt", c.points);
        CommonPointInput in = c.typed;
        in.row1 = c.row1;
        in.row2 = c.row2;
        const HandoffFiles handoff = test::handoffFor(folder, folder / "points.txt");
        const ParameterResult screen = *computeParameters(in, handoff);
        writeTransformParameters(handoff, c.row1, {screen.f, screen.Dh, screen.klimax, in.X1N, in.Y1N});

        std::vector<std::string> args = {"compute", "points.txt", "--common", c.Pn1, in.X1N, in.Y1N, in.h1N,
                                         "--common", c.Pn2, in.X2N, in.Y2N, in.h2N, "-p", "params.txt"};
        if (in.scaleWanted)
            args.push_back("--scale");
        const Outcome text = cli(folder.path(), args);
        ASSERT_EQ(text.status, 0) << c.name << ": " << text.err;
        const std::string expected = "Κλίμακα         : " + screen.klimax + "\nDh              : " + screen.Dh +
                                     "\nφ (Βαθμοί)      : " + screen.f + "\nDx              : " + screen.dx1 +
                                     "\nDy              : " + screen.Dy1 + "\nΤυπική Απόκλιση : " + screen.SD + "\n";
        EXPECT_EQ(text.out.substr(0, expected.size()), expected) << c.name;
        EXPECT_EQ(text.out.size() > expected.size(), screen.distanceMismatch) << c.name << ": the warning";
        EXPECT_EQ(readBytes(folder / "params.txt"), readBytes(handoff.parameterFile())) << c.name;

        args.push_back("--json");
        const Outcome json = cli(folder.path(), args);
        ASSERT_EQ(json.status, 0) << c.name << ": " << json.err;
        const auto j = nlohmann::json::parse(json.out);
        EXPECT_EQ(j.at("f"), screen.f) << c.name;
        EXPECT_EQ(j.at("dx1"), screen.dx1) << c.name;
        EXPECT_EQ(j.at("Dy1"), screen.Dy1) << c.name;
        EXPECT_EQ(j.at("Dh"), screen.Dh) << c.name;
        EXPECT_EQ(j.at("klimax"), screen.klimax) << c.name;
        EXPECT_EQ(j.at("SD"), screen.SD) << c.name;
        EXPECT_EQ(j.at("distance_warning"), screen.distanceMismatch) << c.name;
    }
}

TEST(TavreloCliCompute, FindsPointsBeyondTheScreensFourHundredAndOneRows)
{
    TempFolder folder;
    std::string big;
    for (int i = 1; i <= 1000; ++i)
        big += std::to_string(i) + "," + std::to_string(1000 + i) + ".25," + std::to_string(2000 - i) + ",1,-\r\n";
    writeBytes(folder / "big.txt", big);
    writeBytes(folder / "two.txt", "700,1700.25,1300,1,-\r\n950,1950.25,1050,1,-\r\n");
    const auto screen = *computeParameters({0, 1, "10", "20", "0", "300", "-5", "1", true},
                                           test::handoffFor(folder, folder / "two.txt"));
    const Outcome run = cli(folder.path(), {"compute", "big.txt", "--common", "700", "10", "20", "0", "--common", "950",
                                        "300", "-5", "1", "--scale", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j.at("f"), screen.f);
    EXPECT_EQ(j.at("klimax"), screen.klimax);
    EXPECT_EQ(j.at("SD"), screen.SD);
}

// ---- apply and convert: the same bytes as the core's steps ----------------------------------

// The save step through a hand-off folder, as Form4 runs it, for the coordinate file at `input`.
std::string screenResult(const TempFolder& folder, const fs::path& input, const fs::path& parameters,
                         Direction direction = Direction::Forward)
{
    const HandoffFiles handoff = test::handoffFor(folder, input);
    writeBytes(handoff.parameterFile(), readBytes(parameters));
    applyTransformation((folder / "screen-result.txt").string(), handoff, direction);
    const std::string bytes = readBytes(folder / "screen-result.txt");
    fs::remove(folder / "screen-result.txt");
    return bytes;
}

TEST(TavreloCliApply, WritesWhatTheSaveScreenWritesForOneFileAndForABatch)
{
    std::mt19937_64 random(12);
    TempFolder folder;
    fs::create_directories(folder / "day" / "sub");
    fs::create_directories(folder / "out");
    writeBytes(folder / "params.txt", test::reference::randomParameters(random));
    writeBytes(folder / "day" / "a.txt", test::reference::randomFile(random, {}));
    writeBytes(folder / "day" / "sub" / "b.txt", test::reference::randomFile(random, {}));
    writeBytes(folder / "day" / "c.txt", "");

    // A relative path is printed made absolute, its "." and ".." resolved.
    const Outcome one = cli(folder.path(), {"apply", "params.txt", "./day/sub/../a.txt", "result.txt"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(readBytes(folder / "result.txt"), screenResult(folder, folder / "day" / "a.txt", folder / "params.txt"));

    const Outcome batch = cli(folder.path(), {"apply", "params.txt", "--output-dir", "out", "day/a.txt",
                                          (folder / "day" / "sub" / "b.txt").string(), "day/c.txt"});
    ASSERT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(test::listFolder(folder / "out"), "a.txt b.txt c.txt ");
    for (const char* name : {"a.txt", "sub/b.txt", "c.txt"})
        EXPECT_EQ(readBytes(folder / "out" / fs::path(name).filename()),
                  screenResult(folder, folder / "day" / fs::path(name).make_preferred(), folder / "params.txt"))
            << name;
}

TEST(TavreloCliApply, TheWayBackWritesWhatTheSaveScreenWritesWithItsBoxTicked)
{
    std::mt19937_64 random(18);
    TempFolder folder;
    fs::create_directories(folder / "out");
    writeBytes(folder / "params.txt", test::reference::randomParameters(random));
    writeBytes(folder / "a.txt", test::reference::randomFile(random, {.records = 50}));
    writeBytes(folder / "b.txt", test::reference::randomFile(random, {.records = 50}));
    const std::vector<std::vector<std::string>> runs = {
        {"apply", "params.txt", "a.txt", "out/a.txt", "--inverse"},
        {"apply", "--inverse", "params.txt", "--output-dir", "out", "a.txt", "b.txt"}};
    for (const auto& args : runs) {
        const Outcome run = cli(folder.path(), args);
        ASSERT_EQ(run.status, 0) << run.err;
        for (const char* name : {"a.txt", "b.txt"}) {
            if (fs::exists(folder / "out" / name)) {
                EXPECT_EQ(readBytes(folder / "out" / name),
                          screenResult(folder, folder / name, folder / "params.txt", Direction::Inverse))
                    << args[2] << " " << name;
            }
        }
        EXPECT_EQ(test::listFolder(folder / "out"), args.size() == 5 ? "a.txt " : "a.txt b.txt ");
    }
    EXPECT_NE(cli(folder.path(), {"apply", "--help"}).out.find("--inverse"), std::string::npos);
}

TEST(TavreloCliConvert, WritesWhatTheConversionScreenWritesInEveryLayout)
{
    std::mt19937_64 random(7);
    for (int layout = 0; layout < 12; ++layout) {
        TempFolder folder;
        writeBytes(folder / "in.txt", test::reference::randomFile(random, {200, false, layout}));
        convertToPointFile((folder / "in.txt").string(), (folder / "core.txt").string(), layout);
        // By number beside the input, and by its text to a named file.
        const Outcome byNumber = cli(folder.path(), {"convert", std::to_string(layout + 1), "in.txt"});
        const Outcome byText = cli(folder.path(), {"convert", kConversionLayouts[layout], "in.txt", "-o", "named.txt"});
        ASSERT_EQ(byNumber.status, 0) << byNumber.err;
        ASSERT_EQ(byText.status, 0) << byText.err;
        EXPECT_EQ(readBytes(folder / "PENZD_in.txt"), readBytes(folder / "core.txt")) << layout;
        EXPECT_EQ(readBytes(folder / "named.txt"), readBytes(folder / "core.txt")) << layout;
    }
}

TEST(TavreloCliDxf, WritesTheCoresDrawingAndTellsWhatMovedAndWhatStayed)
{
    TempFolder folder;
    writeBytes(folder / "p.par", "50\r\n 1000 \r\n 2000 \r\n3\r\n1.0002\r\n5000\r\n6000\r\n");
    writeBytes(folder / "in.dxf",
               "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$EXTMIN\r\n10\r\n1\r\n20\r\n2\r\n30\r\n0\r\n9\r\n$EXTMAX\r\n"
               "10\r\n11\r\n20\r\n12\r\n30\r\n5\r\n0\r\nENDSEC\r\n0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nLINE\r\n5\r\nA1\r\n"
               "10\r\n1\r\n20\r\n2\r\n11\r\n11\r\n21\r\n12\r\n0\r\nFLOWER\r\n5\r\nB7\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
    for (const bool inverse : {false, true}) {
        std::vector<std::string> args = {"dxf", "p.par", "in.dxf", "out.dxf", "--skip-unknown", "--json"};
        if (inverse)
            args.push_back("--inverse");
        const Outcome run = cli(folder.path(), args);
        ASSERT_EQ(run.status, 0) << run.err;
        const DrawingSummary core = transformDrawing((folder / "core.dxf").string(), (folder / "in.dxf").string(),
                                                     folder / "p.par", {inverse, true});
        EXPECT_EQ(readBytes(folder / "out.dxf"), readBytes(folder / "core.dxf"));
        const auto j = nlohmann::json::parse(run.out);
        EXPECT_EQ(j.at("carried"), nlohmann::json({{"LINE", 1}}));
        EXPECT_EQ(j.at("stayed"), nlohmann::json::parse(R"([{"type": "FLOWER", "handle": "B7"}])"));
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(j.at("extents").at("min")[k].get<double>(), core.extentMin[k]);
            EXPECT_EQ(j.at("extents").at("max")[k].get<double>(), core.extentMax[k]);
        }
    }
    const Outcome text = cli(folder.path(), {"dxf", "p.par", "in.dxf", "out.dxf", "--skip-unknown"});
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("FLOWER (B7)"), std::string::npos) << text.out;
}

// ---- fit ------------------------------------------------------------------------------------

TEST(TavreloCliFit, JsonAndParameterFileAreTheCoresFit)
{
    TempFolder folder;
    writeBytes(folder / "points.txt", readBytes(kExamples / "survey.txt"));
    // Targets of five stations and a detail point (with a gross error), one unknown point, one
    // station without a height.
    writeBytes(folder / "targets.txt",
               "\xD3" "1,475000.010,4201000,110.644,a\r\n\xD3" "2,474995.283,4200959.024,109.312,b\r\n"
               "\xD3" "3,474953.634,4200941.437,,c\r\n\xD3" "4,474914.629,4200971.51,108.708,d\r\n"
               "\xD3" "5,474922.126,4201024.219,112.276,e\r\n7,474986.175,4201023.996,108.439,f\r\n"
               "99,1,2,3,g\r\n");
    const CommonPoints points = matchCommonPoints((folder / "points.txt").string(), (folder / "targets.txt").string());
    std::vector<bool> use(points.matched.size(), true);
    use[1] = false;  // Σ2 excluded by hand
    const SimilarityFit fit = dropOutliers(points.matched, use, {true, 0.05});
    writeParameterFile(folder / "core.par", parameterLinesOf(fit));

    const Outcome run = cli(folder.path(), {"fit", "points.txt", "targets.txt", "--scale", "--exclude", "Σ2",
                                        "--tolerance", "0.05", "--drop-outliers", "-p", "cli.par", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(folder / "cli.par"), readBytes(folder / "core.par"));
    const auto j = nlohmann::json::parse(run.out);
    const auto& p = j.at("parameters");
    // Numbers read back to the very doubles of the fit.
    EXPECT_EQ(p.at("f").get<double>(), fit.f);
    EXPECT_EQ(p.at("X1").get<double>(), fit.X1);
    EXPECT_EQ(p.at("Y1").get<double>(), fit.Y1);
    EXPECT_EQ(p.at("Dh").get<double>(), fit.Dh);
    EXPECT_EQ(p.at("klimax").get<double>(), fit.klimax);
    EXPECT_EQ(p.at("X1N").get<double>(), fit.X1N);
    EXPECT_EQ(p.at("Y1N").get<double>(), fit.Y1N);
    EXPECT_EQ(j.at("used"), fit.used);
    ASSERT_TRUE(fit.sigma0);
    EXPECT_EQ(j.at("sigma0").get<double>(), *fit.sigma0);
    ASSERT_EQ(j.at("points").size(), points.matched.size());
    for (std::size_t i = 0; i < points.matched.size(); ++i) {
        const auto& q = j.at("points")[i];
        const Residual& r = fit.residuals[i];
        EXPECT_EQ(q.at("used"), r.used) << i;
        EXPECT_EQ(q.at("vX").get<double>(), r.vX) << i;
        EXPECT_EQ(q.at("v").get<double>(), r.v) << i;
        EXPECT_EQ(q.at("vh").is_null(), !r.vh) << i;
    }
    EXPECT_EQ(j.at("points")[0].at("Pn"), "Σ1");
    EXPECT_EQ(j.at("unmatched"), nlohmann::json::array({"99"}));
    EXPECT_EQ(j.at("model"), "similarity");

    // The other models: every coefficient in the JSON and in the model file that -p writes.
    for (const FitModel model : {FitModel::Affine, FitModel::SecondDegree}) {
        use.assign(points.matched.size(), true);
        const ModelFit core = fitModel(points.matched, use, {}, model);
        const Outcome other = cli(folder.path(), {"fit", "points.txt", "targets.txt", "--model", modelKey(model),
                                                  "-p", "cli.model", "--json"});
        ASSERT_EQ(other.status, 0) << other.err;
        const auto k = nlohmann::json::parse(other.out);
        EXPECT_EQ(k.at("model"), modelKey(model));
        EXPECT_FALSE(k.contains("parameters"));
        for (const ModelFigure& figure : modelFigures(core.mapping))
            EXPECT_EQ(k.at("coefficients").at(figure.name).get<double>(), figure.value) << figure.name;
        EXPECT_EQ(k.at("sigma0").is_null(), !core.sigma0);
        EXPECT_EQ(k.at("points")[3].at("v").get<double>(), core.residuals[3].v);
        EXPECT_EQ(readBytes(folder / "cli.model"), modelFileText(core.mapping));
    }
}

// ---- failures: the exit status, a message, and nothing written ----------------------------

struct FailureCase {
    const char* name;
    std::vector<std::string> args;
    int status;
};

TEST(TavreloCliFailures, LeaveEveryFileAsItWasWithTheirExitStatus)
{
    const FailureCase cases[] = {
        {"unknown command", {"transform", "a.txt"}, 2},
        {"no command", {}, 2},
        {"one --common", {"compute", "a.txt", "--common", "1", "0", "0", "0", "-p", "new.par"}, 2},
        {"--common cut short", {"compute", "a.txt", "--common", "1", "0", "0"}, 2},
        {"--common of three", {"compute", "a.txt", "--common", "1", "0", "0", "--common", "2", "1", "1", "0"}, 2},
        {"compute, missing file", {"compute", "none.txt", "--common", "1", "0", "0", "0", "--common", "2", "1", "1", "0",
                                   "-p", "new.par"}, 1},
        {"compute, unknown point", {"compute", "a.txt", "--common", "1", "0", "0", "0", "--common", "9", "1", "1", "0",
                                    "-p", "new.par"}, 1},
        {"compute, empty coordinate", {"compute", "a.txt", "--common", "1", "0", "", "0", "--common", "2", "1", "1", "0",
                                       "-p", "new.par"}, 1},
        {"compute, parameters over the file", {"compute", "a.txt", "--common", "1", "0", "0", "0", "--common", "2", "1",
                                               "1", "0", "-p", "a.txt"}, 1},
        {"apply, missing file", {"apply", "good.par", "none.txt", "new.txt"}, 1},
        {"apply, result over its input", {"apply", "good.par", "a.txt", "a.txt"}, 1},
        {"apply, result over the parameters", {"apply", "good.par", "a.txt", "good.par"}, 1},
        {"apply, missing parameter file", {"apply", "none.par", "a.txt", "new.txt"}, 1},
        {"apply, damaged parameter file", {"apply", "short.par", "a.txt", "new.txt"}, 1},
        {"apply, parameter not a number", {"apply", "text.par", "a.txt", "new.txt"}, 1},
        {"apply, no result named", {"apply", "good.par", "a.txt"}, 2},
        {"batch, one file damaged", {"apply", "good.par", "--output-dir", "out", "a.txt", "cut.txt", "b.txt"}, 1},
        {"batch, one file missing", {"apply", "good.par", "--output-dir", "out", "a.txt", "none.txt"}, 1},
        {"batch, results over the inputs", {"apply", "good.par", "--output-dir", ".", "a.txt"}, 1},
        {"batch, two inputs of one name", {"apply", "good.par", "--output-dir", "out", "a.txt", "sub/a.txt"}, 1},
        {"batch, no such folder", {"apply", "good.par", "--output-dir", "nowhere", "a.txt"}, 1},
        {"convert, unknown layout", {"convert", "13", "a.txt", "-o", "new.txt"}, 2},
        {"convert, unknown layout text", {"convert", "P,X", "a.txt", "-o", "new.txt"}, 2},
        {"convert, missing file", {"convert", "1", "none.txt"}, 1},
        {"convert, result over its input", {"convert", "P,X,Y,Z", "a.txt", "-o", "a.txt"}, 1},
        {"convert, record cut short", {"convert", "P,X,Y", "cut.txt", "-o", "new.txt"}, 1},
        {"fit, missing targets", {"fit", "a.txt", "none.txt", "-p", "new.par", "--report", "new.rep"}, 1},
        {"fit, one common point", {"fit", "a.txt", "one.txt", "-p", "new.par"}, 1},
        {"fit, parameters over the input", {"fit", "a.txt", "targets.txt", "-p", "targets.txt"}, 1},
        {"fit, negative tolerance", {"fit", "a.txt", "targets.txt", "--tolerance", "-1", "-p", "new.par"}, 2},
        {"dxf, missing drawing", {"dxf", "good.par", "none.dxf", "new.dxf"}, 1},
        {"dxf, cut short", {"dxf", "good.par", "cut.dxf", "new.dxf"}, 1},
        {"dxf, unknown entity", {"dxf", "good.par", "flower.dxf", "new.dxf", "--json"}, 1},
        {"dxf, result over the drawing", {"dxf", "good.par", "good.dxf", "good.dxf"}, 1},
        {"dxf, damaged parameter file", {"dxf", "short.par", "good.dxf", "new.dxf"}, 1},
        {"dxf, no result named", {"dxf", "good.par", "good.dxf"}, 2},
        {"dxf, model file", {"dxf", "good.model", "good.dxf", "new.dxf"}, 1},
        {"apply, model file cut short", {"apply", "cut.model", "a.txt", "new.txt"}, 1},
        {"apply, unknown model", {"apply", "unknown.model", "a.txt", "new.txt"}, 1},
        {"batch, model file cut short", {"apply", "cut.model", "--output-dir", "out", "a.txt"}, 1},
        {"fit, unknown model", {"fit", "a.txt", "targets.txt", "--model", "cubic", "-p", "new.model"}, 2},
        {"fit, affine from two points", {"fit", "a.txt", "targets.txt", "--model", "affine", "-p", "new.model"}, 1},
        {"fit, scale of an affine", {"fit", "a.txt", "targets.txt", "--model", "affine", "--scale"}, 2},
    };
    for (const FailureCase& c : cases) {
        TempFolder folder;
        fs::create_directories(folder / "out");
        fs::create_directories(folder / "sub");
        writeBytes(folder / "a.txt", "1,100,100,0,A\r\n2,200,200,0,B\r\n");
        writeBytes(folder / "b.txt", "3,1,2,3,C\r\n");
        writeBytes(folder / "sub" / "a.txt", "4,1,2,3,D\r\n");
        writeBytes(folder / "cut.txt", "5,1,2,3,E\r\n6,1,2\r\n");
        writeBytes(folder / "good.par", "0\r\n 100 \r\n 100 \r\n0\r\n1\r\n300\r\n300\r\n");
        writeBytes(folder / "short.par", "0\r\n 100 \r\n 100 \r\n0\r\n1\r\n300\r\n");
        writeBytes(folder / "text.par", "0\r\nx\r\n 100 \r\n0\r\n1\r\n300\r\n300\r\n");
        writeBytes(folder / "targets.txt", "1,300,300,0,A\r\n2,400,400,0,B\r\n");
        writeBytes(folder / "one.txt", "1,300,300,0,A\r\n9,400,400,0,B\r\n");
        writeBytes(folder / "good.dxf", "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n2\n0\nENDSEC\n0\nEOF\n");
        writeBytes(folder / "cut.dxf", "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n2\n0\nENDSEC\n");
        const std::string model = "TAVRELO-MODEL 1\r\naffine\r\nX1 0\r\nY1 0\r\nX1N 0\r\nY1N 0\r\na1 1\r\na2 0\r\n";
        writeBytes(folder / "good.model", model + "b1 0\r\nb2 1\r\nDh 0\r\n");
        writeBytes(folder / "cut.model", model);
        writeBytes(folder / "unknown.model", "TAVRELO-MODEL 1\r\ncubic\r\nX1 0\r\n");
        writeBytes(folder / "flower.dxf", "0\nSECTION\n2\nENTITIES\n0\nFLOWER\n5\nF1\n0\nENDSEC\n0\nEOF\n");
        const auto before = snapshot(folder.path());
        const Outcome run = cli(folder.path(), c.args);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_TRUE(snapshot(folder.path()) == before) << c.name << ": files changed";
        EXPECT_EQ(run.out, "") << c.name;
        EXPECT_EQ(run.err.rfind("tavrelo-cli: ", 0), 0u) << c.name << ": " << run.err;
        if (c.status == 2)
            EXPECT_NE(run.err.find("Χρήση:\n  tavrelo-cli "), std::string::npos) << c.name << ": no usage line";
        else
            EXPECT_EQ(test::messageFault(run.err.substr(13, run.err.size() - 14)), "") << c.name;
    }
}

TEST(TavreloCliFailures, ABatchThatCannotWriteNamesTheResultAskedFor)
{
#ifdef _WIN32
    GTEST_SKIP() << "a limit on file sizes is set through the POSIX shell";
#else
    // Files may grow to 4 blocks only (2 or 4 KiB, as the shell counts them): the first small
    // result is written, the second, four times the example survey, fails in the middle.
    TempFolder folder;
    fs::create_directories(folder / "out");
    writeBytes(folder / "a.txt", "1,100,100,0,A\r\n");
    const std::string survey = readBytes(kExamples / "survey.txt");
    writeBytes(folder / "survey.txt", survey + survey + survey + survey);
    writeBytes(folder / "good.par", "0\r\n 100 \r\n 100 \r\n0\r\n1\r\n300\r\n300\r\n");
    const Outcome run = cli(folder.path(), {"apply", "good.par", "--output-dir", "out", "a.txt", "survey.txt"},
                            "ulimit -f 4 && trap '' XFSZ && ");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find(inQuotes("out/survey.txt")), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(".tavrelo-cli-"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Δεν γράφτηκε κανένα αρχείο.\n"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_empty(folder / "out"));
#endif
}

TEST(TavreloCliHelp, EveryCommandHasGreekHelpWithAnExampleAndTheVersionIsTheProjects)
{
    TempFolder folder;
    for (const char* command : {"compute", "fit", "apply", "convert", "dxf"}) {
        const Outcome run = cli(folder.path(), {command, "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find(std::string("tavrelo-cli ") + command), std::string::npos) << command;
        const auto examples = std::min(run.out.find("\nΠαράδειγμα:\n"), run.out.find("\nΠαραδείγματα:\n"));
        ASSERT_NE(examples, std::string::npos) << command;
        EXPECT_NE(run.out.find(std::string("  tavrelo-cli ") + command + " ", examples), std::string::npos) << command;
    }
    const Outcome help = cli(folder.path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Εντολές:"), std::string::npos);
    const Outcome version = cli(folder.path(), {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tavrelo-cli " TAVRELO_VERSION "\n", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("GPL-3.0-or-later"), std::string::npos) << version.out;
    EXPECT_NE(version.out.find(TAVRELO_HOMEPAGE), std::string::npos) << version.out;
    EXPECT_NE(version.out.find(TAVRELO_CONTACT), std::string::npos) << version.out;
    EXPECT_TRUE(test::listFolder(folder.path()).empty());
}

}  // namespace
}  // namespace tavrelo
