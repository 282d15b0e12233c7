#pragma once
// The report of a least-squares fit as a PDF for the client's file: A4 pages with the title,
// the files, the method, the parameters, the statistics, the table of residuals and the plan.

#include "transform/fit_report.h"

#include <QString>

namespace tavrelo {

class PointsPlot;

// Writes the PDF at `path`; it appears only when complete. A file that cannot be written is
// a Failure.
void writeFitReportPdf(const QString& path, const FitReportInput& input, const PointsPlot& plot);

}  // namespace tavrelo
