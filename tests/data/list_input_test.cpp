#include "data/list_input.h"

#include "test_support.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrelo {
namespace {

using test::TempFolder;
using test::writeBytes;

// Every field of `bytes`, read to the end: unquoted fields as [text], quoted as "text".
std::string fieldsOf(const std::string& bytes)
{
    TempFolder folder;
    writeBytes(folder / "f.txt", bytes);
    ListReader reader(folder / "f.txt");
    std::string out;
    Field field;
    while (!reader.atEnd()) {
        EXPECT_TRUE(reader.readField(field));
        out += field.quoted ? "\"" + field.text + "\"" : "[" + field.text + "]";
    }
    EXPECT_FALSE(reader.readField(field));  // asking past the end fails
    return out;
}

TEST(ListInput, SplitsTheStreamIntoFields)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* fields;
    };
    const Case cases[] = {
        {"commas and CR LF", "a,b\r\nc,d\r\n", "[a][b][c][d]"},
        {"no line end at the end", "a,b\r\nc", "[a][b][c]"},
        {"lone LF and lone CR end lines too", "a\nb\rc\r\n", "[a][b][c]"},
        {"blanks before a field are skipped", "  a,\t b", "[a][b]"},
        {"blanks after an unquoted field are dropped", "a  ,b \t\r\n", "[a][b]"},
        {"blanks inside a field stay", "ab c d,e", "[ab c d][e]"},
        {"two commas give an empty field", "a,,b", "[a][][b]"},
        {"a blank line is one empty field", "a\r\n\r\nb", "[a][][b]"},
        {"blanks alone on a line are one empty field", "a\r\n   \r\nb", "[a][][b]"},
        {"a comma before a line end", "a,\r\nb", "[a][][b]"},
        {"a comma at the very end ends the last field", "a,", "[a]"},
        {"quotes protect commas", "\"x,y\",z", "\"x,y\"[z]"},
        {"quotes protect line ends", "\"x\r\ny\",z", "\"x\r\ny\"[z]"},
        {"what follows a closing quote is dropped", "\"a\" junk,b", "\"a\"[b]"},
        {"a quote inside an unquoted field is kept", "a\"b,c", "[a\"b][c]"},
        {"an unclosed quote runs to the end", "a,\"bc", "[a]\"bc\""},
        {"quoted empty field", "\"\",b", "\"\"[b]"},
        {"bytes of Windows-1253 pass through", "\xD3\xF4\xDE\xEB\xE7,1", "[\xD3\xF4\xDE\xEB\xE7][1]"},
        {"a decimal comma makes two fields", "1000,50", "[1000][50]"},
        {"empty file has no field", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldsOf(c.bytes), c.fields) << c.name;
}

TEST(ListInput, ValueTargetsHoldNumbersTextsOrEmpty)
{
    struct Case {
        Field field;
        Value::Kind kind;
        double number;
        const char* text;
    };
    const Case cases[] = {
        {{"1000.50", false}, Value::Kind::Number, 1000.5, ""},
        {{"-12.5", false}, Value::Kind::Number, -12.5, ""},
        {{"007", false}, Value::Kind::Number, 7, ""},
        {{"", false}, Value::Kind::Empty, 0, ""},
        {{"12A", false}, Value::Kind::Text, 0, "12A"},
        {{"1 2", false}, Value::Kind::Text, 0, "1 2"},
        {{"5", true}, Value::Kind::Text, 0, "5"},  // quoted: a text even when it looks like a number
        {{"", true}, Value::Kind::Text, 0, ""},
    };
    for (const auto& c : cases) {
        const Value v = valueOf(c.field);
        EXPECT_EQ(v.kind, c.kind) << c.field.text;
        EXPECT_EQ(v.number, c.number) << c.field.text;
        EXPECT_EQ(v.text, c.text) << c.field.text;
    }
}

TEST(ListInput, FieldsLongerThanTheReadBlockAreWhole)
{
    const std::string longText(200000, 'x');
    EXPECT_EQ(fieldsOf(longText + ",1\r\n"), "[" + longText + "][1]");
}

// Fields of every kind with the end of a read block at each of their bytes, read five at a
// time as numbers where they are plain decimals: the same texts, and the same numbers as
// readDecimalNumber gives.
TEST(ListInput, FieldsAcrossTheEndOfAReadBlockAreWhole)
{
    const std::string tail = "12.5,\"q,r\" x,  -7  ,\r\n\t4E2,abc,-0.25\r\n,9";
    const char* const expected[] = {"12.5", "\"q,r\"", "-7", "", "4E2", "abc", "-0.25", "", "9"};
    for (std::size_t shift = 0; shift <= tail.size() + 2; ++shift) {
        TempFolder folder;
        const std::string first(InputFile::kBlockSize - shift, 'p');
        writeBytes(folder / "f.txt", first + "\r\n" + tail);
        ListReader reader(folder / "f.txt");
        std::vector<std::string> texts;
        while (!reader.atEnd()) {
            FieldView fields[5];
            ASSERT_EQ(reader.readFields(fields, 5, 0b11111), 5) << "shift " << shift;
            for (const FieldView& f : fields) {
                texts.push_back(f.quoted ? "\"" + std::string(f.text) + "\"" : std::string(f.text));
                if (f.hasNumber) {
                    EXPECT_EQ(f.number, readDecimalNumber(f.text)) << "shift " << shift << ": " << f.text;
                }
            }
        }
        ASSERT_EQ(texts.size(), 10u) << "shift " << shift;
        EXPECT_EQ(texts[0], first) << "shift " << shift;
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(texts[i + 1], expected[i]) << "shift " << shift;
    }
}

// A field view that held a number keeps none of it when it is used for the next field.
TEST(ListInput, AViewReusedForATextHoldsNoNumber)
{
    TempFolder folder;
    writeBytes(folder / "f.txt", "1.5,2.5\r\nabc,\"7\"\r\n");
    ListReader reader(folder / "f.txt");
    FieldView fields[2];
    ASSERT_EQ(reader.readFields(fields, 2, 0b11), 2);
    EXPECT_EQ(valueOf(fields[1]).number, 2.5);
    ASSERT_TRUE(reader.readField(fields[1]));
    EXPECT_TRUE(valueOf(fields[1]).isText());
    EXPECT_EQ(valueOf(fields[1]).text, "abc");
    ASSERT_EQ(reader.readFields(fields, 1, 0b1), 1);
    EXPECT_TRUE(valueOf(fields[0]).isText());  // quoted: a text
}

TEST(ListInput, AMissingFileIsAFailureThatNamesIt)
{
    TempFolder folder;
    try {
        ListReader reader(folder / "absent.txt");
        FAIL() << "opened a missing file";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("absent.txt"), std::string::npos);
        EXPECT_NE(std::string(failure.what()).find("δεν υπάρχει"), std::string::npos);
    }
}

}  // namespace
}  // namespace tavrelo
