#include "data/common_points.h"

#include "test_support.h"
#include "text/failure.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

using test::TempFolder;
using test::writeBytes;

struct Files {
    Files(const std::string& coordinates, const std::string& targets)
    {
        writeBytes(folder / "points.txt", coordinates);
        writeBytes(folder / "targets.txt", targets);
    }
    CommonPoints match(std::size_t planLimit = 0) const
    {
        return matchCommonPoints((folder / "points.txt").string(), (folder / "targets.txt").string(), planLimit);
    }
    TempFolder folder;
};

TEST(CommonPoints, MatchesByPointNumberInTheTargetFilesOrder)
{
    const Files f("1,10,20,5,a\r\n\"\xD3\x31\",11,21,,b\r\n3,12,22,7,c\r\n4,,,8,d\r\n",
                  "3,102,202,70,x\r\n9,1,1,1,y\n\xD3\x31,101,201,71,\r\n4,104,204,,z\r");
    const CommonPoints c = f.match();
    ASSERT_EQ(c.matched.size(), 3u);
    EXPECT_EQ(c.matched[0].Pn, "3");
    EXPECT_EQ(c.matched[0].x, 12);
    EXPECT_EQ(c.matched[0].h, 7.0);
    EXPECT_EQ(c.matched[0].X, 102);
    EXPECT_EQ(c.matched[0].H, 70.0);
    EXPECT_EQ(c.matched[1].Pn, "\xD3\x31");  // the quoted point number matches its text
    EXPECT_FALSE(c.matched[1].h);             // an empty h: no height
    EXPECT_EQ(c.matched[1].sourceRecord, 2);
    EXPECT_EQ(c.matched[1].targetRecord, 3);
    EXPECT_EQ(c.matched[2].x, 0);             // empty X in the coordinate file counts as 0
    EXPECT_FALSE(c.matched[2].H);
    EXPECT_EQ(c.unmatched, std::vector<std::string>{"9"});
    EXPECT_EQ(c.coordinateRecords, 4);
}

TEST(CommonPoints, RefusesEveryBadInputWithItsPointAndRecord)
{
    const std::string points = "1,10,20,5,a\r\n2,11,21,6,b\r\n3,12,22,7,c\r\n";
    struct Case {
        const char* name;
        std::string coordinates, targets;
        const char* says;
    };
    const Case cases[] = {
        {"a point twice in the target file", points, "1,1,1,1,\r\n2,2,2,2,\r\n1,3,3,3,\r\n", "«1» υπάρχει δύο φορές στο αρχείο κοινών σημείων"},
        {"a target point twice in the coordinate file", points + "2,0,0,0,\r\n", "1,1,1,1,\r\n2,2,2,2,\r\n", "εγγραφές 2 και 4"},
        {"an empty target X", points, "1,1,1,1,\r\n2,,2,2,\r\n", "εγγραφή 2"},
        {"a target Y that is no number", points, "1,1,1,1,\r\n2,2,2a,2,\r\n", "«2a»"},
        {"a quoted target X", points, "1,\"1\",1,1,\r\n2,2,2,2,\r\n", "X δεν είναι αριθμός"},
        {"a source height that is no number", "1,10,20,x,a\r\n2,11,21,6,b\r\n", "1,1,1,1,\r\n2,2,2,2,\r\n", "«x»"},
        {"one match", points, "1,1,1,1,\r\n7,2,2,2,\r\n", "Μόνο 1 από τα 2"},
        {"no target point", points, "", "Μόνο 0 από τα 0"},
        {"a target record cut short", points, "1,1,1,1,\r\n2,2", "εγγραφή 2"},
    };
    for (const Case& c : cases) {
        const Files f(c.coordinates, c.targets);
        try {
            f.match();
            ADD_FAILURE() << c.name;
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.says), std::string::npos) << c.name << ": " << failure.what();
            EXPECT_EQ(test::messageFault(failure.what()), "") << c.name;
        }
    }
}

TEST(CommonPoints, ThePlanOfAFileIsEvenlyThinnedToItsLimit)
{
    std::string points;
    for (int i = 0; i < 1000; ++i)
        points += std::to_string(i) + "," + std::to_string(i) + ",0,0,\r\n";
    const Files f(points, "0,0,0,0,\r\n1,1,0,0,\r\n");
    const CommonPoints c = f.match(100);
    // 1000 records through a limit of 100: every 16th point, 0 to 992.
    ASSERT_EQ(c.plan.size(), 63u);
    for (std::size_t i = 0; i < c.plan.size(); ++i)
        EXPECT_EQ(c.plan[i].x, 16.0 * i);
    EXPECT_TRUE(f.match(0).plan.empty());
}

}  // namespace
}  // namespace tavrelo
