#include "data/file_io.h"

#include "test_support.h"
#include "text/failure.h"

#include <gtest/gtest.h>

#include <initializer_list>

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

// Every byte of a file comes out once and in order, whatever its size against a page and a
// read block, also when the file grows after it was opened.
TEST(InputFiles, EveryByteIsReadWhateverTheSize)
{
    TempFolder folder;
    auto pattern = [](std::size_t n) {
        std::string bytes(n, '\0');
        for (std::size_t i = 0; i < n; ++i)
            bytes[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
        return bytes;
    };
    auto readAll = [](InputFile& in) {
        std::string bytes;
        for (std::string_view part = in.buffered(); !part.empty(); part = in.buffered()) {
            bytes.append(part);
            in.skip(part.size());
        }
        return bytes;
    };
    const std::size_t block = InputFile::kBlockSize;
    using Sizes = std::initializer_list<std::size_t>;
    for (const std::size_t size : Sizes{0, 1, 4095, 4096, 4097, block - 1, block, block + 1, 3 * block + 17}) {
        for (const std::size_t added : Sizes{0, 1, 5000, block + 3}) {
            const std::string all = pattern(size + added);
            writeBytes(folder / "f.txt", all.substr(0, size));
            InputFile in(folder / "f.txt");
            if (added > 0)
                writeBytes(folder / "f.txt", all);  // the same file, longer now
            EXPECT_EQ(readAll(in), all) << size << " bytes, then " << added << " more";
        }
        // Read straight into memory, in parts of every size about a block, after a byte read
        // ahead; and again from the middle.
        writeBytes(folder / "f.txt", pattern(size));
        InputFile in(folder / "f.txt");
        std::string bytes(in.atEnd() ? "" : std::string(1, static_cast<char>(in.get())));
        char part[InputFile::kBlockSize + 9];
        for (std::size_t n = 1, got = 0; (got = in.read(part, n)) > 0; n = n * 3 % (sizeof part - 1) + 1)
            bytes.append(part, got);
        EXPECT_EQ(bytes, pattern(size)) << size << " bytes read straight";
        in.seek(size / 2);
        EXPECT_EQ(readAll(in), pattern(size).substr(size / 2)) << size << " bytes from the middle";
    }
}

// A file of 40 write blocks, written in pieces of many sizes (every size up to 100 bytes, others
// up to 70 000 bytes, and some large enough to go to the system as they are) that straddle the
// block boundaries, holds every byte in order, also while the disk is asked to hold what is
// written so far.
TEST(OutputFiles, EveryByteIsWrittenInOrder)
{
    TempFolder folder;
    std::string expected;
    {
        OutputFile out(folder / "r.txt");
        for (std::size_t i = 0; expected.size() < (40u << 20); ++i) {
            const std::size_t size = i % 97 == 0 ? 600000 + i : i % 3 == 0 ? (i * 37) % 70000 : i % 100;
            std::string piece(size, ' ');
            for (std::size_t k = 0; k < size; ++k)
                piece[k] = static_cast<char>('A' + (i + k) % 26);  // every byte in its place, not only as many
            out.write(piece);
            expected += piece;
        }
        out.commit();
    }
    EXPECT_EQ(readBytes(folder / "r.txt"), expected);
}

}  // namespace
}  // namespace tavrelo
