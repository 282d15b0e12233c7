#pragma once
// Windows-1253 (Greek), the code page of every coordinate file, result file and hand-off
// file. The program's own texts and the file system's paths are UTF-8.

#include <string>
#include <string_view>

namespace tavrelo {

// UTF-8 to Windows-1253. A character that has no Windows-1253 form, and a byte that is not
// valid UTF-8, becomes "?".
std::string utf8ToWindows1253(std::string_view utf8);

// Windows-1253 to UTF-8. The few byte values that Windows-1253 leaves unassigned become
// U+FFFD.
std::string windows1253ToUtf8(std::string_view bytes);

}  // namespace tavrelo
