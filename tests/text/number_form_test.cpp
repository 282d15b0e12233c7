#include "text/number_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

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

}  // namespace
}  // namespace tavrelo
