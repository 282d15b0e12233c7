// Google Benchmark suite of the core's file work on realistic coordinate files of 10 k, 100 k
// and 1 M points: list input, the save step and the layout conversion, plus the number forms
// they spend their time in; and matching and fitting 200 common points against files of 1 M
// and 10 M points, beside the save step on the same files.
//
//   build/bench/tavrelo_bench [--benchmark_filter=Apply]

#include "point_generator.h"

#include "data/common_points.h"
#include "data/format_conversion.h"
#include "data/handoff_files.h"
#include "data/point_table.h"
#include "text/number_form.h"
#include "transform/apply_transformation.h"
#include "transform/similarity_fit.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace tavrelo::bench {
namespace {

// Where the generated files live while the suite runs; removed at its end.
class Workspace {
public:
    Workspace()
    {
        std::string pattern = (fs::temp_directory_path() / "tavrelo-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("no temporary folder");
        folder_ = pattern;
    }
    ~Workspace()
    {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // The file of `points` points in `shape` (and `layout`), written on first use.
    fs::path file(long points, Shape shape = Shape::PointFile, int layout = 0)
    {
        const std::string name = std::to_string(points) + "-" + std::to_string(static_cast<int>(shape)) + "-" +
                                 std::to_string(layout) + ".txt";
        const fs::path path = folder_ / name;
        if (!fs::exists(path)) {
            GeneratorOptions options;
            options.points = points;
            options.shape = shape;
            options.layout = layout;
            std::FILE* out = std::fopen(path.c_str(), "wb");
            if (!out || !writePoints(out, options) || std::fclose(out) != 0)
                throw std::runtime_error("cannot write " + path.string());
        }
        return path;
    }

    // A hand-off folder naming the coordinate file of `points` points, with the parameters
    // of a real job: a small rotation, a scale near 1 and a height shift.
    HandoffFiles handoff(long points)
    {
        const fs::path state = folder_ / ("state-" + std::to_string(points));
        if (!fs::exists(state)) {
            HandoffFiles h(state);
            writeHandoffPath(h, file(points).string());
            std::FILE* out = std::fopen(h.parameterFile().c_str(), "wb");
            std::fputs("12.3456789\r\n 475000 \r\n 4200000 \r\n0.85\r\n1.00025\r\n475123.456\r\n4200987.654\r\n", out);
            std::fclose(out);
        }
        return HandoffFiles(state);
    }

    fs::path output() const { return folder_ / "out.txt"; }

    // A common points file of 200 points of the coordinate file of `points` points, evenly
    // spread through it, carried into a target system by a turn, a scale and a shift.
    fs::path commonPoints(long points)
    {
        const fs::path path = folder_ / ("common-" + std::to_string(points) + ".txt");
        if (fs::exists(path))
            return path;
        ListReader reader(file(points));
        std::FILE* out = std::fopen(path.c_str(), "wb");
        PointRecord record;
        const long every = points / 200;
        for (long n = 0; !reader.atEnd(); ++n) {
            readPointRecord(reader, record, n + 1);
            if (n % every != 0 || n / every >= 200)
                continue;
            const double t = 0.2, k = 1.0003, x = record.X.number - 475000, y = record.Y.number - 4200000;
            std::fprintf(out, "%s,%.3f,%.3f,%.3f,\r\n", record.Pn.c_str(), k * (x * std::cos(t) + y * std::sin(t)) + 470000,
                         k * (y * std::cos(t) - x * std::sin(t)) + 4100000, record.h.number - 0.85);
        }
        if (std::fclose(out) != 0)
            throw std::runtime_error("cannot write " + path.string());
        return path;
    }

private:
    fs::path folder_;
};

Workspace& workspace()
{
    static Workspace w;
    return w;
}

void pointsProcessed(benchmark::State& state, const fs::path& file)
{
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
}

void ListInput(benchmark::State& state)
{
    const fs::path file = workspace().file(state.range(0));
    PointRecord record;
    for (auto _ : state) {
        ListReader reader(file);
        long n = 0;
        while (!reader.atEnd())
            readPointRecord(reader, record, ++n);
        benchmark::DoNotOptimize(record.X.number);
    }
    pointsProcessed(state, file);
}

void ApplyTransformation(benchmark::State& state)
{
    const HandoffFiles handoff = workspace().handoff(state.range(0));
    for (auto _ : state)
        applyTransformation(workspace().output().string(), handoff);
    pointsProcessed(state, workspace().file(state.range(0)));
}

void ConvertToPointFile(benchmark::State& state)
{
    // Layout 0, "P,X,Y,Z": what most total stations export.
    const fs::path file = workspace().file(state.range(0), Shape::Layout, 0);
    for (auto _ : state)
        convertToPointFile(file.string(), workspace().output().string(), 0);
    pointsProcessed(state, file);
}

// Matching 200 common points by point number in one pass of the coordinate file, and fitting
// them with outlier dropping: beside ApplyTransformation on the same file.
void MatchAndFitCommonPoints(benchmark::State& state)
{
    const fs::path file = workspace().file(state.range(0));
    const fs::path common = workspace().commonPoints(state.range(0));
    for (auto _ : state) {
        const CommonPoints points = matchCommonPoints(file.string(), common.string());
        std::vector<bool> use(points.matched.size(), true);
        benchmark::DoNotOptimize(dropOutliers(points.matched, use, {true, 0.06}).f);
    }
    pointsProcessed(state, file);
}

BENCHMARK(MatchAndFitCommonPoints)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ApplyTransformation)->Arg(10000000)->Unit(benchmark::kMillisecond);

BENCHMARK(ListInput)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ApplyTransformation)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertToPointFile)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The number forms on their own, on 4096 values at a time.
std::vector<double> cutCoordinates()
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<long long> mm(470000000, 4210000000);
    std::vector<double> values(4096);
    for (double& v : values)
        v = std::floor(static_cast<double>(mm(random))) / 1000;
    return values;
}

std::vector<double> anyMagnitude()
{
    std::mt19937_64 random(8);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::uniform_int_distribution<int> exponent(-30, 30);
    std::vector<double> values(4096);
    for (double& v : values)
        v = mantissa(random) * std::pow(10.0, exponent(random));
    return values;
}

void GeneralNumberFormOfCutCoordinates(benchmark::State& state)
{
    const auto values = cutCoordinates();
    std::string out;
    for (auto _ : state) {
        out.clear();
        for (double v : values)
            appendGeneralNumberForm(out, v);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

void GeneralNumberFormOfAnyMagnitude(benchmark::State& state)
{
    const auto values = anyMagnitude();
    std::string out;
    for (auto _ : state) {
        out.clear();
        for (double v : values)
            appendGeneralNumberForm(out, v);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

// The save step's way: cut values written from their thousandths.
void PrintFormOfThousandths(benchmark::State& state)
{
    std::vector<double> thousandths;
    for (double v : cutCoordinates())
        thousandths.push_back(std::floor(v * 1000));
    char text[kNumberTextRoom];
    for (auto _ : state) {
        for (double k : thousandths) {
            benchmark::DoNotOptimize(writePrintFormOfThousandths(text, k));
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(thousandths.size()));
}

void ReadDecimalNumber(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (double v : cutCoordinates())
        texts.push_back(generalNumberForm(v));
    for (auto _ : state)
        for (const auto& t : texts)
            benchmark::DoNotOptimize(readDecimalNumber(t));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

BENCHMARK(GeneralNumberFormOfCutCoordinates);
BENCHMARK(GeneralNumberFormOfAnyMagnitude);
BENCHMARK(PrintFormOfThousandths);
BENCHMARK(ReadDecimalNumber);

}  // namespace
}  // namespace tavrelo::bench

BENCHMARK_MAIN();
