#pragma once
// The commands of tavrelo-cli, free of argument parsing: each takes what the command line
// named, does its step through the core and writes what it prints to `out`. A failure is a
// tavrelo::Failure with a Greek message, thrown before anything is written where it can be
// found out beforehand, and never leaving a partly written file.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tavrelo::cli {

// A common point as named on the command line: its point number (UTF-8) and its X, Y and h in
// the target system, as typed ('.' as the decimal separator).
struct CommonTarget {
    std::string Pn, X, Y, h;
};

struct ComputeRequest {
    std::string coordinateFile;
    CommonTarget point1, point2;
    bool scaleWanted = false;
    std::string parameterFile;  // empty: none written
    bool json = false;
};

// The two-point computation of the common points screen, the points found by point number
// (the first record with it). Prints the six result texts and the length warning, or JSON.
void runCompute(const ComputeRequest& request, std::ostream& out);

struct FitRequest {
    std::string coordinateFile, targetFile;
    bool scaleWanted = false;
    std::vector<std::string> excluded;  // point numbers (UTF-8)
    std::optional<double> tolerance;
    bool dropOutliers = false;
    std::string model = "similarity";  // similarity, affine or poly2
    std::string parameterFile, reportFile;  // empty: none written
    bool json = false;
};

// The least-squares fit from the common points of a target file. Prints the report or JSON.
// `-p` writes the seven-line parameter file of a similarity, or the model file of another model.
void runFit(const FitRequest& request, std::ostream& out);

// The save step with a parameter file: `coordinateFiles` holds one file written to
// `resultFile`, or, with `outputDir`, any number of files each written there under its own
// name. A batch is all or nothing: every result is first written into a private folder inside
// `outputDir` and moved into place only when all are complete. `inverse` carries the points
// back from the target system into the source system.
void runApply(const std::string& parameterFile, const std::vector<std::string>& coordinateFiles,
              const std::string& resultFile, const std::string& outputDir, std::ostream& out,
              bool inverse = false);

// The layout conversion; `resultFile` empty: "PENZD_" + name beside the input.
void runConvert(int layoutIndex, const std::string& inputFile, const std::string& resultFile, std::ostream& out);

struct DrawingRequest {
    std::string parameterFile, drawingFile, resultFile;
    bool inverse = false;      // from the target system back into the source system
    bool skipUnknown = false;  // entities that cannot be carried stay as they are, listed
    bool json = false;
};

// A DXF drawing carried by a parameter file. Prints what was carried, what stayed and the new
// extents, or JSON.
void runDrawing(const DrawingRequest& request, std::ostream& out);

// A layout as the command line names it: 1 to 12 in the order of the conversion screen's
// list, or its text ("Y,X,Z,D"). Nothing when it names none.
std::optional<int> layoutIndexOf(const std::string& text);

// A coordinate file's path as the result file prints it: a relative path made absolute from
// the current folder (its "." and ".." resolved by name), an absolute one as given.
std::string absoluteInputPath(const std::string& path);

}  // namespace tavrelo::cli
