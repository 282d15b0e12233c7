#include "platform/system.h"

#include <cerrno>
#include <unistd.h>

namespace tavrelo::platform {

const int kQuotaExceeded = EDQUOT;

int readAccess(const std::filesystem::path& file)
{
    return ::access(file.c_str(), R_OK) == 0 ? 0 : errno;
}

bool canWriteInto(const std::filesystem::path& folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

std::filesystem::path makeTemporaryFolder(const std::filesystem::path& parent, const std::string& prefix, int& error)
{
    std::string pattern = (parent / (prefix + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) {
        error = errno;
        return {};
    }
    return pattern;
}

std::tm localTime(std::time_t time)
{
    std::tm local{};
    ::localtime_r(&time, &local);
    return local;
}

std::vector<std::string> utf8Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void prepareConsole() {}

}  // namespace tavrelo::platform
