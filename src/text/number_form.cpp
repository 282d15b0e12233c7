#include "text/number_form.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tavrelo {

void appendGeneralNumberForm(std::string& out, double value, char decimalSeparator)
{
    if (value == 0.0) {  // both zeros, so negative zero is written "0"
        out += '0';
        return;
    }
    char buffer[64];
    // The general format with a precision follows printf's %g in the C locale exactly,
    // whatever the process's locale: 15 significant digits, trailing zeros dropped.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, 15);
    for (char* p = buffer; p != result.ptr; ++p) {
        if (*p == 'e')
            out += 'E';
        else if (*p == '.')
            out += decimalSeparator;
        else
            out += *p;
    }
}

std::string generalNumberForm(double value, char decimalSeparator)
{
    std::string text;
    appendGeneralNumberForm(text, value, decimalSeparator);
    return text;
}

void appendPrintForm(std::string& out, double value)
{
    if (!(value < 0.0))  // the minus sign of a negative number takes the place of the space
        out += ' ';
    appendGeneralNumberForm(out, value, '.');
    out += ' ';
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the decimal number grammar, with '.' or `otherSeparator` as the decimal separator,
// and converts. `otherSeparator` equal to '.' allows only '.'.
std::optional<double> readNumber(std::string_view text, char otherSeparator)
{
    std::string plain;  // the same number, '.' as separator and no leading '+'
    plain.reserve(text.size());
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        if (negative)
            plain += '-';
        ++i;
    }
    int digits = 0;
    int leadingDigits = 0;  // significant digits before the separator (for the range test)
    bool seenSeparator = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            ++digits;
            if (!seenSeparator && (leadingDigits > 0 || c != '0'))
                ++leadingDigits;
            plain += c;
        } else if ((c == '.' || c == otherSeparator) && !seenSeparator) {
            seenSeparator = true;
            plain += '.';
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            plain += text[i];
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < text.size() && isDigit(text[i]))
            plain += text[i++];
        if (i == exponentStart)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;

    double value = 0.0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double, or so small that it is zero. Tell them apart by the sign
        // of the decimal exponent: leading digits plus the written exponent.
        long exponent = leadingDigits;
        const auto e = plain.find('e');
        if (e != std::string::npos) {
            // An exponent this far out says all there is to say about the size, and keeps the
            // sum with the leading digits within a long.
            constexpr long kFarOut = 1L << 40;
            long written = 0;
            const char* first = plain.data() + e + 1;
            if (*first == '+')
                ++first;
            const auto r = std::from_chars(first, plain.data() + plain.size(), written);
            if (r.ec == std::errc::result_out_of_range || written > kFarOut || written < -kFarOut)
                written = (*first == '-') ? -kFarOut : kFarOut;
            exponent += written;
        }
        if (exponent > 0)
            return std::nullopt;
        return negative ? -0.0 : 0.0;
    }
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size())
        return std::nullopt;
    return value;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<double> readDecimalNumber(std::string_view text)
{
    return readNumber(text, '.');
}

std::optional<double> readTypedNumber(std::string_view text, char decimalSeparator)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return readNumber(text, decimalSeparator);
}

}  // namespace tavrelo
