#include "platform/system.h"

#include "data/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <random>
#include <windows.h>
#include <shellapi.h>

namespace tavrelo::platform {

const int kQuotaExceeded = ENOSPC;

int readAccess(const std::filesystem::path& file)
{
    const HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? ENOENT : EACCES;
    ::CloseHandle(h);
    return 0;
}

bool canWriteInto(const std::filesystem::path& folder)
{
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::filesystem::path makeTemporaryFolder(const std::filesystem::path& parent, const std::string& prefix, int& error)
{
    std::random_device seed;
    std::mt19937 random(seed());
    const wchar_t letters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = pathFromUtf8(prefix).wstring();
        for (int i = 0; i < 6; ++i)
            name += letters[random() % 36];
        const std::filesystem::path folder = parent / name;
        if (::CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            error = ::GetLastError() == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
            return {};
        }
    }
    error = EEXIST;
    return {};
}

std::tm localTime(std::time_t time)
{
    std::tm local{};
    ::localtime_s(&local, &time);
    return local;
}

std::vector<std::string> utf8Arguments(int argc, char** argv)
{
    // The narrow arguments are in the system's code page, which cannot hold every file name:
    // take the wide ones.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(utf8Path(std::filesystem::path(wide[i])));
    ::LocalFree(wide);
    return arguments;
}

void prepareConsole()
{
    ::SetConsoleOutputCP(CP_UTF8);
    // The text is written as bytes: no translation of line ends on the way.
    ::_setmode(1, _O_BINARY);
    ::_setmode(2, _O_BINARY);
}

}  // namespace tavrelo::platform
