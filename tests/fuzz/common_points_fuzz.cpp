// Any bytes as the coordinate file and the common points file of a least-squares fit. The
// first byte picks the options (scale, outlier dropping, a point left out by hand); the rest
// is split at its first NUL byte into the coordinate file and the common points file (without
// one, the same bytes are both). Matching and fitting must succeed with every number finite
// and the parameter file and report written whole, or fail with a sound message and leave the
// folder as it was.

#include "fuzz_support.h"
#include "test_support.h"

#include "data/common_points.h"
#include "transform/fit_report.h"
#include "transform/model_file.h"
#include "transform/model_fit.h"
#include "transform/similarity_fit.h"

#include <cmath>

using namespace tavrelo;
using namespace tavrelo::fuzz;

namespace {

void requireFinite(double value, const char* what)
{
    require(std::isfinite(value), what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const std::filesystem::path folder = workFolder() / "fit";
    static const bool made = std::filesystem::create_directories(folder) || true;
    (void)made;
    const unsigned options = data[0];
    const std::string bytes = bytesOf(data + 1, size - 1);
    const std::size_t split = bytes.find('\0');
    const std::filesystem::path coordinates = folder / "points.txt", targets = folder / "targets.txt";
    test::writeBytes(coordinates, bytes.substr(0, split));
    test::writeBytes(targets, split == std::string::npos ? bytes : bytes.substr(split + 1));
    const std::filesystem::path parameters = folder / "fit.tmp", report = folder / "report.txt";
    const auto before = test::snapshot(folder);

    try {
        const CommonPoints common = matchCommonPoints(coordinates.string(), targets.string(), 64);
        require(common.matched.size() >= 2, "a fit from fewer than two matched points");
        require(common.plan.size() <= 64, "a plan past its limit");
        std::vector<bool> use(common.matched.size(), true);
        if (options & 4)
            use[(options >> 3) % use.size()] = false;
        const FitOptions fitOptions{(options & 1) != 0, (options & 2) ? 0.06 : 1e9};
        const SimilarityFit fit = (options & 2) ? dropOutliers(common.matched, use, fitOptions)
                                                : fitSimilarity(common.matched, use, fitOptions);
        for (double v : {fit.f, fit.X1, fit.Y1, fit.Dh, fit.klimax, fit.X1N, fit.Y1N})
            requireFinite(v, "a parameter that is not finite");
        require(fit.f > -200 && fit.f <= 200, "a rotation outside (-200, 200]");
        require(fit.klimax > 0, "a scale that is not positive");
        require(fit.residuals.size() == common.matched.size(), "not one residual a point");
        for (const Residual& r : fit.residuals) {
            requireFinite(r.v, "a residual that is not finite");
            require(!r.vh || std::isfinite(*r.vh), "a height residual that is not finite");
        }
        require(!fit.sigma0 || std::isfinite(*fit.sigma0), "a σ0 that is not finite");
        require(!fit.heightSigma || std::isfinite(*fit.heightSigma), "a height σ that is not finite");

        writeParameterFile(parameters, parameterLinesOf(fit));
        const TransformParameters p = readParameterFile(parameters);
        for (const Value* v : {&p.f, &p.X1, &p.Y1, &p.Dh, &p.klimax, &p.X1N, &p.Y1N})
            require(v->isNumber() && std::isfinite(v->number), "a parameter that does not read back");
        writeFitReport(report, {coordinates.string(), targets.string(), "2026-12-08 10:00", &common, &fit});

        // The other models on the same points: a fit or a Failure, and a model file that reads back.
        for (const FitModel model : {FitModel::Affine, FitModel::SecondDegree}) {
            std::vector<bool> modelUse(common.matched.size(), true);
            try {
                const ModelFit other = dropOutliersOf(common.matched, modelUse, fitOptions, model);
                require(other.residuals.size() == common.matched.size(), "not one residual a point");
                for (const Residual& r : other.residuals)
                    requireFinite(r.v, "a residual that is not finite");
                writeModelFile(parameters, other.mapping);
                const PlaneModel read = readModelFile(parameters);
                require(read.cX == modelAsWritten(other.mapping).cX, "a model that does not read back");
            } catch (const Failure& failure) {
                checkMessage(failure);
            }
        }
        std::filesystem::remove(parameters);
        std::filesystem::remove(report);
    } catch (const Failure& failure) {
        checkMessage(failure);
        require(test::snapshot(folder) == before, "a failed fit changed the folder");
    }
    return 0;
}
