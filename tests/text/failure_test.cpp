#include "text/failure.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

TEST(InQuotes, ShowsAPathOrTextBetweenGreekQuotes)
{
    EXPECT_EQ(inQuotes("/home/user/σημεία.txt"), "«/home/user/σημεία.txt»");
    EXPECT_EQ(inQuotes(""), "«»");
}

TEST(InQuotes, ShowsWhatIsNotTextAsQuestionMarks)
{
    // A message must stay whole and readable: a NUL would cut it short, a byte that is not
    // UTF-8 would not show.
    EXPECT_EQ(inQuotes(std::string("10\0" "5", 4)), "«10?5»");
    EXPECT_EQ(inQuotes("a\r\nb\tc\x7F"), "«a??b?c?»");
    EXPECT_EQ(inQuotes("\xD3\xF4\xDE\xEB\xE7"), "«?????»");         // Windows-1253, not UTF-8
    EXPECT_EQ(inQuotes("\xC0\x80|\xED\xA0\x80|\xF4\x90\x80\x80|\xCE"), "«??|???|????|?»");  // overlong, surrogate, past U+10FFFF, cut
}

TEST(InQuotes, CutsALongTextToItsFirstAndLastSixtyCharacters)
{
    std::string greek;
    for (int i = 0; i < 200; ++i)
        greek += "α";
    const std::string shown = inQuotes("/" + greek + "/name.txt");
    std::string expected = "«/";
    for (int i = 0; i < 59; ++i)
        expected += "α";
    expected += "…";
    for (int i = 0; i < 51; ++i)
        expected += "α";
    expected += "/name.txt»";
    EXPECT_EQ(shown, expected);

    const std::string whole(121, 'x');  // 121 characters are shown whole
    EXPECT_EQ(inQuotes(whole), "«" + whole + "»");
    EXPECT_EQ(inQuotes(std::string(10 << 20, 'x')), "«" + std::string(60, 'x') + "…" + std::string(60, 'x') + "»");
}

}  // namespace
}  // namespace tavrelo
