#pragma once

#include <filesystem>

namespace tavrelo {

// The per-user folder of the hand-off files: $XDG_STATE_HOME/tavrelo, or
// ~/.local/state/tavrelo when that variable is unset or empty.
std::filesystem::path defaultHandoffFolder();

}  // namespace tavrelo
