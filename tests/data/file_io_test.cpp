#include "data/file_io.h"

#include "test_support.h"
#include "text/failure.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

using test::listFolder;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// A name with a NUL byte in it would reach the system cut short at the NUL, naming another
// file: it is refused, neither that other file read nor anything written.
TEST(FileNames, ANameWithANulByteNamesNoFile)
{
    TempFolder folder;
    writeBytes(folder / "points.txt", "1,2,3,4,5\r\n");
    const std::string nul(1, '\0');
    EXPECT_THROW(InputFile((folder / "points.txt").string() + nul + "x"), Failure);

    // The temporary name of "XXXXXX\0" would be a pattern of its own, and the result would
    // land under the name before the NUL.
    for (const std::string& name : {"r.txt" + nul + "x", "XXXXXX" + nul}) {
        try {
            OutputFile out((folder / name).string());
            out.write("result");
            out.commit();
            ADD_FAILURE() << "wrote a file for a name with a NUL byte";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find("δεν είναι έγκυρο"), std::string::npos) << failure.what();
        }
    }
    EXPECT_EQ(listFolder(folder.path()), "points.txt ");
}

TEST(FileNames, ANameAtTheLengthLimitIsWritten)
{
    // The temporary file beside the target must fit the file system's limit of 255 bytes too.
    TempFolder folder;
    for (const std::size_t length : {247u, 255u}) {
        const std::string name(length, 'a');
        OutputFile out(folder / name);
        out.write("result");
        out.commit();
        EXPECT_EQ(readBytes(folder / name), "result");
        std::filesystem::remove(folder / name);
    }
    EXPECT_EQ(listFolder(folder.path()), "");
}

}  // namespace
}  // namespace tavrelo
