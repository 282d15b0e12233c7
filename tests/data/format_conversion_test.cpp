#include "data/format_conversion.h"

#include "plain_reference.h"
#include "test_support.h"
#include "text/failure.h"

#include <gtest/gtest.h>

#include <random>

namespace tavrelo {
namespace {

using test::listFolder;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;
namespace reference = test::reference;

std::string convert(const std::string& input, int layout)
{
    TempFolder folder;
    writeBytes(folder / "in.txt", input);
    convertToPointFile((folder / "in.txt").string(), (folder / "PENZD_in.txt").string(), layout);
    return readBytes(folder / "PENZD_in.txt");
}

TEST(ConvertToPointFile, WritesEveryLayoutInThePointFileOrder)
{
    struct Case {
        int layout;
        const char* input;
        const char* output;
    };
    const Case cases[] = {
        {0, "A1,100.50,200,30\r\n", "A1,100.5,200,30,-\r\n"},
        {1, "A1,100,200\r\n", "A1,100,200,0,-\r\n"},
        {2, "100,200,30\r\n", "1,100,200,30,-\r\n"},
        {3, "100,200\r\n101,201\r\n102,202", "1,100,200,0,-\r\n2,101,201,0,-\r\n3,102,202,0,-\r\n"},
        {4, "100,200,30,\"a, b\"\r\n", "1,100,200,30,a, b\r\n"},
        {5, "100,200,στάση\r\n", "1,100,200,0,στάση\r\n"},
        {6, "A1,200,100,30\r\n", "A1,100,200,30,-\r\n"},
        {7, "A12,200,100\r\n", "A12,100,200,0,-\r\n"},
        {8, "200,100,30\r\n", "1,100,200,30,-\r\n"},
        {9, "4500.25,3000.10\r\n", "1,3000.1,4500.25,0,-\r\n"},
        {10, "200,100,30,d\r\n", "1,100,200,30,d\r\n"},
        {11, "200,100,στάση\r\n", "1,100,200,0,στάση\r\n"},
        {2, "1e-5,12A,\r\n", "1,1E-05,12A,,-\r\n"},  // texts and empty values as read
        {0, "", ""},
        {-1, "100,200\r\n", ""},  // no layout: an empty file
    };
    for (const auto& c : cases)
        EXPECT_EQ(convert(c.input, c.layout), c.output) << "layout " << c.layout << ": " << c.input;
}

// Every layout against the plain reference on random files, texts and numbers of every form
// among the coordinates.
TEST(ConvertToPointFile, WritesWhatThePlainReferenceWritesOnRandomFiles)
{
    std::mt19937_64 random(612);
    for (int layout = 0; layout < 12; ++layout) {
        for (int file = 0; file < 4; ++file) {
            reference::RandomFileOptions options;
            options.records = file < 3 ? 500 : 12000;  // the last one across read blocks
            options.layout = layout;
            options.textValues = true;
            const std::string input = reference::randomFile(random, options);
            const auto expected = reference::convert(input, layout);
            if (!expected) {
                EXPECT_THROW(convert(input, layout), Failure) << "layout " << layout << ", file " << file;
                continue;
            }
            ASSERT_EQ(convert(input, layout), *expected) << "layout " << layout << ", file " << file;
        }
    }
}

TEST(ConvertToPointFile, ConvertingAgainReplacesTheCopyAndCountsFromOne)
{
    TempFolder folder;
    writeBytes(folder / "in.txt", "1,2\r\n3,4\r\n");
    const std::string out = (folder / "PENZD_in.txt").string();
    convertToPointFile((folder / "in.txt").string(), out, 3);
    convertToPointFile((folder / "in.txt").string(), out, 3);
    EXPECT_EQ(readBytes(out), "1,1,2,0,-\r\n2,3,4,0,-\r\n");
    convertToPointFile(out, (folder / "PENZD_PENZD_in.txt").string(), 3);
    EXPECT_EQ(listFolder(folder.path()), "PENZD_PENZD_in.txt PENZD_in.txt in.txt ");
}

TEST(ConvertToPointFile, ARecordCutShortLeavesNoOutputAndKeepsAnOldOne)
{
    TempFolder folder;
    writeBytes(folder / "in.txt", "1,2,3\r\n4,5\r\n");
    writeBytes(folder / "PENZD_in.txt", "earlier copy");
    try {
        convertToPointFile((folder / "in.txt").string(), (folder / "PENZD_in.txt").string(), 2);
        FAIL() << "converted a file cut short";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("εγγραφή 2"), std::string::npos) << failure.what();
    }
    EXPECT_EQ(readBytes(folder / "PENZD_in.txt"), "earlier copy");
    EXPECT_EQ(listFolder(folder.path()), "PENZD_in.txt in.txt ");
    EXPECT_THROW(convertToPointFile((folder / "gone.txt").string(), (folder / "PENZD_gone.txt").string(), 0), Failure);
    EXPECT_EQ(listFolder(folder.path()), "PENZD_in.txt in.txt ");
}

}  // namespace
}  // namespace tavrelo
