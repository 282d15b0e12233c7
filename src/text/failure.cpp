#include "text/failure.h"

#include "platform/system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace tavrelo {

Failure::Failure(const std::string& message) : std::runtime_error(message) {}

std::string describeSystemError(int error)
{
    if (error == platform::kQuotaExceeded)
        return "ο δίσκος είναι γεμάτος";
    switch (error) {
    case ENOENT: return "δεν υπάρχει";
    case EACCES:
    case EPERM: return "δεν επιτρέπεται η πρόσβαση";
    case ENOSPC: return "ο δίσκος είναι γεμάτος";
    case EFBIG: return "το αρχείο ξεπέρασε το επιτρεπτό μέγεθος";
    case EROFS: return "ο δίσκος δέχεται μόνο ανάγνωση";
    case EISDIR: return "είναι φάκελος, όχι αρχείο";
    case ENOTDIR: return "μέρος της διαδρομής δεν είναι φάκελος";
    case ENAMETOOLONG: return "το όνομα είναι πολύ μεγάλο";
    case EIO: return "σφάλμα ανάγνωσης ή εγγραφής του δίσκου";
    case EINVAL: return "το όνομα δεν είναι έγκυρο";
    case EMFILE:
    case ENFILE: return "υπάρχουν πάρα πολλά ανοιχτά αρχεία";
    default: return "σφάλμα συστήματος " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

namespace {

// Length of the well-formed UTF-8 sequence at the start of `s` (1 to 4), or 0 when the
// bytes there are not one.
std::size_t utf8Length(std::string_view s)
{
    const auto byte = [s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned code = 0, least = 0;
    if ((lead & 0xE0) == 0xC0)
        n = 2, code = lead & 0x1F, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        n = 3, code = lead & 0x0F, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        n = 4, code = lead & 0x07, least = 0x10000;
    else
        return 0;
    if (s.size() < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

}  // namespace

std::string inQuotes(const std::string& path)
{
    constexpr std::size_t kKept = 60;  // characters kept at each end of a long text
    const std::string_view text = path;
    auto step = [text](std::size_t i) { return std::max<std::size_t>(utf8Length(text.substr(i)), 1); };
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += step(i))
        ++count;

    std::string out = "«";
    std::size_t index = 0;
    for (std::size_t i = 0; i < text.size(); i += step(i), ++index) {
        const std::size_t n = utf8Length(text.substr(i));
        const auto lead = static_cast<unsigned char>(text[i]);
        if (count > 2 * kKept + 1 && index >= kKept && index < count - kKept) {
            if (index == kKept)
                out += "…";
        } else if (n == 0 || lead < 0x20 || lead == 0x7F) {
            out += '?';
        } else {
            out += text.substr(i, n);
        }
    }
    return out + "»";
}

}  // namespace tavrelo
