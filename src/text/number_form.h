#pragma once
// How numbers become text and text becomes numbers.
//
// General number form: at most 15 significant digits, no trailing zeros and no trailing
// decimal separator, no digit grouping, "0" before the separator below 1, exponent form
// ("1E-05", "1E+15") when the decimal exponent is below -4 or 15 and above; negative zero
// is written "0". This is printf's "%.15G" in the C locale, with a chosen separator.
//
// Print form: how a number stands in a line of a file after a label or separator: one
// space (or its minus sign), its general number form with '.', and one trailing space.

#include <optional>
#include <string>
#include <string_view>

namespace tavrelo {

std::string generalNumberForm(double value, char decimalSeparator = '.');
void appendGeneralNumberForm(std::string& out, double value, char decimalSeparator = '.');

void appendPrintForm(std::string& out, double value);

// A decimal number as files hold it: optional sign, digits with at most one '.', optional
// exponent (E or e, optional sign, digits). Nothing else, not even blanks. '.' is the only
// decimal separator. A number too large for a double is not a number; one too small is 0.
std::optional<double> readDecimalNumber(std::string_view text);

// A number as the user types it into a box: surrounding blanks ignored, the decimal
// separator either the regional one or '.', no digit grouping.
std::optional<double> readTypedNumber(std::string_view text, char decimalSeparator);

}  // namespace tavrelo
