#pragma once
// What the commands of tavrelo-cli share in printing and in guarding their outputs.

#include <nlohmann/json.hpp>

#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>

namespace tavrelo::cli {

// The warning of the two-point computation when the two lengths of the line 1-2 differ by
// more than the tolerance: the words of the warning window.
inline constexpr const char* kDistanceWarning =
    "ΠΡΟΣΟΧΗ!!!!!!! Ο Συντελεστής Κλίμακας μεταξύ των δύο συστημάτων αναφοράς είναι πολύ μεγάλος. "
    "Αυτό μπορεί να οφείλεται σε λανθασμένη πληκτρολόγιση των συντεταγμένων, σε λάθος επιλογής σημείων "
    "ή σε σημαντικό σφάλμα στις εξασφαλίσεις. Παρακαλώ ελέγξτε τις συντεταγμένες.";

// Lines "label : text", the colons in one column (labels are UTF-8).
void printLabelled(std::ostream& out, std::initializer_list<std::pair<const char*, std::string>> lines);

// JSON as UTF-8, indented, one newline after it.
void printJson(std::ostream& out, const nlohmann::ordered_json& json);

}  // namespace tavrelo::cli
