#include "app/handoff_folder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace tavrelo {

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

}  // namespace tavrelo
