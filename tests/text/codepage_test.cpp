#include "text/codepage.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

TEST(Codepage, GreekTextRoundTripsThroughWindows1253)
{
    const std::string utf8 = "Στροφή Αλλαγή άΆώΏ";
    const std::string bytes = utf8ToWindows1253(utf8);
    // Σ τ ρ ο φ ή in Windows-1253.
    EXPECT_EQ(bytes.substr(0, 6), "\xD3\xF4\xF1\xEF\xF6\xDE");
    EXPECT_EQ(bytes.size(), 18u);
    EXPECT_EQ(windows1253ToUtf8(bytes), utf8);
}

TEST(Codepage, CharactersWithoutAWindows1253FormBecomeQuestionMarks)
{
    EXPECT_EQ(utf8ToWindows1253("a€b"), "a\x80" "b");  // the euro sign has one
    EXPECT_EQ(utf8ToWindows1253("aЖb"), "a?b");       // Cyrillic has none
    EXPECT_EQ(utf8ToWindows1253("a\xFF" "b"), "a?b");  // not UTF-8 at all
    EXPECT_EQ(utf8ToWindows1253("ab\xCE"), "ab?");     // cut in the middle of a character
    EXPECT_EQ(utf8ToWindows1253("/home/χρήστης/π.txt"), "/home/\xF7\xF1\xDE\xF3\xF4\xE7\xF2/\xF0.txt");
}

TEST(Codepage, EveryByteDecodes)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = windows1253ToUtf8(all);
    EXPECT_FALSE(utf8.empty());
    EXPECT_EQ(utf8.substr(0, 5), "\x01\x02\x03\x04\x05");
}

}  // namespace
}  // namespace tavrelo
