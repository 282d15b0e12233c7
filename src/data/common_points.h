#pragma once
// Common points for a least-squares fit: the points of a target-system file ("Pn,X,Y,h,D",
// read by list input) matched by point number to the points of a coordinate file, which is
// read once from start to end and never held in memory: only the matched records are kept.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavrelo {

// One point known in both systems.
struct CommonPoint {
    std::string Pn;               // point number, the field's bytes as read (Windows-1253)
    double x = 0.0, y = 0.0;      // in the coordinate file
    std::optional<double> h;      // none when the coordinate file's h is empty
    double X = 0.0, Y = 0.0;      // in the target system
    std::optional<double> H;      // none when the target file's h is empty
    long sourceRecord = 0;        // record numbers (from 1) in each file, for messages
    long targetRecord = 0;
};

// A point of the coordinate file for a plan of the survey.
struct PlanPoint {
    double x = 0.0, y = 0.0;
};

struct CommonPoints {
    std::vector<CommonPoint> matched;    // in the target file's order
    std::vector<std::string> unmatched;  // target point numbers not in the coordinate file, in order
    long coordinateRecords = 0;          // records read from the coordinate file
    // Every n-th point of the coordinate file (n a power of two chosen as the file is read),
    // at most `planLimit` of them, in file order; only when asked for.
    std::vector<PlanPoint> plan;
};

// Reads the target file, then streams the coordinate file once and keeps the records whose
// point number (the text as list input reads it, bytes compared) is in the target file.
// With `planLimit` above zero it also keeps an evenly thinned plan of the coordinate file's
// points whose X and Y are numbers (empty counts as 0), at most `planLimit` of them.
// Failures, each naming the file, the record and the point number: either file missing or
// unreadable, a record cut short, a point number twice in the target file, a target point
// number twice in the coordinate file, an empty or non-numeric X or Y in the target file,
// a non-numeric X, Y or h of a matched point in either file, fewer than two matched points.
// An empty h in either file means "no height"; an empty X or Y in the coordinate file counts
// as 0, as the save step reads it.
CommonPoints matchCommonPoints(const std::string& coordinatePath, const std::string& targetPath,
                               std::size_t planLimit = 0);

// The plan alone: the coordinate file read once, at most `planLimit` of its points whose X and
// Y are numbers (empty counts as 0) kept evenly spread over it, in file order. A missing or
// unreadable file, or a record cut short, is a Failure.
std::vector<PlanPoint> readPlan(const std::string& coordinatePath, std::size_t planLimit);

}  // namespace tavrelo
