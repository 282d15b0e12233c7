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

}  // namespace
}  // namespace tavrelo
