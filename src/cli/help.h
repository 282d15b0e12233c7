#pragma once
// The Greek help of tavrelo-cli: the whole program's and each command's, with examples.

#include <string>

namespace tavrelo::cli {

// The help of `command` ("" for the whole program).
std::string helpText(const std::string& command);

// The usage lines of `command` ("" for the whole program), for a usage error.
std::string usageText(const std::string& command);

}  // namespace tavrelo::cli
