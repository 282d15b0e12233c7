#pragma once
// The text report of a least-squares fit: Windows-1253, CR LF, columns aligned, for the
// client's file and for the command line.

#include "data/common_points.h"
#include "transform/model_fit.h"

#include "data/file_io.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tavrelo {

struct FitReportInput {
    std::string coordinateFile;   // paths as shown (UTF-8)
    std::string targetFile;
    std::string date;             // as shown, e.g. "2026-12-08 10:15"
    const CommonPoints* points = nullptr;
    const SimilarityFit* fit = nullptr;
    // A fit of any model, reported in place of `fit`.
    const ModelFit* model = nullptr;

    // What the report shows: the statistics, and either the similarity's fit or another
    // model's mapping (the other is null).
    const FitStatistics& statistics() const { return model ? *model : static_cast<const FitStatistics&>(*fit); }
    const SimilarityFit* similarity() const { return model ? (model->similarity ? &*model->similarity : nullptr) : fit; }
    const PlaneModel* planeModel() const { return model && !model->similarity ? &model->mapping : nullptr; }
};

// The figures of an affine or second-degree fit as a surveyor reads them, label and text: for
// the affine the two scales, the two rotations and the shear, then every coefficient of the
// model file with its meaning.
std::vector<std::pair<std::string, std::string>> modelFitFigures(const PlaneModel& model);

// The report's bytes: program and version, date, both files, method, the seven parameters
// with Dx and Dy, counts used / matched / unmatched, σ0, height σ, tolerance, the table of
// points (Pn, used, vX, vY, vh, v, a mark over tolerance) and the unmatched point numbers.
std::string fitReport(const FitReportInput& input);

// Writes the report at `file`; it appears only when complete.
void writeFitReport(const PathName& file, const FitReportInput& input);

// The local date and time now, as the report shows it ("2026-12-08 10:15").
std::string reportDateNow();

}  // namespace tavrelo
