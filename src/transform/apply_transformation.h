#pragma once
// Carries every point of the chosen coordinate file into the target system with the
// parameters of the hand-off folder, and writes the result file: a twelve-line report of the
// parameters, then one line a point, in file order.

#include "data/handoff_files.h"
#include "transform/plane_mapping.h"

#include "data/file_io.h"

#include <filesystem>
#include <string>

namespace tavrelo {

// The value of π with which the save step turns the rotation from grads into radians. It is
// this decimal, not the full-precision π nor the constant of the parameter computation: the
// coordinates written depend on it.
inline constexpr double kPiApply = 3.1415927;

// The result file's path: the directory and the name joined by one separator, except that a
// directory of exactly "c:\" (case counts) is followed directly by the name.
std::string resultFilePath(const std::string& directory, const std::string& name);

// Writes the result file at `resultPath`. The file appears only when it is complete: on any
// Failure no new file is left and an existing file of that name is untouched. A result path
// that names the coordinate file itself is refused.
// Direction::Inverse carries the points back from the target system into the source system
// (for stake-out): the same file, the same cut and the same parameter lines, with the header
// saying which way it went.
void applyTransformation(const std::string& resultPath, const HandoffFiles&,
                         Direction direction = Direction::Forward);

// The same for a coordinate file and a parameter file named directly: byte for byte the file
// the form above writes when the hand-off folder names these two files. A result path that
// names the coordinate file or the parameter file is refused. A model file in place of the
// parameter file carries the points by its model (applyModel).
void applyTransformation(const std::string& resultPath, const std::string& coordinatePath,
                         const PathName& parameterPath, Direction direction = Direction::Forward);

struct PlaneModel;

// The result file of an affine or second-degree model: the save step's layout and cut, with a
// header that names the model and lists its coefficients. A point that the second degree's
// way back cannot reach is a Failure naming its record; nothing is written then.
void applyModel(const std::string& resultPath, const std::string& coordinatePath, const PlaneModel& model,
                Direction direction = Direction::Forward);

}  // namespace tavrelo
