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

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrelo {

std::string generalNumberForm(double value, char decimalSeparator = '.');
void appendGeneralNumberForm(std::string& out, double value, char decimalSeparator = '.');

// Room enough for any number in its general number form or its print form.
inline constexpr std::size_t kNumberTextRoom = 32;

// The general number form written at `out`, where kNumberTextRoom bytes are free; returns the
// end of what was written.
char* writeGeneralNumberForm(char* out, double value, char decimalSeparator = '.');

void appendPrintForm(std::string& out, double value);

// A number with a fixed count of decimals (correctly rounded) and `decimalSeparator`, no digit
// grouping, whatever the regional settings; a value that rounds to zero is written without a
// sign ("0.000", not "-0.000"). For tables of residuals and reports.
std::string fixedDecimalForm(double value, int decimals, char decimalSeparator = '.');

// A value cut to three decimals is k / 1000 for a whole number k, its thousandths. These write
// the general number form and the print form of `thousandths` / 1000: the same text as
// appendGeneralNumberForm(out, thousandths / 1000), but written from the whole number itself
// when |thousandths| is below 10^15. `thousandths` must be a whole number.
void appendThousandthsForm(std::string& out, double thousandths);
void appendPrintFormOfThousandths(std::string& out, double thousandths);

// The print form of `thousandths` / 1000 written at `out`, where kNumberTextRoom bytes are
// free; returns the end of what was written.
char* writePrintFormOfThousandths(char* out, double thousandths);

// The general number form of the number a plain decimal text reads as (optional sign, digits
// with at most one '.', no exponent), written straight from its digits: false, with nothing
// written, when the text is not of that form or when the number's text would need the double
// (more than 15 significant digits, or the exponent form).
bool appendGeneralFormOfDecimalText(std::string& out, std::string_view text);
// The same written at `out`, where text.size() + 1 bytes are free: the end of what was
// written, or nullptr (nothing written) where the above gives false.
char* writeGeneralFormOfDecimalText(char* out, std::string_view text);

// A decimal number as files hold it: optional sign, digits with at most one '.', optional
// exponent (E or e, optional sign, digits). Nothing else, not even blanks. '.' is the only
// decimal separator. A number too large for a double is not a number; one too small is 0.
inline std::optional<double> readDecimalNumber(std::string_view text);
// The same by the general way alone, for the texts that readDecimalNumber's quick way does
// not take (an exponent, more digits than a double holds).
std::optional<double> readDecimalNumberInGeneral(std::string_view text);

// A number as the user types it into a box: surrounding blanks ignored, the decimal
// separator either the regional one or '.', no digit grouping.
std::optional<double> readTypedNumber(std::string_view text, char decimalSeparator);

// The powers of ten that are exact doubles.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The quick way of reading a number: the plain decimal, [sign] digits [. digits], at the start
// of [first, last), when its digits make a whole number m of at most 2^53 (and are at most 19)
// and it has at most 22 decimals. Then m and 10^decimals are exact doubles, and their one
// correctly rounded quotient, set in `value`, is the double nearest the decimal. Returns the
// end of the plain decimal, or nullptr when there is none to be read this way.
inline const char* readPlainDecimal(const char* first, const char* last, double& value)
{
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (p != last && (*p == '-' || *p == '+'))
        ++p;
    const char* const digitsFirst = p;
    std::uint64_t m = 0;
    unsigned digit = 0;
    while (p != last && (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) <= 9) {
        m = m * 10 + digit;
        ++p;
    }
    const char* const wholeLast = p;
    if (p != last && *p == '.')
        while (++p != last && (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) <= 9)
            m = m * 10 + digit;
    const bool point = p != wholeLast;
    const auto digits = (p - digitsFirst) - point;
    const auto decimals = (p - wholeLast) - point;
    if (digits == 0 || digits > 19 || m > (std::uint64_t{1} << 53) || decimals > 22)
        return nullptr;
    value = static_cast<double>(m) / kExactPowersOfTen[decimals];
    if (negative)
        value = -value;
    return p;
}

inline std::optional<double> readDecimalNumber(std::string_view text)
{
    const char* const last = text.data() + text.size();
    double value = 0.0;
    if (readPlainDecimal(text.data(), last, value) == last)
        return value;
    return readDecimalNumberInGeneral(text);
}

}  // namespace tavrelo
