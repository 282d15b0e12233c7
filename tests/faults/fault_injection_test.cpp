// What a surveyor's files must survive: a full disk, a coordinate file that is gone or cannot
// be read by the time of the save step, folders that cannot be written, damaged hand-off
// files, a result named like its own coordinate file, and files of unusual size or content.
// Every failure is reported with a clear message and leaves every file as it was; data that
// is legal passes through byte for byte.

#include "data/format_conversion.h"
#include "data/handoff_files.h"
#include "data/point_table.h"
#include "test_support.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"
#include "transform/parameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>

#ifndef _WIN32
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace tavrelo {
namespace {

using test::messageFault;
using test::outcomeInChild;
using test::readBytes;
using test::snapshot;
using test::TempFolder;
using test::writeBytes;
namespace fs = std::filesystem;

const CommonPointInput kCommonPoints{0, 1, "500", "400", "50.1", "580.02", "339.985", "52.06", true};

// A surveyor's folder after the common points step: the coordinate file, the hand-off files
// that step left, a field file of layout "P,X,Y,Z", and an earlier result and an earlier
// converted copy that only complete files may replace.
struct Survey {
    Survey()
    {
        writeBytes(input(), readBytes(fs::path(TAVRELO_FIXTURES) / "survey.txt"));
        writeBytes(field(), "A1,100.50,200,30\r\nA2,101,201,31\r\n");
        writeHandoffPath(handoff, input().string());
        const ParameterResult p = *computeParameters(kCommonPoints, handoff);
        writeTransformParameters(handoff, 0, {p.f, p.Dh, p.klimax, "500", "400"});
        writeBytes(result(), "an earlier result");
        writeBytes(copy(), "an earlier copy");
    }
    fs::path input() const { return folder / "survey.txt"; }
    fs::path field() const { return folder / "field.txt"; }
    fs::path result() const { return folder / "result.txt"; }
    fs::path copy() const { return folder / "PENZD_field.txt"; }

    // The steps, as the screens run them.
    void choose() const { writeHandoffPath(handoff, (folder / "other.txt").string()); }
    void load() const { loadPointTable(handoff); }
    void compute() const { computeParameters(kCommonPoints, handoff); }
    void handOn() const { writeTransformParameters(handoff, 1, {"1", "2", "1", "600", "700"}); }
    void save() const { applyTransformation(result().string(), handoff); }
    void convert() const { convertToPointFile(field().string(), copy().string(), 0); }

    TempFolder folder;
    HandoffFiles handoff{folder / "state"};
};

using Step = void (Survey::*)() const;

struct NamedStep {
    const char* name;
    Step step;
};

const NamedStep kSave{"save", &Survey::save};
const NamedStep kConvert{"convert", &Survey::convert};

// The outcome of a step must be a Failure whose clear message says `says`.
void expectFailure(const std::string& outcome, const std::string& says)
{
    const std::string prefix = "failure: ";
    ASSERT_EQ(outcome.substr(0, prefix.size()), prefix) << outcome;
    const std::string message = outcome.substr(prefix.size());
    EXPECT_EQ(messageFault(message), "");
    EXPECT_NE(message.find(says), std::string::npos) << message;
}

std::string outcomeOf(const std::function<void()>& step)
{
    try {
        step();
        return "done";
    } catch (const Failure& failure) {
        return std::string("failure: ") + failure.what();
    }
}

// Runs each step on the survey as it stands: each must fail with a clear message that says
// `says`, and leave every file as it was.
void expectEachRefused(const Survey& s, std::initializer_list<NamedStep> steps, const std::string& says)
{
    for (const NamedStep& step : steps) {
        SCOPED_TRACE(step.name);
        const auto before = snapshot(s.folder.path());
        expectFailure(outcomeOf([&] { (s.*step.step)(); }), says);
        EXPECT_EQ(snapshot(s.folder.path()), before);
    }
}

// Runs a step in a child process for which file permissions hold. Root's do not, so as root
// the survey is handed to the user "nobody" and the child becomes that user.
std::string outcomeWithPermissions(const Survey& s, Step step)
{
#ifdef _WIN32
    // Windows keeps no POSIX permissions: its own faults are tested in windows_faults_test.
    (void)s, (void)step;
    return test::kNotPrepared;
#else
    constexpr uid_t kNobody = 65534;
    const bool root = ::geteuid() == 0;
    if (root) {
        ::lchown(s.folder.path().c_str(), kNobody, kNobody);
        for (const auto& entry : fs::recursive_directory_iterator(s.folder.path()))
            ::lchown(entry.path().c_str(), kNobody, kNobody);
    }
    return outcomeInChild(
        [root] {
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                ::_exit(test::kCannotPrepare);
        },
        [&] { (s.*step)(); });
#endif
}

TEST(FaultInjection, AFullDiskIsReportedAndLeavesEveryFileAsItWas)
{
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is simulated by a POSIX file size limit in a child process";
#else
    struct Case {
        NamedStep step;
        fs::path (*written)(const Survey&);
    };
    const Case cases[] = {
        {kSave, [](const Survey& s) { return s.result(); }},
        {kConvert, [](const Survey& s) { return s.copy(); }},
        {{"choose", &Survey::choose}, [](const Survey& s) { return s.handoff.pathFile(); }},
        {{"hand on", &Survey::handOn}, [](const Survey& s) { return s.handoff.parameterFile(); }},
    };
    for (const auto& c : cases) {
        // The size of the complete file: with room for exactly that much the step succeeds.
        rlim_t complete = 0;
        {
            Survey s;
            (s.*c.step.step)();
            complete = fs::file_size(c.written(s));
        }
        for (const rlim_t room : {rlim_t{0}, rlim_t{1}, complete / 2, complete - 1, complete}) {
            SCOPED_TRACE(std::string(c.step.name) + ", room for " + std::to_string(room) + " of " +
                         std::to_string(complete) + " bytes");
            Survey s;
            const auto before = snapshot(s.folder.path());
            const std::string outcome = outcomeInChild(
                [room] {
                    std::signal(SIGXFSZ, SIG_IGN);
                    const rlimit limit{room, room};
                    ::setrlimit(RLIMIT_FSIZE, &limit);
                },
                [&] { (s.*c.step.step)(); });
            if (room == complete) {
                EXPECT_EQ(outcome, "done");
                continue;
            }
            expectFailure(outcome, "δεν γράφτηκε");
            expectFailure(outcome, c.written(s).filename().string());
            EXPECT_EQ(snapshot(s.folder.path()), before);
        }
    }
#endif
}

TEST(FaultInjection, ACoordinateFileGoneOrUnreadableAtTheSaveStepIsReported)
{
    {
        Survey s;
        fs::remove(s.input());
        expectEachRefused(s, {kSave}, "δεν υπάρχει");
    }
    {
        Survey s;
        fs::remove(s.input());
        fs::create_directory(s.input());
        expectEachRefused(s, {kSave}, "φάκελος");
    }
    {
        Survey s;
        fs::permissions(s.input(), fs::perms::none);
        const std::string outcome = outcomeWithPermissions(s, &Survey::save);
        fs::permissions(s.input(), fs::perms::owner_read | fs::perms::owner_write);
        if (outcome == test::kNotPrepared)
            GTEST_SKIP() << "no other user to read the file as";
        expectFailure(outcome, "δεν επιτρέπεται η πρόσβαση");
        EXPECT_EQ(readBytes(s.result()), "an earlier result");
        EXPECT_EQ(test::listFolder(s.folder.path()),
                  "PENZD_field.txt field.txt result.txt state survey.txt ");  // no temporary file
    }
}

TEST(FaultInjection, AFolderThatCannotBeWrittenIsReported)
{
    struct Case {
        NamedStep step;
        fs::path (*folder)(const Survey&);
    };
    const Case cases[] = {
        {kSave, [](const Survey& s) { return s.folder.path(); }},
        {kConvert, [](const Survey& s) { return s.folder.path(); }},
        {{"choose", &Survey::choose}, [](const Survey& s) { return s.handoff.folder(); }},
        {{"hand on", &Survey::handOn}, [](const Survey& s) { return s.handoff.folder(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step.name);
        Survey s;
        const auto before = snapshot(s.folder.path());
        fs::permissions(c.folder(s), fs::perms::owner_read | fs::perms::owner_exec);
        const std::string outcome = outcomeWithPermissions(s, c.step.step);
        fs::permissions(c.folder(s), fs::perms::owner_all);
        if (outcome == test::kNotPrepared)
            GTEST_SKIP() << "no other user to write as";
        expectFailure(outcome, "δεν επιτρέπεται η πρόσβαση");
        EXPECT_EQ(snapshot(s.folder.path()), before);
    }
}

TEST(FaultInjection, ADamagedHandoffFileIsReported)
{
    const std::string tenMegabytes(10 << 20, '/');
    const std::string nul(1, '\0');
    struct Case {
        const char* name;
        bool pathFile;  // else the parameter file
        std::string bytes;
        const char* says;
    };
    const Case cases[] = {
        {"an empty path file", true, "", "δεν υπάρχει"},
        {"a path file of binary garbage", true, "\xFF\xFE\x01" + nul + "\x80 x\r\n", "δεν είναι έγκυρο"},
        {"a path cut short by a NUL byte", true, "@INPUT@" + nul + "x\r\n", "δεν είναι έγκυρο"},
        {"a path file of one 10 MB line", true, tenMegabytes + "\r\n", "πολύ μεγάλο"},
        {"an empty parameter file", false, "", "τιμή 1 από τις 7"},
        {"a parameter file cut short after three values", false, "99.9999982811266\r\n 1000 \r\n 10", "τιμή 4 από τις 7"},
        {"a parameter file of garbage", false, "\xD3\xF4\xF1" + nul + "\xEF\xF6\xDE\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n",
         "δεν είναι αριθμός"},
        {"a parameter file of one 10 MB line", false, std::string(10 << 20, '9') + "x\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n",
         "δεν είναι αριθμός"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Survey s;
        std::string bytes = c.bytes;
        if (const auto at = bytes.find("@INPUT@"); at != std::string::npos)
            bytes.replace(at, 7, s.input().string());
        writeBytes(c.pathFile ? s.handoff.pathFile() : s.handoff.parameterFile(), bytes);
        if (c.pathFile)
            expectEachRefused(s, {{"load", &Survey::load}, {"compute", &Survey::compute}, kSave}, c.says);
        else
            expectEachRefused(s, {kSave}, c.says);
    }

    // A hand-off file that is a folder.
    for (const bool pathFile : {true, false}) {
        Survey s;
        const fs::path file = pathFile ? s.handoff.pathFile() : s.handoff.parameterFile();
        fs::remove(file);
        fs::create_directory(file);
        expectEachRefused(s, {kSave}, "φάκελος");
    }
}

TEST(FaultInjection, AResultNamedLikeOneOfItsInputsIsRefused)
{
    Survey s;
    std::error_code noSymbolicLinks;  // Windows lets only some users make them
    fs::create_symlink(s.input(), s.folder / "link.txt", noSymbolicLinks);
    if (noSymbolicLinks)
        fs::create_hard_link(s.input(), s.folder / "link.txt");
    fs::create_hard_link(s.input(), s.folder / "hard.txt");
    const std::string folder = s.folder.path().string();
    const std::string coordinateFile = "είναι το ίδιο το αρχείο συντεταγμένων";
    const std::string handoffFile = "κρατά το επιλεγμένο αρχείο ή τις παραμέτρους";
    const struct {
        std::string name;
        const std::string& says;
    } cases[] = {
        {s.input().string(), coordinateFile},
        {folder + "//survey.txt", coordinateFile},
        {folder + "/./survey.txt", coordinateFile},
        {folder + "/state/../survey.txt", coordinateFile},
        {folder + "/link.txt", coordinateFile},
        {folder + "/hard.txt", coordinateFile},
        {s.handoff.pathFile().string(), handoffFile},
        {s.handoff.parameterFile().string(), handoffFile},
        {folder + "/state//file001.tmp", handoffFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = snapshot(s.folder.path());
        expectFailure(outcomeOf([&] { applyTransformation(c.name, s.handoff); }), c.says);
        EXPECT_EQ(snapshot(s.folder.path()), before);
    }
}

TEST(FaultInjection, A402PointFileStopsTheCommonPointsStepButIsSavedWhole)
{
    Survey s;
    std::string points;
    for (int i = 1; i <= 402; ++i)
        points += std::to_string(i) + ",1000,1000,50,x\r\n";
    writeBytes(s.input(), points);
    expectEachRefused(s, {{"load", &Survey::load}, {"compute", &Survey::compute}, {"hand on", &Survey::handOn}},
                      "περισσότερα από 401 σημεία");

    s.save();
    const std::string result = readBytes(s.result());
    EXPECT_EQ(std::count(result.begin(), result.end(), '\n'), 12 + 402);
    EXPECT_EQ(result.substr(result.rfind("\r\n", result.size() - 3) + 2, 4), "402,");
}

TEST(FaultInjection, ARecordCutShortIsReportedByEveryStep)
{
    Survey s;
    writeBytes(s.input(), readBytes(s.input()) + "20,1030");
    writeBytes(s.field(), "A1,100.50,200,30\r\nA2,101");
    expectEachRefused(s, {{"load", &Survey::load}, {"compute", &Survey::compute}, {"hand on", &Survey::handOn}, kSave},
                      "εγγραφή 10");
    expectEachRefused(s, {kConvert}, "εγγραφή 2");
}

// Every byte that an unquoted field can hold (all but the comma and the line ends), NUL and
// blanks and quotes within, in a field that neither starts nor ends with a blank or a quote.
std::string everyUnquotedByte()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        if (b != ',' && b != '\r' && b != '\n')
            bytes += static_cast<char>(b);
    return bytes;
}

// Every byte that a quoted field can hold: all but the double quote.
std::string everyQuotedByte()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        if (b != '"')
            bytes += static_cast<char>(b);
    return bytes;
}

TEST(FaultInjection, NulBytesAndEveryWindows1253BytePassThroughByteForByte)
{
    const std::string withNul = std::string("P\0", 2) + "1";
    const std::string plain = everyUnquotedByte();
    const std::string quoted = everyQuotedByte();
    Survey s;
    writeBytes(s.input(), withNul + ",1,2,3," + withNul + "\r\n" + plain + ",1000.5,-20,50," + plain + "\r\n\"" + quoted +
                              "\",1,2,3,\"" + quoted + "\"\r\n");
    writeBytes(s.handoff.parameterFile(), "0\r\n 0 \r\n 0 \r\n0\r\n1\r\n0\r\n0\r\n");  // carries points unchanged

    const LoadedPoints points = loadPointTable(s.handoff);
    ASSERT_EQ(points.count, 3);
    EXPECT_EQ(points.table.Pn[0], withNul);
    EXPECT_EQ(points.table.D[0], withNul);
    EXPECT_EQ(points.table.Pn[1], plain);
    EXPECT_EQ(points.table.D[1], plain);
    EXPECT_EQ(points.table.Pn[2], quoted);
    EXPECT_EQ(points.table.D[2], quoted);

    s.save();
    const std::string result = readBytes(s.result());
    const std::string lines = withNul + ",   1 ,   2 ,   3 ,  " + withNul + "\r\n" + plain + ",   1000.5 ,  -20 ,   50 ,  " +
                              plain + "\r\n" + quoted + ",   1 ,   2 ,   3 ,  " + quoted + "\r\n";
    ASSERT_GE(result.size(), lines.size());
    EXPECT_EQ(result.substr(result.size() - lines.size()), lines);

    writeBytes(s.field(), plain + ",1,2,3\r\n");  // layout P,X,Y,Z
    s.convert();
    EXPECT_EQ(readBytes(s.copy()), plain + ",1,2,3,-\r\n");
    writeBytes(s.field(), "1,2,3," + plain + "\r\n1,2,3,\"" + quoted + "\"\r\n");
    convertToPointFile(s.field().string(), s.copy().string(), 4);  // layout X,Y,Z,D
    EXPECT_EQ(readBytes(s.copy()), "1,1,2,3," + plain + "\r\n2,1,2,3," + quoted + "\r\n");
}

TEST(FaultInjection, AFieldThatIsNotANumberIsNamedInAClearMessage)
{
    // Bytes that are not text in a message (a NUL, control characters, Windows-1253 letters)
    // and a field of 10 MB are shown briefly, in UTF-8, without cutting the message short.
    const std::string huge(10 << 20, 'A');
    const struct {
        const char* name;
        std::string points;
    } cases[] = {
        {"a NUL byte", "1,10" + std::string(1, '\0') + "5,2,3,a\r\n"},
        {"a Windows-1253 text", "1,\xD3\xF4\xDE\xEB\xE7,2,3,a\r\n"},
        {"a field of 10 MB", "1," + huge + ",2,3,a\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Survey s;
        writeBytes(s.input(), c.points);
        expectEachRefused(s, {kSave}, "το πεδίο X δεν είναι αριθμός");
    }
    Survey s;
    writeBytes(s.input(), "\xD3\x31,\xE1,2,3,a\r\n2,3,4,5,b\r\n");
    expectEachRefused(s, {{"compute", &Survey::compute}}, "(σημείο «Σ1») δεν είναι αριθμός: «α»");
}

TEST(FaultInjection, ATenMegabyteLineIsReadWhole)
{
    std::string description;
    for (int i = 0; i < (10 << 20) / 16; ++i)
        description += "\xD3\xF4\xDE\xEB\xE7 \xE2\xEF\xF1\xE5\xE9\xDC \xF0\xEB.";  // Windows-1253 Greek, 16 bytes
    Survey s;
    writeBytes(s.input(), "1,1000,1000,50," + description + "\r\n2,1060,1080,52,b\r\n");
    s.save();
    const std::string result = readBytes(s.result());
    EXPECT_NE(result.find(",  " + description + "\r\n2,"), std::string::npos);

    writeBytes(s.field(), "1,2,3," + description);
    convertToPointFile(s.field().string(), s.copy().string(), 4);  // layout X,Y,Z,D
    EXPECT_EQ(readBytes(s.copy()), "1,1,2,3," + description + "\r\n");

    // One line of 10 MB without a comma is one field: the record is cut short.
    writeBytes(s.input(), description);
    expectEachRefused(s, {{"load", &Survey::load}, kSave}, "εγγραφή 1");
}

}  // namespace
}  // namespace tavrelo
