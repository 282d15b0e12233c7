#include "data/handoff_files.h"

#include "data/point_table.h"
#include "test_support.h"
#include "text/failure.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tavrelo {
namespace {

using test::handoffFor;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

TEST(HandoffPath, IsOneLineWithCrLfAndReadsBackWhole)
{
    TempFolder folder;
    const HandoffFiles handoff(folder / "state" / "tavrelo");
    const std::string path = utf8Path(folder / "a, b" / pathFromUtf8("σημεία 1.txt"));  // a comma is carried whole
    writeHandoffPath(handoff, path);
    EXPECT_EQ(readBytes(handoff.pathFile()), path + "\r\n");
    EXPECT_EQ(readHandoffPath(handoff), path);
    EXPECT_EQ(handoff.pathFile(), folder / "state" / "tavrelo" / "file000.tmp");
    EXPECT_EQ(handoff.parameterFile(), folder / "state" / "tavrelo" / "file001.tmp");

#ifndef _WIN32  // on Windows the folder is inside the user's own %LOCALAPPDATA%
    struct stat info {};
    ASSERT_EQ(::stat(handoff.folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);  // no other user reads or redirects the hand-off
#endif
}

TEST(HandoffPath, TakesTheFirstLineWhateverItsLineEnd)
{
    TempFolder folder;
    const HandoffFiles handoff(folder.path());
    for (const char* bytes : {"/a/b.txt\r\nrest", "/a/b.txt\nrest", "/a/b.txt\rrest", "/a/b.txt"}) {
        writeBytes(handoff.pathFile(), bytes);
        EXPECT_EQ(readHandoffPath(handoff), "/a/b.txt");
    }
}

TEST(HandoffPath, ADoubledSeparatorStillOpensTheFile)
{
    TempFolder folder;
    writeBytes(folder / "p.txt", "1,2,3,4,5\r\n");
    const HandoffFiles handoff(folder / "state");
    writeHandoffPath(handoff, folder.path().string() + "//p.txt");
    EXPECT_EQ(loadPointTable(handoff).count, 1);
}

TEST(HandoffPath, MissingFileSaysNoFileWasChosen)
{
    TempFolder folder;
    try {
        readHandoffPath(HandoffFiles(folder / "never"));
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("Δεν έχει επιλεγεί αρχείο συντεταγμένων"), std::string::npos);
    }
}

class ParameterFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(folder / "points.txt", "1,475123.456,-12.5,1,a\r\n2,12A,,2,b\r\n3,1000.50,4201000,3,c\r\n");
    }
    TempFolder folder;
    HandoffFiles handoff = handoffFor(folder, folder / "points.txt");
};

TEST_F(ParameterFile, WritesSevenLinesInPrintAndVerbatimForm)
{
    writeTransformParameters(handoff, 0, {"99.9999982811266", "-0.08", "1.00025", "500", "400"});
    EXPECT_EQ(readBytes(handoff.parameterFile()),
              "99.9999982811266\r\n 475123.456 \r\n-12.5 \r\n-0.08\r\n1.00025\r\n500\r\n400\r\n");

    writeTransformParameters(handoff, 1, {"0", "0", "1", "0", "0"});
    EXPECT_EQ(readBytes(handoff.parameterFile()), "0\r\n12A\r\n\r\n0\r\n1\r\n0\r\n0\r\n");

    writeTransformParameters(handoff, 2, {"0", "0", "1", "0", "0"});
    EXPECT_EQ(readBytes(handoff.parameterFile()), "0\r\n 1000.5 \r\n 4201000 \r\n0\r\n1\r\n0\r\n0\r\n");
}

TEST_F(ParameterFile, BoxTextsWithACommaSeparatorAreWrittenWithAPoint)
{
    writeTransformParameters(handoff, 0, {"-0,0636046814489", "-0,08", "1,00025", "500,25", "400.5"}, ',');
    const TransformParameters p = readTransformParameters(handoff);
    EXPECT_EQ(p.f.number, -0.0636046814489);
    EXPECT_EQ(p.X1.number, 475123.456);
    EXPECT_EQ(p.Y1.number, -12.5);
    EXPECT_EQ(p.Dh.number, -0.08);
    EXPECT_EQ(p.klimax.number, 1.00025);
    EXPECT_EQ(p.X1N.number, 500.25);
    EXPECT_EQ(p.Y1N.number, 400.5);
}

TEST_F(ParameterFile, WhatCannotBeCarriedIsRefusedAndTheFileKept)
{
    writeBytes(handoff.parameterFile(), "previous");
    struct Case {
        int row;
        ParameterBoxes boxes;
        char separator;
    };
    const Case cases[] = {
        {-1, {"0", "0", "1", "0", "0"}, '.'},     // no common point 1 picked
        {3, {"0", "0", "1", "0", "0"}, '.'},      // a row the file does not have
        {0, {"0", "0", "1", "12A", "0"}, '.'},    // X1N not a number
        {0, {"0", "0", "1", "0", ""}, '.'},       // Y1N empty
        {0, {"0", "0", "1", "1,5", "0"}, '.'},    // a comma would split the value
        {0, {"0", "0", "1", "1.000,5", "0"}, ','},  // digit grouping
    };
    for (const auto& c : cases) {
        EXPECT_THROW(writeTransformParameters(handoff, c.row, c.boxes, c.separator), Failure);
        EXPECT_EQ(readBytes(handoff.parameterFile()), "previous");
    }
}

TEST_F(ParameterFile, ReadsSevenValuesOrFails)
{
    writeBytes(handoff.parameterFile(), "12.5\r\n 1 \r\n-2 \r\n\r\n1\r\n3\r\n4\r\n");
    const TransformParameters p = readTransformParameters(handoff);
    EXPECT_EQ(p.f.number, 12.5);
    EXPECT_EQ(p.X1.number, 1);
    EXPECT_EQ(p.Y1.number, -2);
    EXPECT_TRUE(p.Dh.isEmpty());
    EXPECT_EQ(p.Y1N.number, 4);

    writeBytes(handoff.parameterFile(), "12.5\r\n1\r\n2\r\n0\r\n1\r\n3\r\n");  // six values
    EXPECT_THROW(readTransformParameters(handoff), Failure);
    std::filesystem::remove(handoff.parameterFile());
    EXPECT_THROW(readTransformParameters(handoff), Failure);
}

}  // namespace
}  // namespace tavrelo
