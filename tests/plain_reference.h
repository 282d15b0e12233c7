#pragma once
// A plain, slow and obvious second implementation of the save step and the layout
// conversion, written straight from the rules of list input, the general number form (printf
// "%.15G") and the print form, sharing no code with the core's readers and number forms. The
// tests run both on the same random files and require the same bytes.
//
// It also makes those random files: coordinate files and layout files that use every rule of
// list input (quotes, blanks, empty fields, lone CR or LF, records across lines) and numbers
// of every form and size.

#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace tavrelo::test::reference {

// The general number form of a double: printf "%.15G", "-0" written "0".
std::string generalForm(double value);

struct ApplyResult {
    std::string headerValues;  // the print forms of header lines 6 to 10, each followed by CR LF
    std::string pointLines;    // every line after the twelve header lines
};

// The save step on the bytes of the parameter file and of the coordinate file. Nothing when
// the core must stop with a failure: a parameter or coordinate that is not a number, data
// ending inside a record or inside the parameters, a result that is not finite.
std::optional<ApplyResult> apply(const std::string& parameterBytes, const std::string& pointBytes);

// The layout conversion; nothing when the input ends inside a record.
std::optional<std::string> convert(const std::string& inputBytes, int layoutIndex);

// Random files.
struct RandomFileOptions {
    int records = 1000;
    bool textValues = false;  // coordinate fields that do not read as numbers
    int layout = -1;          // -1: "Pn,X,Y,h,D" records; 0 to 11: that conversion layout
};
std::string randomFile(std::mt19937_64& random, const RandomFileOptions& options);
std::string randomParameters(std::mt19937_64& random);

}  // namespace tavrelo::test::reference
