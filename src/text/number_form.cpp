#include "text/number_form.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace tavrelo {

char* writeGeneralNumberForm(char* out, double value, char decimalSeparator)
{
    if (value == 0.0) {  // both zeros, so negative zero is written "0"
        *out = '0';
        return out + 1;
    }
    // The general format with a precision follows printf's %g in the C locale exactly,
    // whatever the process's locale: 15 significant digits, trailing zeros dropped.
    const auto result = std::to_chars(out, out + kNumberTextRoom, value, std::chars_format::general, 15);
    for (char* p = out; p != result.ptr; ++p) {
        if (*p == 'e')
            *p = 'E';
        else if (*p == '.')
            *p = decimalSeparator;
    }
    return result.ptr;
}

void appendGeneralNumberForm(std::string& out, double value, char decimalSeparator)
{
    char buffer[kNumberTextRoom];
    out.append(buffer, writeGeneralNumberForm(buffer, value, decimalSeparator));
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

// Why the texts below may be written from decimal digits without looking at the double:
//
// Let s be a decimal of at most 15 significant digits whose first digit stands at decimal
// exponent E (10^E <= |s| < 10^(E+1)), and v the double nearest s, a normal double. Then
// |v - s| <= half a unit in the last place of v <= |v| * 2^-53 < 1.12e-16 * 10^(E+1), less
// than an eighth of 10^(E-14), the step between 15-digit decimals at exponent E. Rounding v to
// 15 significant digits, as the general number form does, therefore gives s back: s lies on
// that grid and v is far closer to it than half a step. Nor does a power of ten 10^n between
// them change the exponent: the largest decimal of at most 15 digits below 10^n is 10^(n-15)
// below it, farther than v can be from s; and when s >= 10^n > v, v rounds up to 10^n = s.
// The general number form of v is thus the digits of s, in fixed notation when
// -4 <= E <= 14, trailing zeros and a trailing point dropped.
//
// - A cut value k / 1000 with |k| < 10^15 is such an s, and the division of the two exact
//   doubles k and 1000 gives the double nearest it; E lies between -3 and 11.
// - A plain decimal text of at most 15 significant digits is such an s, and reading it gives
//   the double nearest it.

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::uint64_t kPowersOfTen[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL,
                                          100000000000000000ULL,
                                          1000000000000000000ULL,
                                          10000000000000000000ULL};

// The number of decimal digits of `n` (1 for 0).
int digitCount(std::uint64_t n)
{
    n |= 1;  // the same count, and 0 counts as 1
    // 1233 / 4096 is log10(2) to four places: from the binary length a guess that is the
    // count or one less, settled by one comparison.
    const int guess = (std::bit_width(n) * 1233) >> 12;
    return guess + (n >= kPowersOfTen[guess]);
}

// Writes the decimal digits of `n` backwards, ending just before `end`.
void writeDigitsBackwards(char* end, std::uint64_t n)
{
    while (n >= 100) {
        const auto pair = static_cast<unsigned>(n % 100) * 2;
        n /= 100;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
    }
    if (n >= 10) {
        *--end = kDigitPairs[n * 2 + 1];
        *--end = kDigitPairs[n * 2];
    } else {
        *--end = static_cast<char>('0' + n);
    }
}

// The decimals of a number of thousandths 0 to 999 as written after the whole part: the point
// and up to three digits without trailing zeros, nothing for 0.
struct Decimals {
    char text[4];
    unsigned char length;
};

constexpr std::array<Decimals, 1000> makeDecimals()
{
    std::array<Decimals, 1000> table{};
    for (unsigned f = 1; f < 1000; ++f) {
        Decimals& d = table[f];
        d.text[0] = '.';
        d.text[1] = static_cast<char>('0' + f / 100);
        d.text[2] = static_cast<char>('0' + f / 10 % 10);
        d.text[3] = static_cast<char>('0' + f % 10);
        d.length = f % 10 != 0 ? 4 : f % 100 != 0 ? 3 : 2;
    }
    return table;
}

constexpr std::array<Decimals, 1000> kDecimals = makeDecimals();

char* writeThousandthsForm(char* out, double thousandths)
{
    if (!(std::fabs(thousandths) < 1e15))
        return writeGeneralNumberForm(out, thousandths / 1000, '.');
    const auto k = static_cast<std::int64_t>(thousandths);
    if (k == 0) {  // both zeros
        *out = '0';
        return out + 1;
    }
    if (k < 0)
        *out++ = '-';
    const std::uint64_t magnitude = k < 0 ? static_cast<std::uint64_t>(-k) : static_cast<std::uint64_t>(k);
    const std::uint64_t whole = magnitude / 1000;
    const auto fraction = static_cast<unsigned>(magnitude % 1000);
    out += digitCount(whole);
    writeDigitsBackwards(out, whole);
    const Decimals& decimals = kDecimals[fraction];
    std::memcpy(out, decimals.text, 4);  // always 4 bytes; kNumberTextRoom leaves room
    return out + decimals.length;
}

}  // namespace

void appendThousandthsForm(std::string& out, double thousandths)
{
    char buffer[kNumberTextRoom];
    out.append(buffer, writeThousandthsForm(buffer, thousandths));
}

void appendPrintFormOfThousandths(std::string& out, double thousandths)
{
    char buffer[kNumberTextRoom];
    out.append(buffer, writePrintFormOfThousandths(buffer, thousandths));
}

char* writePrintFormOfThousandths(char* out, double thousandths)
{
    if (!(thousandths < 0.0))  // the minus sign of a negative number takes the place of the space
        *out++ = ' ';
    out = writeThousandthsForm(out, thousandths);
    *out++ = ' ';
    return out;
}

char* writeGeneralFormOfDecimalText(char* out, std::string_view text)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* wholeFirst = p;
    while (p != end && isDigit(*p))
        ++p;
    const char* const wholeLast = p;
    const char* fractionFirst = p;
    const char* fractionLast = p;
    if (p != end && *p == '.') {
        fractionFirst = ++p;
        while (p != end && isDigit(*p))
            ++p;
        fractionLast = p;
    }
    if (p != end || (wholeFirst == wholeLast && fractionFirst == fractionLast))
        return nullptr;  // an exponent, anything else, or no digit at all

    while (wholeFirst != wholeLast && *wholeFirst == '0')
        ++wholeFirst;
    while (fractionLast != fractionFirst && fractionLast[-1] == '0')
        --fractionLast;
    const auto wholeDigits = wholeLast - wholeFirst;
    const auto fractionDigits = fractionLast - fractionFirst;
    if (wholeDigits == 0 && fractionDigits == 0) {  // zero, also "-0.000"
        *out = '0';
        return out + 1;
    }
    if (wholeDigits > 0) {
        // First digit at exponent wholeDigits - 1, which must stay below 15; all digits from
        // it to the last fraction digit are significant.
        if (wholeDigits > 15 || (fractionDigits > 0 && wholeDigits + fractionDigits > 15))
            return nullptr;
    } else {
        const char* first = fractionFirst;
        while (*first == '0')
            ++first;
        if (first - fractionFirst > 3 || fractionLast - first > 15)
            return nullptr;  // below 0.0001 (the exponent form), or too many digits
    }
    if (negative)
        *out++ = '-';
    if (wholeDigits == 0)
        *out++ = '0';
    // The digits kept, with the point between them when there are decimals, stand together
    // in the text.
    const char* const keptLast = fractionDigits > 0 ? fractionLast : wholeLast;
    const auto kept = static_cast<std::size_t>(keptLast - (wholeDigits > 0 ? wholeFirst : fractionFirst - 1));
    std::memcpy(out, keptLast - kept, kept);
    return out + kept;
}

bool appendGeneralFormOfDecimalText(std::string& out, std::string_view text)
{
    const std::size_t size = out.size();
    out.resize(size + text.size() + 1);
    char* const end = writeGeneralFormOfDecimalText(out.data() + size, text);
    out.resize(end ? static_cast<std::size_t>(end - out.data()) : size);
    return end != nullptr;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<double> readDecimalNumberInGeneral(std::string_view text)
{
    // A text that starts as a number does (after its sign, a digit or the point) and that the
    // conversion reads whole and in range is a number of the form above: straight through.
    // Anything else is looked at first, as below.
    const bool plus = !text.empty() && text.front() == '+';
    const char* const from = text.data() + plus;  // the conversion takes a '-' but no '+'
    const char* const end = text.data() + text.size();
    const char* const first = from + (!plus && from != end && *from == '-');
    if (first != end && (isDigit(*first) || *first == '.')) {
        double value = 0.0;
        const auto result = std::from_chars(from, end, value);
        if (result.ec == std::errc() && result.ptr == end)
            return value;
    }

    const std::size_t n = text.size();
    std::size_t i = 0;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t numberStart = negative ? 0 : i;  // the conversion takes a '-' but no '+'
    int digits = 0;
    int leadingDigits = 0;  // significant digits before the separator (for the range test)
    bool seenSeparator = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            ++digits;
            if (!seenSeparator && (leadingDigits > 0 || c != '0'))
                ++leadingDigits;
        } else if (c == '.' && !seenSeparator) {
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    std::size_t exponentStart = std::string_view::npos;  // the written exponent's sign or first digit
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        exponentStart = ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t exponentDigits = i;
        while (i < n && isDigit(text[i]))
            ++i;
        if (i == exponentDigits)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    double value = 0.0;
    const char* const last = text.data() + n;
    const auto result = std::from_chars(text.data() + numberStart, last, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double, or so small that it is zero. Tell them apart by the sign
        // of the decimal exponent: leading digits plus the written exponent.
        long long exponent = leadingDigits;
        if (exponentStart != std::string_view::npos) {
            // An exponent this far out says all there is to say about the size, and keeps the
            // sum with the leading digits within a long long (a long is 32 bits on Windows).
            constexpr long long kFarOut = 1LL << 40;
            long long written = 0;
            const char* first = text.data() + exponentStart;
            if (*first == '+')
                ++first;
            const auto r = std::from_chars(first, last, written);
            if (r.ec == std::errc::result_out_of_range || written > kFarOut || written < -kFarOut)
                written = (*first == '-') ? -kFarOut : kFarOut;
            exponent += written;
        }
        if (exponent > 0)
            return std::nullopt;
        return negative ? -0.0 : 0.0;
    }
    if (result.ec != std::errc() || result.ptr != last)
        return std::nullopt;
    return value;
}

std::optional<double> readTypedNumber(std::string_view text, char decimalSeparator)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (decimalSeparator == '.')
        return readDecimalNumber(text);
    // Either separator, at most one of them: the regional one becomes '.'.
    std::string plain(text);
    for (char& c : plain)
        if (c == decimalSeparator)
            c = '.';
    return readDecimalNumber(plain);
}

std::string fixedDecimalForm(double value, int decimals, char decimalSeparator)
{
    char buffer[400];  // room for the largest double with every decimal asked for here
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, ec == std::errc{} ? end : buffer);
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);
    if (decimalSeparator != '.')
        for (char& c : text)
            if (c == '.')
                c = decimalSeparator;
    return text;
}

}  // namespace tavrelo
