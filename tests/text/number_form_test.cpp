#include "text/number_form.h"
#include "text/measure_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>

namespace tavrelo {
namespace {

struct FormCase {
    double value;
    const char* text;
};

TEST(GeneralNumberForm, WritesFifteenSignificantDigitsWithoutTrailingZeros)
{
    const FormCase cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {100.0, "100"},
        {1000.50, "1000.5"},
        {0.5, "0.5"},
        {-0.5, "-0.5"},
        {1.00025, "1.00025"},
        {-500.0, "-500"},
        {0.0012, "0.0012"},
        {0.0001, "0.0001"},
        {0.00001, "1E-05"},
        {-6.36619772284456e-06, "-6.36619772284456E-06"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {1e100, "1E+100"},
        {1e-300, "1E-300"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {99.99999828112656, "99.9999982811266"},
        {1004.9999999999999, "1005"},
        {-1.235, "-1.235"},
        {5678.9, "5678.9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(generalNumberForm(c.value), c.text) << c.value;
}

TEST(GeneralNumberForm, UsesTheGivenDecimalSeparatorAlsoInTheExponentForm)
{
    EXPECT_EQ(generalNumberForm(1.00025, ','), "1,00025");
    EXPECT_EQ(generalNumberForm(-0.0636046814489, ','), "-0,0636046814489");
    EXPECT_EQ(generalNumberForm(1.5e-05, ','), "1,5E-05");
    EXPECT_EQ(generalNumberForm(42.0, ','), "42");
}

// The form is printf's "%.15G" in the C locale; checked on values of every magnitude.
TEST(GeneralNumberForm, MatchesPrintfG15OnRandomValues)
{
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<std::uint64_t> bits;
    std::uniform_real_distribution<double> coordinate(-1e7, 1e7);
    std::uniform_int_distribution<int> millimetres(-100000000, 100000000);
    char expected[64];
    for (int i = 0; i < 300000; ++i) {
        double v;
        switch (i % 3) {
        case 0: {  // any finite double
            const std::uint64_t b = bits(random);
            std::memcpy(&v, &b, sizeof v);
            if (!std::isfinite(v))
                continue;
            break;
        }
        case 1: v = coordinate(random); break;
        default: v = millimetres(random) / 1000.0; break;  // cut results
        }
        std::snprintf(expected, sizeof expected, "%.15G", v);
        const std::string want = std::strcmp(expected, "-0") == 0 ? "0" : expected;
        ASSERT_EQ(generalNumberForm(v), want) << "bits of " << v;
    }
}

TEST(PrintForm, SurroundsANumberWithSpacesTheMinusTakingTheFirst)
{
    const FormCase cases[] = {
        {1234.567, " 1234.567 "},
        {100.0, " 100 "},
        {-12.5, "-12.5 "},
        {-0.0, " 0 "},
        {0.0, " 0 "},
        {-1e-05, "-1E-05 "},
    };
    for (const auto& c : cases) {
        std::string out;
        appendPrintForm(out, c.value);
        EXPECT_EQ(out, c.text) << c.value;
    }
}

// printf's "%.15G" in the C locale, "-0" written "0": the general number form by definition.
std::string printfG15(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15G", value);
    return std::strcmp(text, "-0") == 0 ? "0" : text;
}

std::string thousandthsForm(double k)
{
    std::string out;
    appendThousandthsForm(out, k);
    return out;
}

// A cut value k / 1000 written from k: the general number form of the double k / 1000, also
// where the quick way gives way to the general one (from 10^15 thousandths) and where the
// general one turns to the exponent form (from 10^18).
TEST(ThousandthsForm, IsTheGeneralNumberFormOfTheCutValueAtTheBoundaries)
{
    const struct {
        double k;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "0.001"},
        {-1, "-0.001"},
        {50, "0.05"},
        {500, "0.5"},
        {999, "0.999"},
        {1000, "1"},
        {-1000, "-1"},
        {1010, "1.01"},
        {1100, "1.1"},
        {1004, "1.004"},
        {4196364070, "4196364.07"},
        {123456789012345, "123456789012.345"},  // 15 significant digits
        {999999999999999, "999999999999.999"},
        {-999999999999999, "-999999999999.999"},
        {1e15, "1000000000000"},  // 16 digits of thousandths: the general way
        {1e15 + 1, "1000000000000"},
        {-1e15 - 7, "-1000000000000.01"},
        {9007199254740993.0, "9007199254740.99"},
        {999999999999999000.0, "999999999999999"},
        {1e18, "1E+15"},  // the exponent form
        {-1e18, "-1E+15"},
        {1.5e21, "1.5E+18"},
        {1e300, "1E+297"},
    };
    // Whole parts of every length, at their powers of ten and just below and above.
    for (double power = 1000; power < 1e15; power *= 10)
        for (const double k : {power - 1, power, power + 1, -power, -(power - 1)})
            EXPECT_EQ(thousandthsForm(k), printfG15(k / 1000)) << k;
    for (const auto& c : cases) {
        EXPECT_EQ(thousandthsForm(c.k), c.text) << c.k;
        EXPECT_EQ(thousandthsForm(c.k), printfG15(c.k / 1000)) << c.k;
        std::string print;
        appendPrintFormOfThousandths(print, c.k);
        std::string expected;
        appendPrintForm(expected, c.k / 1000);
        EXPECT_EQ(print, expected) << c.k;
    }
}

TEST(ThousandthsForm, IsTheGeneralNumberFormOfTheCutValueOnMillionsOfRandomValues)
{
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> length(0, 18);
    std::uniform_int_distribution<std::int64_t> anyK(-1000000000000000, 1000000000000000);
    std::uniform_int_distribution<std::int64_t> edge(-3000, 3000);
    std::uniform_real_distribution<double> coordinate(-5e6, 5e6);
    long checked = 0;
    for (int i = 0; i < 2000000; ++i) {
        double k = 0;
        switch (i % 4) {
        case 0: k = static_cast<double>(anyK(random)); break;
        case 1: {  // every length of digits, either sign
            const auto digits = length(random);
            const auto top = static_cast<std::int64_t>(std::pow(10.0, digits));
            k = static_cast<double>(std::uniform_int_distribution<std::int64_t>(0, top)(random));
            if (random() & 1)
                k = -k;
            break;
        }
        case 2: k = std::floor(coordinate(random) * 1000); break;  // as the save step cuts
        default:  // about the 15-digit edge and about zero
            k = (random() & 1 ? 1e15 : 0) + static_cast<double>(edge(random));
            if (random() & 1)
                k = -k;
            break;
        }
        ASSERT_EQ(thousandthsForm(k), printfG15(k / 1000)) << "thousandths " << k;
        ++checked;
    }
    EXPECT_EQ(checked, 2000000);
}

std::optional<std::string> decimalTextForm(const char* text)
{
    std::string out;
    if (!appendGeneralFormOfDecimalText(out, text))
        return std::nullopt;
    return out;
}

// A plain decimal text written from its digits: taken only where the text is the general
// number form of the number it reads as, and given way otherwise.
TEST(GeneralFormOfDecimalText, IsTheGeneralNumberFormOfTheNumberReadAtTheBoundaries)
{
    const struct {
        const char* text;
        const char* form;  // nullptr: the quick way does not take it
    } cases[] = {
        {"007", "7"},
        {"1000.50", "1000.5"},
        {"-0.000", "0"},
        {"-0", "0"},
        {"+5", "5"},
        {".5", "0.5"},
        {"-.25", "-0.25"},
        {"5.", "5"},
        {"0.0001", "0.0001"},
        {"0.00012345678901234", "0.00012345678901234"},     // 14 digits after the zeros
        {"0.000123456789012345", "0.000123456789012345"},   // 15
        {"0.0001234567890123456", nullptr},                 // 16
        {"0.00001", nullptr},                               // the exponent form
        {"123456789012345", "123456789012345"},
        {"100000000000000", "100000000000000"},
        {"1000000000000000", nullptr},  // the exponent form
        {"12345678901234.5", "12345678901234.5"},
        {"1234567890123.456", nullptr},  // 16 significant digits
        {"-4200987.6540", "-4200987.654"},
        {"00000000000000000000012.5", "12.5"},
        {"1e5", nullptr},
        {"12A", nullptr},
        {".", nullptr},
        {"", nullptr},
        {"1.2.3", nullptr},
    };
    for (const auto& c : cases) {
        const auto form = decimalTextForm(c.text);
        ASSERT_EQ(form.has_value(), c.form != nullptr) << c.text;
        if (form) {
            EXPECT_EQ(*form, c.form) << c.text;
            EXPECT_EQ(*form, printfG15(std::strtod(c.text, nullptr))) << c.text;
            EXPECT_EQ(*form, generalNumberForm(*readDecimalNumber(c.text))) << c.text;
        }
    }
}

// Random decimal texts of every shape: where the quick way takes one, its text is printf's;
// and every text reads as the double that strtod gives, to the last bit.
TEST(GeneralFormOfDecimalText, IsTheGeneralNumberFormOfTheNumberReadOnMillionsOfRandomTexts)
{
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<int> wholeDigits(0, 17), fractionDigits(0, 18), zeros(0, 6), digit(0, 9);
    long taken = 0;
    const int count = 2000000;
    std::string text;
    for (int i = 0; i < count; ++i) {
        text.clear();
        const auto r = random();
        if (r & 1)
            text += '-';
        else if ((r & 6) == 0)
            text += '+';
        if ((r & 24) == 0)
            text.append(static_cast<std::size_t>(zeros(random)), '0');
        for (int n = wholeDigits(random); n > 0; --n)
            text += static_cast<char>('0' + digit(random));
        if ((r & 96) != 0) {
            text += '.';
            if ((r & 384) == 0)
                text.append(static_cast<std::size_t>(zeros(random)), '0');
            for (int n = fractionDigits(random); n > 0; --n)
                text += static_cast<char>('0' + digit(random));
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        const auto read = readDecimalNumber(text);
        const bool hasDigit = text.find_first_of("0123456789") != std::string::npos;
        ASSERT_EQ(read.has_value(), hasDigit) << text;
        if (!read)
            continue;
        ASSERT_EQ(std::memcmp(&*read, &expected, sizeof expected), 0) << text;
        std::string out;
        if (appendGeneralFormOfDecimalText(out, text)) {
            ++taken;
            ASSERT_EQ(out, printfG15(expected)) << text;
        }
    }
    EXPECT_GT(taken, count / 4);  // the quick way is really tried
}

struct ReadCase {
    const char* text;
    bool isNumber;
    double value;
};

TEST(ReadDecimalNumber, AcceptsSignDigitsOnePointAndExponentOnly)
{
    const ReadCase cases[] = {
        {"1000.50", true, 1000.5},
        {"007", true, 7},
        {"-12.5", true, -12.5},
        {"+5", true, 5},
        {"-.5", true, -0.5},
        {"5.", true, 5},
        {"1e3", true, 1000},
        {"1.5E-2", true, 0.015},
        {"2E+02", true, 200},
        {"1e-400", true, 0},
        {".", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"1,5", false, 0},
        {"1.2.3", false, 0},
        {"1e", false, 0},
        {"1e+", false, 0},
        {"e5", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"12A", false, 0},
        {"0x10", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"1e400", false, 0},
        {"1D3", false, 0},
        // More digits than the quick way takes, read by the conversion at once: a sign it does
        // not know, or none, must still be refused.
        {"2465.6348273393396", true, 2465.6348273393396},
        {"+12345678901234567890.5e-3", true, 12345678901234567.8905},
        {"+-5", false, 0},
        {"-+5", false, 0},
        {"+inf", false, 0},
        {"-nan", false, 0},
    };
    for (const auto& c : cases) {
        const auto n = readDecimalNumber(c.text);
        EXPECT_EQ(n.has_value(), c.isNumber) << '"' << c.text << '"';
        if (n && c.isNumber) {
            EXPECT_EQ(*n, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(ReadDecimalNumber, TellsHugeFromTinyWhateverTheExponent)
{
    // Exponents past the range of a long: the size is still told right, never read as 0.
    for (const char* huge : {"1e9223372036854775807", "11e9223372036854775807", "-1e9223372036854775807",
                             "0.5e99999999999999999999", "1e9223372036854775806"})
        EXPECT_FALSE(readDecimalNumber(huge)) << huge;
    for (const char* tiny : {"1e-9223372036854775808", "123e-9223372036854775807", "1e-99999999999999999999"})
        EXPECT_EQ(readDecimalNumber(tiny), 0.0) << tiny;
    EXPECT_EQ(readDecimalNumber("0e9223372036854775807"), 0.0);
}

TEST(ReadTypedNumber, TakesTheRegionalSeparatorOrAPointAndIgnoresSurroundingBlanks)
{
    EXPECT_EQ(readTypedNumber(" 500,5 ", ','), 500.5);
    EXPECT_EQ(readTypedNumber("500.5", ','), 500.5);
    EXPECT_EQ(readTypedNumber("\t-3 ", '.'), -3.0);
    EXPECT_FALSE(readTypedNumber("1,000.5", ','));
    EXPECT_FALSE(readTypedNumber("500,5", '.'));
    EXPECT_FALSE(readTypedNumber("   ", ','));
    EXPECT_FALSE(readTypedNumber("5 0", '.'));
}

struct FigureCase {
    std::string (*form)(double, char);
    double value;
    char separator;
    const char* text;
};

TEST(MeasureForm, EachFigureToTheDecimalsOfItsMeaning)
{
    const FigureCase cases[] = {
        {lengthForm, 0.849600000000001, '.', "0.8496"},
        {lengthForm, 472513.604166667, '.', "472513.6042"},
        {lengthForm, -0.00004, ',', "0,0000"},  // no "-0"
        {residualForm, -0.0125, '.', "-0.013"},
        {residualForm, 0.0004, '.', "0.000"},
        {rotationForm, 399.123456789, ',', "399,1234568"},
        {scaleForm, 1.0000123454, '.', "1.000012345 (+12.345 ppm)"},
        {scaleForm, 0.9999992, ',', "0,999999200 (-0,800 ppm)"},
        {scaleForm, 1.0, '.', "1.000000000 (0.000 ppm)"},
        {scaleForm, 1.0000000000001, '.', "1.000000000 (0.000 ppm)"},
    };
    for (const FigureCase& c : cases)
        EXPECT_EQ(c.form(c.value, c.separator), c.text) << c.value;
}

}  // namespace
}  // namespace tavrelo
