#include "app/handoff_folder.h"

#include <cstdlib>

#ifdef _WIN32
#include <cwchar>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace tavrelo {

#ifdef _WIN32

// %LOCALAPPDATA%\Tavrelo: the user's own folder for the program's data on this computer.
std::filesystem::path defaultHandoffFolder()
{
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local && *local)
        return std::filesystem::path(local) / L"Tavrelo";
    const wchar_t* profile = _wgetenv(L"USERPROFILE");
    return std::filesystem::path(profile && *profile ? profile : L"C:\\") / L"AppData" / L"Local" / L"Tavrelo";
}

#else

std::filesystem::path defaultHandoffFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')  // only an absolute path counts
        return std::filesystem::path(state) / "tavrelo";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/tmp";
    }
    return std::filesystem::path(home) / ".local" / "state" / "tavrelo";
}

#endif

}  // namespace tavrelo
