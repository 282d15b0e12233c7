// The least-squares fit from the command line.

#include "cli/commands.h"
#include "cli/output.h"
#include "data/common_points.h"
#include "data/file_io.h"
#include "data/handoff_files.h"
#include "platform/system.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "transform/fit_report.h"
#include "transform/model_file.h"
#include "transform/model_fit.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <filesystem>


namespace tavrelo::cli {

namespace {

namespace fs = std::filesystem;

// An output file is refused before anything is computed or written when it names one of the
// inputs or the other output, or when its folder cannot take it.
void checkOutput(const std::string& output, const char* what, const FitRequest& r)
{
    if (output.empty())
        return;
    if (sameFile(output, r.coordinateFile) || sameFile(output, r.targetFile))
        throw Failure(std::string("Το ") + what + " " + inQuotes(output) +
                      " είναι ένα από τα αρχεία εισόδου. Δώστε άλλο όνομα.");
    const fs::path folder = pathFromUtf8(output).parent_path().empty() ? fs::path(".") : pathFromUtf8(output).parent_path();
    std::error_code ec;
    if (!fs::is_directory(folder, ec) || !platform::canWriteInto(folder))
        throw Failure(std::string("Το ") + what + " " + inQuotes(output) + " δεν γράφεται: ο φάκελος " +
                      inQuotes(utf8Path(folder)) + " δεν υπάρχει ή δεν δέχεται αρχεία. Δεν γράφτηκε κανένα αρχείο.");
}

// A number for JSON, or null.
nlohmann::ordered_json numberOrNull(const std::optional<double>& value)
{
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json fitJson(const CommonPoints& points, const ModelFit& fit)
{
    nlohmann::ordered_json j;
    j["model"] = modelKey(fit.model);
    if (fit.similarity) {
        const SimilarityFit& s = *fit.similarity;
        j["parameters"] = {{"f", s.f},           {"X1", s.X1},   {"Y1", s.Y1},  {"Dh", s.Dh},
                           {"klimax", s.klimax}, {"X1N", s.X1N}, {"Y1N", s.Y1N}};
    } else {
        j["coefficients"] = nlohmann::ordered_json::object();
        for (const ModelFigure& figure : modelFigures(fit.mapping))
            j["coefficients"][figure.name] = figure.value;
        if (fit.model == FitModel::Affine) {
            const AffineMeaning m =
                affineMeaning(fit.mapping.cX[0], fit.mapping.cX[1], fit.mapping.cY[0], fit.mapping.cY[1]);
            j["affine"] = {{"scale_x", m.scaleX},
                           {"scale_y", m.scaleY},
                           {"rotation_x", m.rotationX},
                           {"rotation_y", m.rotationY},
                           {"shear", m.shear}};
        }
    }
    j["used"] = fit.used;
    j["sigma0"] = numberOrNull(fit.sigma0);
    j["height_sigma"] = numberOrNull(fit.heightSigma);
    j["points"] = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < points.matched.size(); ++i) {
        const Residual& r = fit.residuals.at(i);
        j["points"].push_back({{"Pn", windows1253ToUtf8(points.matched[i].Pn)},
                               {"used", r.used},
                               {"vX", r.vX},
                               {"vY", r.vY},
                               {"vh", numberOrNull(r.vh)},
                               {"v", r.v}});
    }
    j["unmatched"] = nlohmann::ordered_json::array();
    for (const std::string& Pn : points.unmatched)
        j["unmatched"].push_back(windows1253ToUtf8(Pn));
    return j;
}

}  // namespace

void runFit(const FitRequest& request, std::ostream& out)
{
    checkOutput(request.parameterFile, "αρχείο παραμέτρων", request);
    checkOutput(request.reportFile, "αρχείο αναφοράς", request);
    if (!request.parameterFile.empty() && !request.reportFile.empty() &&
        pathFromUtf8(request.parameterFile).lexically_normal() == pathFromUtf8(request.reportFile).lexically_normal())
        throw Failure("Το αρχείο παραμέτρων και το αρχείο αναφοράς έχουν το ίδιο όνομα " +
                      inQuotes(request.reportFile) + ". Δώστε άλλο όνομα.");

    const CommonPoints points = matchCommonPoints(request.coordinateFile, request.targetFile);
    std::vector<bool> use(points.matched.size(), true);
    for (const std::string& excluded : request.excluded) {
        const std::string Pn = utf8ToWindows1253(excluded);
        bool found = false;
        for (std::size_t i = 0; i < points.matched.size(); ++i)
            if (points.matched[i].Pn == Pn) {
                use[i] = false;
                found = true;
            }
        if (!found)
            throw Failure("Το σημείο " + inQuotes(excluded) +
                          " που εξαιρείται δεν είναι κοινό σημείο των δύο αρχείων. Δεν έγινε υπολογισμός.");
    }
    FitOptions options;
    options.scaleWanted = request.scaleWanted;
    if (request.tolerance)
        options.tolerance = *request.tolerance;
    const FitModel model = modelOfKey(request.model).value_or(FitModel::Similarity);
    const ModelFit fit = request.dropOutliers ? dropOutliersOf(points.matched, use, options, model)
                                              : fitModel(points.matched, use, options, model);

    FitReportInput report{absoluteInputPath(request.coordinateFile), absoluteInputPath(request.targetFile),
                          reportDateNow(), &points, nullptr, &fit};
    if (!request.parameterFile.empty()) {
        if (fit.similarity)
            writeParameterFile(request.parameterFile, parameterLinesOf(*fit.similarity));
        else
            writeModelFile(request.parameterFile, fit.mapping);
    }
    if (!request.reportFile.empty())
        writeFitReport(request.reportFile, report);

    if (request.json)
        printJson(out, fitJson(points, fit));
    else
        out << windows1253ToUtf8(fitReport(report));
}

}  // namespace tavrelo::cli
