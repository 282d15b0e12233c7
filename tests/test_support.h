#pragma once
// Small helpers shared by the core tests: a private temporary folder, whole-file reads and
// writes of raw bytes.

#include "data/handoff_files.h"

#include <filesystem>
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

}  // namespace tavrelo::test
