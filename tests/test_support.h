#pragma once
// Small helpers shared by the core tests: a private temporary folder, whole-file reads and
// writes of raw bytes.

#include "data/handoff_files.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>

namespace tavrelo::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, const std::string& bytes);

// The names of the files in a folder, sorted.
std::string listFolder(const std::filesystem::path& folder);

// A hand-off folder inside `folder`, with file000.tmp naming `coordinateFile`.
HandoffFiles handoffFor(const TempFolder& folder, const std::filesystem::path& coordinateFile);

// What is wrong with a failure message for an error box, or "" when nothing is: it must be
// valid UTF-8, end with a full stop (so nothing cut it short) and hold at most 1000 bytes.
std::string messageFault(const std::string& message);

// Every file, folder and link under `folder` (by relative path) with the bytes of each file,
// to tell whether a step left a folder exactly as it was.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder);

// Runs `step` in a child process, after `prepare` there, and tells how it ended: "done",
// "failure: " and the Failure's message, "exception: " and another exception's, or the
// signal that ended it. `prepare` may end the child with _exit(kCannotPrepare).
std::string outcomeInChild(const std::function<void()>& prepare, const std::function<void()>& step);
inline constexpr int kCannotPrepare = 77;
inline constexpr const char* kNotPrepared = "not prepared";

}  // namespace tavrelo::test
