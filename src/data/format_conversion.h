#pragma once
// Conversion of coordinate files of twelve other column layouts into the program's own
// "Pn,X,Y,h,D" layout.

#include <array>
#include <string>

namespace tavrelo {

// The layouts, in list order (index 0 to 11). Each text lists a record's input fields in file
// order: P point number, X and Y coordinates, Z height, D description.
inline constexpr std::array<const char*, 12> kConversionLayouts = {
    "P,X,Y,Z", "P,X,Y", "X,Y,Z", "X,Y", "X,Y,Z,D", "X,Y,D",
    "P,Y,X,Z", "P,Y,X", "Y,X,Z", "Y,X", "Y,X,Z,D", "Y,X,D",
};

// Reads `inputPath` by list input as records of layout `layoutIndex` and writes one line
// "Pn,X,Y,h,D" (CR LF) a record to `outputPath`. A layout without P numbers the records 1, 2,
// 3, …; without Z writes height 0; without D writes "-". Numbers are written in the general
// number form with '.', texts as read. Layout -1 (none chosen) reads nothing and writes an
// empty file. The output appears only when complete; a record cut short at the end of the
// input is a Failure that names it, and leaves no output and any earlier output untouched.
void convertToPointFile(const std::string& inputPath, const std::string& outputPath, int layoutIndex);

}  // namespace tavrelo
