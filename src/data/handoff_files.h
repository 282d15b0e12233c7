#pragma once
// The two hand-off files through which one step passes its results to the next, in one
// folder: file000.tmp holds the chosen coordinate file's path, file001.tmp the seven
// transformation parameters. Both outlive the program, so a later run finds what an
// earlier one left.

#include "data/value.h"

#include "data/file_io.h"

#include <filesystem>
#include <string>

namespace tavrelo {

struct PointRecord;

class HandoffFiles {
public:
    explicit HandoffFiles(std::filesystem::path folder);
    std::filesystem::path pathFile() const;       // folder / "file000.tmp"
    std::filesystem::path parameterFile() const;  // folder / "file001.tmp"
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

// Records the chosen coordinate file's full path as the one line of file000.tmp (CR LF
// after it). The folder is created, for its owner only, on the first write.
void writeHandoffPath(const HandoffFiles&, const std::string& path);

// The whole first line of file000.tmp, without its line end. A missing file is a Failure
// that says no coordinate file has been chosen.
std::string readHandoffPath(const HandoffFiles&);

// The seven values handed from the common points screen to the save step, in file order.
struct TransformParameters {
    Value f;       // rotation in grads (400 to the full circle)
    Value X1, Y1;  // common point 1 in the source system
    Value Dh;      // height shift: source height minus target height
    Value klimax;  // scale factor: target length over source length
    Value X1N, Y1N;  // common point 1 in the target system
};

// The seven lines of a parameter file as written, without their line ends: f, X1, Y1, Dh,
// klimax, X1N, Y1N.
struct ParameterLines {
    std::string f, X1, Y1, Dh, klimax, X1N, Y1N;
};

// Writes a parameter file at any path: the seven lines, each with CR LF. The file appears only
// when complete (an existing one is replaced whole or left untouched).
void writeParameterFile(const PathName& file, const ParameterLines& lines);

// The first word of a model file (an affine or second-degree mapping), which a parameter file
// never starts with.
inline constexpr const char* kModelFileMark = "TAVRELO-MODEL";

// True when `file` is a model file (an affine or second-degree mapping), not seven parameters.
bool isModelFile(const PathName& file);

// Reads the seven fields of a parameter file at any path by list input into values. A missing
// file, one that ends before its seventh value, or a model file, is a Failure: what a model
// carries, a similarity's parameters cannot stand for (a drawing's circles would not stay
// circles).
TransformParameters readParameterFile(const PathName& file);

// The texts of the common points screen's boxes that O.K. hands on, as shown there (the
// decimal separator of the screen's number format).
struct ParameterBoxes {
    std::string f, Dh, klimax, X1N, Y1N;
};

// O.K. on the common points screen: reloads the coordinate file, takes X and Y of row `row1`
// (the entry picked as common point 1) and writes the seven lines of file001.tmp: the text of
// f, the print forms of X1 and Y1, the texts of Dh, klimax, X1N and Y1N. The box texts are
// written with '.' as the decimal separator whatever `decimalSeparator` they were shown with,
// so the file always reads back. No row picked, or a box text that is not a number, is a
// Failure, and file001.tmp keeps its previous content.
void writeTransformParameters(const HandoffFiles&, int row1, const ParameterBoxes& boxes,
                              char decimalSeparator = '.');

// The seven lines of the two-point road for common point 1 `point1` (its X and Y in the print
// form) and the boxes' texts (with '.' in place of `decimalSeparator`). A box text that is not
// a number is a Failure.
ParameterLines twoPointParameterLines(const PointRecord& point1, const ParameterBoxes& boxes,
                                      char decimalSeparator = '.');

// Writes `lines` as file001.tmp, creating the hand-off folder (for its owner only) when needed.
void writeHandoffParameters(const HandoffFiles&, const ParameterLines& lines);

// Reads the seven fields of file001.tmp by list input into values. A missing file, or one
// that ends before its seventh value, is a Failure.
TransformParameters readTransformParameters(const HandoffFiles&);

}  // namespace tavrelo
