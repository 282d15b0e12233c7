#pragma once
// The model file: an affine or second-degree mapping kept for later, as the save step's
// seven-line file keeps a similarity. A small text of the program's own, one item a line with
// CR LF:
//     TAVRELO-MODEL 1
//     affine                    (or poly2)
//     X1 <number>               (then Y1, X1N, Y1N, the coefficients, Dh: modelFigures' order)
// numbers in the general number form with '.'.

#include "transform/model_fit.h"

#include "data/file_io.h"

#include <string>

namespace tavrelo {

// The file's bytes.
std::string modelFileText(const PlaneModel& model);

// Writes the model file; it appears only when complete.
void writeModelFile(const PathName& file, const PlaneModel& model);

// The model as a file holds it. Failures, naming the file: missing or unreadable, not a model
// file, a later version, an unknown model, a figure missing, twice, unknown or not a number,
// anything after the figures.
PlaneModel readModelFile(const PathName& file);

// The model exactly as its file would give it back: what a result written now and one written
// later from the file both carry.
PlaneModel modelAsWritten(const PlaneModel& model);

}  // namespace tavrelo
