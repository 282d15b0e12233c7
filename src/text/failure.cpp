#include "text/failure.h"

#include <cerrno>
#include <cstring>

namespace tavrelo {

Failure::Failure(const std::string& message) : std::runtime_error(message) {}

std::string describeSystemError(int error)
{
    switch (error) {
    case ENOENT: return "δεν υπάρχει";
    case EACCES:
    case EPERM: return "δεν επιτρέπεται η πρόσβαση";
    case ENOSPC:
    case EDQUOT: return "ο δίσκος είναι γεμάτος";
    case EFBIG: return "το αρχείο ξεπέρασε το επιτρεπτό μέγεθος";
    case EROFS: return "ο δίσκος δέχεται μόνο ανάγνωση";
    case EISDIR: return "είναι φάκελος, όχι αρχείο";
    case ENOTDIR: return "μέρος της διαδρομής δεν είναι φάκελος";
    case ENAMETOOLONG: return "το όνομα είναι πολύ μεγάλο";
    case EIO: return "σφάλμα ανάγνωσης ή εγγραφής του δίσκου";
    case EMFILE:
    case ENFILE: return "υπάρχουν πάρα πολλά ανοιχτά αρχεία";
    default: return "σφάλμα συστήματος " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

std::string inQuotes(const std::string& path)
{
    return "«" + path + "»";
}

}  // namespace tavrelo
