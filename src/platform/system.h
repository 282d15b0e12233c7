#pragma once
// The few things the core and the command line ask of the operating system beyond files
// (data/file_io.h) and the code page (text/codepage.h): one implementation for POSIX
// systems, one for Windows, chosen by the build.

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrelo::platform {

// The system error number (errno) that a full quota gives, told as a full disk.
extern const int kQuotaExceeded;

// 0 when the file can be read by this program, else the reason (an errno value).
int readAccess(const std::filesystem::path& file);

// True when this program may create files in the folder.
bool canWriteInto(const std::filesystem::path& folder);

// Creates a new folder, for this user only, inside `parent` with a name that starts with
// `prefix`, and returns it; an empty path and the reason in `error` (errno) when it cannot.
std::filesystem::path makeTemporaryFolder(const std::filesystem::path& parent, const std::string& prefix,
                                          int& error);

// The local time of day.
std::tm localTime(std::time_t time);

// The program's arguments as UTF-8 text; the first is the program itself.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Makes the console show UTF-8 text written to it as it is.
void prepareConsole();

}  // namespace tavrelo::platform
