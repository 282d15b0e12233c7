// What a surveyor's files must survive on Windows: a result that is read-only, a file held
// open by another program, Greek letters and spaces in every part of a path, another drive,
// a drive that is not there, a path past Windows' old limit and a name too long. Each is reported with a
// clear message and leaves every file as it was.

#include "data/handoff_files.h"
#include "test_support.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <windows.h>

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using test::listFolder;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

const fs::path kFixtures = TAVRELO_FIXTURES;

// The point lines of a result file: what follows the line of the scale.
std::string pointLines(const std::string& bytes)
{
    return bytes.substr(bytes.find("\r\n", bytes.find("Scale")) + 2);
}

// The example survey and its parameters, handed on from a folder inside `folder`.
struct Survey {
    explicit Survey(const fs::path& folder) : input(folder / pathFromUtf8("σημεία α.txt")), handoff(folder / "state")
    {
        writeBytes(input, readBytes(kFixtures / "survey.txt"));
        writeHandoffPath(handoff, utf8Path(input));
        writeBytes(handoff.parameterFile(), readBytes(kFixtures / "survey_parameters.tmp"));
    }
    std::string save(const fs::path& result) const
    {
        try {
            applyTransformation(utf8Path(result), handoff);
            return "done";
        } catch (const Failure& failure) {
            return failure.what();
        }
    }
    fs::path input;
    HandoffFiles handoff;
};

TEST(WindowsFaults, GreekLettersAndSpacesInEveryPartOfThePath)
{
    TempFolder top;
    const fs::path folder = top.path() / pathFromUtf8("Μετρήσεις 2024") / pathFromUtf8("Οικόπεδο Α");
    fs::create_directories(folder);
    const Survey s(folder);
    const fs::path result = folder / pathFromUtf8("αποτέλεσμα 1.txt");
    ASSERT_EQ(s.save(result), "done");
    const std::string bytes = readBytes(result);
    // The input's path is printed in Windows-1253, as the file system gives it.
    EXPECT_NE(bytes.find(utf8ToWindows1253(utf8Path(s.input))), std::string::npos);
    EXPECT_EQ(pointLines(bytes), pointLines(readBytes(kFixtures / "survey_expected_result.txt")));
}

struct Fault {
    const char* name;
    // Readies the result's place; returns what undoes it.
    std::function<std::function<void()>(const fs::path& result)> prepare;
    const char* says;
};

TEST(WindowsFaults, AResultThatCannotBeReplacedIsReportedAndKept)
{
    const Fault faults[] = {
        {"read-only",
         [](const fs::path& r) {
             ::SetFileAttributesW(r.c_str(), FILE_ATTRIBUTE_READONLY);
             return std::function<void()>([r] { ::SetFileAttributesW(r.c_str(), FILE_ATTRIBUTE_NORMAL); });
         },
         "μόνο για ανάγνωση"},
        {"held open by another program",
         [](const fs::path& r) {
             const HANDLE h = ::CreateFileW(r.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             EXPECT_NE(h, INVALID_HANDLE_VALUE);
             return std::function<void()>([h] { ::CloseHandle(h); });
         },
         "ανοιχτό σε άλλο πρόγραμμα"},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        TempFolder folder;
        const Survey s(folder.path());
        const fs::path result = folder / "result.txt";
        writeBytes(result, "an earlier result");
        const auto undo = f.prepare(result);
        const std::string outcome = s.save(result);
        undo();
        EXPECT_NE(outcome.find(f.says), std::string::npos) << outcome;
        EXPECT_NE(outcome.find("result.txt"), std::string::npos) << outcome;
        EXPECT_EQ(readBytes(result), "an earlier result");
        EXPECT_EQ(listFolder(folder.path()), "result.txt state σημεία α.txt ");  // no temporary file
    }
}

TEST(WindowsFaults, ACoordinateFileHeldOpenByAnotherProgramIsReported)
{
    TempFolder folder;
    const Survey s(folder.path());
    const HANDLE h = ::CreateFileW(s.input.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const std::string outcome = s.save(folder / "result.txt");
    ::CloseHandle(h);
    EXPECT_NE(outcome.find("ανοιχτό σε άλλο πρόγραμμα"), std::string::npos) << outcome;
    EXPECT_FALSE(fs::exists(folder / "result.txt"));
}

TEST(WindowsFaults, AMissingDriveAndAPathTooLongAreNamed)
{
    TempFolder folder;
    const Survey s(folder.path());
    // The first letter from the end that names no drive.
    const DWORD drives = ::GetLogicalDrives();
    char letter = 'Z';
    while (letter > 'D' && (drives & (1u << (letter - 'A'))))
        --letter;
    const std::string missing = std::string(1, letter) + ":\\result.txt";
    EXPECT_NE(s.save(pathFromUtf8(missing)).find("ο δίσκος δεν υπάρχει ή δεν είναι έτοιμος"), std::string::npos);
    // A path past Windows' old limit of 259 characters is written; a name past 255 is named.
    const fs::path deepFolder = folder / std::string(200, 'b');
    fs::create_directory(deepFolder);
    const fs::path deep = deepFolder / (std::string(150, 'c') + ".txt");
    EXPECT_EQ(s.save(deep), "done");
    EXPECT_TRUE(::DeleteFileW((L"\\\\?\\" + deep.wstring()).c_str()));
    fs::remove(deepFolder);
    const std::string tooLong = s.save(folder / (std::string(300, 'a') + ".txt"));
    EXPECT_NE(tooLong.find("το όνομα είναι πολύ μεγάλο"), std::string::npos) << tooLong;
    EXPECT_EQ(listFolder(folder.path()), "state σημεία α.txt ");
}

// The test script maps a second drive letter onto a folder of its own and names it here.
TEST(WindowsFaults, AResultOnAnotherDrive)
{
    const char* drive = std::getenv("TAVRELO_TEST_DRIVE");
    if (!drive || !*drive)
        GTEST_SKIP() << "no second drive mapped (TAVRELO_TEST_DRIVE)";
    TempFolder folder;
    const Survey s(folder.path());
    const fs::path result = pathFromUtf8(std::string(drive) + "\\αποτέλεσμα.txt");
    fs::remove(result);
    ASSERT_EQ(s.save(result), "done");
    EXPECT_EQ(pointLines(readBytes(result)), pointLines(readBytes(kFixtures / "survey_expected_result.txt")));
    fs::remove(result);
}

}  // namespace
}  // namespace tavrelo
