#pragma once
// Realistic coordinate files for measuring the program: a survey of `points` points in a
// Greek national-grid-sized area (X about 475000, Y about 4200000), heights of a few hundred
// metres, point numbers with and without letters, Greek descriptions in Windows-1253, CR LF.
// The same seed gives the same file, in every shape.

#include <cstdio>
#include <string>

namespace tavrelo::bench {

enum class Shape {
    PointFile,  // "Pn,X,Y,h,D": the program's own coordinate file
    Layout,     // one of the twelve conversion layouts (see `layout`)
    Columns,    // "Pn X Y h D" in blank-separated columns, for column-reading tools
};

struct GeneratorOptions {
    long points = 0;
    unsigned long seed = 1;
    Shape shape = Shape::PointFile;
    int layout = 0;  // index into kConversionLayouts, for Shape::Layout
};

// Writes the file to `out`; false on a write error.
bool writePoints(std::FILE* out, const GeneratorOptions& options);

// The same file as one string (for benchmarks that want it in memory).
std::string generatePoints(const GeneratorOptions& options);

}  // namespace tavrelo::bench
