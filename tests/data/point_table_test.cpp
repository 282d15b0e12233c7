#include "data/point_table.h"

#include "data/handoff_files.h"
#include "test_support.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

using test::handoffFor;
using test::TempFolder;
using test::writeBytes;

std::string records(int n)
{
    std::string bytes;
    for (int i = 1; i <= n; ++i)
        bytes += std::to_string(i) + "," + std::to_string(1000 + i) + ".5," + std::to_string(2000 + i) + ",10,S\r\n";
    return bytes;
}

// Loads `bytes` as the chosen coordinate file.
LoadedPoints load(const std::string& bytes)
{
    TempFolder folder;
    writeBytes(folder / "points.txt", bytes);
    return loadPointTable(handoffFor(folder, folder / "points.txt"));
}

std::string failureOf(const std::string& bytes)
{
    try {
        load(bytes);
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

std::string rowText(const PointTable& t, int i)
{
    auto value = [](const Value& v) {
        switch (v.kind) {
        case Value::Kind::Number: return generalNumberForm(v.number);
        case Value::Kind::Text: return "'" + v.text + "'";
        default: return std::string("-");
        }
    };
    return t.Pn[i] + "|" + value(t.X[i]) + "|" + value(t.Y[i]) + "|" + value(t.h[i]) + "|" + t.D[i];
}

TEST(PointTable, LoadsRecordsInFileOrder)
{
    const LoadedPoints p = load("007,1000.50,2000,50,\xD3\xF4\xDE\xEB\xE7\r\n2,10,20,,\"a, b\"\r\n2,11,21,12A,c");
    ASSERT_EQ(p.count, 3);
    EXPECT_EQ(rowText(p.table, 0), "007|1000.5|2000|50|\xD3\xF4\xDE\xEB\xE7");
    EXPECT_EQ(rowText(p.table, 1), "2|10|20|-|a, b");
    EXPECT_EQ(rowText(p.table, 2), "2|11|21|'12A'|c");  // same Pn: two rows
    EXPECT_EQ(rowText(p.table, 3), "|-|-|-|");                     // the rest stay empty
}

TEST(PointTable, FieldsThatAreNotWhereTheyShouldBeShiftTheRest)
{
    // An unquoted comma in a description: the text after it is the next record's Pn.
    LoadedPoints p = load("1,10,20,30,a, b\r\n2,11,21,31\r\n");
    ASSERT_EQ(p.count, 2);
    EXPECT_EQ(rowText(p.table, 0), "1|10|20|30|a");
    EXPECT_EQ(rowText(p.table, 1), "b|2|11|21|31");

    // A decimal comma splits a coordinate in two.
    p = load("1,1000,50,2000,10,S\r\n2,3,4,5\r\n");
    ASSERT_EQ(p.count, 2);
    EXPECT_EQ(rowText(p.table, 0), "1|1000|50|2000|10");
    EXPECT_EQ(rowText(p.table, 1), "S|2|3|4|5");
    EXPECT_NE(failureOf("1,1000,50,2000,10,S\r\n"), "no failure");

    // A blank line between records gives the next record an empty Pn.
    p = load("1,10,20,30,a\r\n\r\n2,11,21,31\r\n");
    ASSERT_EQ(p.count, 2);
    EXPECT_EQ(rowText(p.table, 1), "|2|11|21|31");
}

TEST(PointTable, EndsCleanlyWithOrWithoutAFinalLineEnd)
{
    EXPECT_EQ(load("").count, 0);
    EXPECT_EQ(load("1,2,3,4,5").count, 1);
    EXPECT_EQ(load("1,2,3,4,5\r\n").count, 1);
    EXPECT_EQ(load("1,2,3,4,5\n6,7,8,9,10\n").count, 2);
}

TEST(PointTable, DataEndingInsideARecordFailsNamingRecordAndField)
{
    const std::string blankLineAtEnd = failureOf("1,2,3,4,5\r\n2,3,4,5,6\r\n\r\n");
    EXPECT_NE(blankLineAtEnd.find("εγγραφή 3"), std::string::npos) << blankLineAtEnd;
    EXPECT_NE(blankLineAtEnd.find("X"), std::string::npos) << blankLineAtEnd;
    const std::string shortLast = failureOf("1,2,3,4,5\r\n2,3,4\r\n");
    EXPECT_NE(shortLast.find("εγγραφή 2"), std::string::npos) << shortLast;
    EXPECT_NE(shortLast.find("h"), std::string::npos) << shortLast;
    EXPECT_NE(shortLast.find("points.txt"), std::string::npos) << shortLast;
}

TEST(PointTable, HoldsAtMost401Points)
{
    const LoadedPoints full = load(records(401));
    EXPECT_EQ(full.count, 401);
    EXPECT_EQ(full.table.Pn[400], "401");
    EXPECT_EQ(full.table.X[400].number, 1401.5);

    TempFolder folder;
    writeBytes(folder / "points.txt", records(402));
    int seen = 0;
    try {
        loadPointTable(handoffFor(folder, folder / "points.txt"), [&](int i, const PointRecord& r) {
            EXPECT_EQ(i, seen);
            EXPECT_EQ(r.Pn, std::to_string(i + 1));
            ++seen;
        });
        FAIL() << "402 points loaded";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("περισσότερα από 401 σημεία"), std::string::npos);
    }
    EXPECT_EQ(seen, 401);  // every stored record was reported before the refusal
}

TEST(PointTable, MissingFilesFail)
{
    TempFolder folder;
    const HandoffFiles nothingChosen(folder / "state");
    EXPECT_THROW(loadPointTable(nothingChosen), Failure);
    EXPECT_THROW(loadPointTable(handoffFor(folder, folder / "gone.txt")), Failure);
}

}  // namespace
}  // namespace tavrelo
