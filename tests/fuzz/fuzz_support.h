#pragma once
// Shared by the fuzz targets: a folder for the files of one fuzzing process, the reading
// rule of list input written out plainly over bytes in memory (the model the core's reader is
// checked against), and the checks that every outcome must pass.

#include "data/handoff_files.h"
#include "data/list_input.h"
#include "data/value.h"
#include "text/failure.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrelo::fuzz {

// A fresh folder for this process, in memory (/dev/shm) where there is one, so that the files
// of each run cost little; removed when the process ends.
const std::filesystem::path& workFolder();

std::string bytesOf(const std::uint8_t* data, std::size_t size);

// Stops the process with `what`: libFuzzer keeps the input that led here as a crash.
[[noreturn]] void fault(const std::string& what);
inline void require(bool ok, const char* what)
{
    if (!ok)
        fault(what);
}

// Every field of `bytes` by list input: fields end at a comma, CR LF, lone CR or lone LF;
// blanks before a field are skipped; a quoted field runs to the next quote and what follows
// the closing quote up to the comma or line end is dropped; an unquoted field loses its
// trailing blanks. A field is read while any byte is left.
std::vector<Field> modelFields(std::string_view bytes);

// A field read into a value target: empty, a number (optional sign, digits with at most one
// '.', optional exponent, within the range of a double) or a text.
Value modelValue(const Field& field);

// The value read by the core is the model's.
bool sameValue(const Value& read, const Value& model);

// A Failure's message is fit for an error box (test::messageFault).
void checkMessage(const Failure& failure);

// The save step's files: a coordinate file, the two hand-off files naming it, and an earlier
// result of the chosen name that only a complete result may replace.
struct SaveStep {
    SaveStep();
    std::filesystem::path input, result;
    HandoffFiles handoff;
    std::string pathFile;  // as written
    std::string earlierResult = "an earlier result";
};

// Runs the save step on the files as they stand; `parameterFile` is what file001.tmp holds.
// `records` is the model's reading of the coordinate file; `shouldWrite` says that nothing but
// a number out of range may stop it. A success must give a whole result: the header with
// numbers that read back, then one line per record with its Pn and D as read and three
// numbers that read back. A failure must leave the earlier result and the hand-off files as
// they were, and no other file.
void runSaveStep(const SaveStep& step, const std::string& parameterFile, const std::vector<Field>& records,
                 bool shouldWrite);

}  // namespace tavrelo::fuzz
