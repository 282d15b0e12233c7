#include "screens/drawing_screen.h"

#include "data/file_io.h"
#include "drawing/dxf_transform.h"
#include "screen_test_support.h"
#include "screens/choosers_screens.h"
#include "screens/drawing_plot.h"
#include "screens/file_questions.h"

#include <QCheckBox>
#include <QWheelEvent>

#include <cmath>
#include <deque>

namespace tavrelo {
namespace {

using namespace test;

// A small drawing of a survey in its local system: a parcel, a station block and its name.
const std::string kDrawing =
    "0\nSECTION\n2\nENTITIES\n"
    "0\nLWPOLYLINE\n5\n2A\n8\nPARCEL\n90\n4\n70\n1\n10\n2440\n20\n3760\n10\n2490\n20\n3760\n10\n2490\n20\n3830\n10\n2440\n20\n3830\n"
    "0\nLINE\n5\n2B\n8\nBUILDING\n10\n2450\n20\n3770\n30\n0\n11\n2470\n21\n3790\n31\n0\n"
    "0\nCIRCLE\n5\n2C\n8\nTREES\n10\n2460\n20\n3800\n30\n0\n40\n1.5\n"
    "0\nTEXT\n5\n2D\n8\nNAMES\n10\n2483.83\n20\n3829.405\n30\n0\n40\n1\n1\nΣ1\n"
    "0\nENDSEC\n0\nEOF\n";

const std::string kPoints =
    "Σ1,2483.830,3829.405,111.494,Στάση Σ1\r\nΣ2,2487.118,3788.292,110.162,Στάση Σ2\r\n"
    "Σ3,2449.605,3763.002,114.012,Στάση Σ3\r\n";

class DrawingScreenTest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        chooseCoordinateFile(kPoints);
        std::filesystem::copy_file(TAVRELO_FIXTURES "/survey_parameters.tmp", handoff.parameterFile());
        writeBytes(folder / "survey.dxf", kDrawing);
        setFileAsker([this](QWidget*, const FileQuestion& question) {
            questions.push_back(question);
            if (answers.empty())
                return FileAnswer{};
            FileAnswer answer{QString::fromStdString(utf8Path(answers.front())), 0};
            answers.pop_front();
            return answer;
        });
    }
    void TearDown() override
    {
        setFileAsker({});
        ScreenTest::TearDown();
    }

    // Opens the screen from the save screen's button, as the user does.
    DrawingScreen* open()
    {
        Form4* form4 = showScreen<Form4>();
        click(control<QPushButton>(form4, "drawingButton"));
        settle();
        return openScreen<DrawingScreen>();
    }
    // Chooses a drawing and waits for it to be carried.
    void choose(const std::filesystem::path& drawing)
    {
        answers.push_back(drawing);
        DrawingScreen* screen = openScreen<DrawingScreen>();
        click(control<QPushButton>(screen, "drawingFileButton"));
        EXPECT_TRUE(waitUntil([&] { return !screen->carrying(); }));
        settle();  // the summary's lines laid out
    }
    void save(const std::filesystem::path& result)
    {
        answers.push_back(result);
        click(control<QPushButton>(openScreen<DrawingScreen>(), "saveButton"));
    }
    DrawingPlot* plot() { return control<DrawingPlot>(openScreen<DrawingScreen>(), "drawingPlot"); }
    QString summary() { return control<QLabel>(openScreen<DrawingScreen>(), "summaryLabel")->text(); }

    std::deque<std::filesystem::path> answers;
    std::vector<FileQuestion> questions;
};

TEST_F(DrawingScreenTest, TheDrawingIsShownCarriedWithThePointsAndSavedAsTheRewriterWritesIt)
{
    // The button sits in the free stretch of the bottom row of the save screen.
    Form4* form4 = showScreen<Form4>();
    const QRect button = control<QWidget>(form4, "drawingButton")->geometry();
    EXPECT_GT(button.left(), control<QWidget>(form4, "Command2")->geometry().right());
    EXPECT_LT(button.right(), control<QWidget>(form4, "Command1")->geometry().left());
    EXPECT_EQ(control<QWidget>(form4, "Command1")->geometry(), QRect(408, 216, 105, 25));
    EXPECT_EQ(control<QWidget>(form4, "Command2")->geometry(), QRect(16, 216, 129, 25));

    DrawingScreen* screen = open();
    ASSERT_NE(screen, nullptr);
    EXPECT_FALSE(control<QPushButton>(screen, "saveButton")->isEnabled());
    choose(folder / "survey.dxf");
    ASSERT_EQ(errorMessage(), QString());
    EXPECT_TRUE(summary().contains(QStringLiteral("Μεταφέρθηκαν"))) << summary().toStdString();
    // One path for the parcel, one for the line, a circle, a text anchor and three points, all
    // carried: near the parameters' target point (500, 400), not the local (1000, 1000).
    EXPECT_EQ(plot()->outline().pathEnds.size(), 2u);
    EXPECT_EQ(plot()->outline().arcs.size(), 1u);
    EXPECT_EQ(plot()->outline().marks.size(), 1u);
    ASSERT_EQ(plot()->points().size(), 3u);
    const OutlineMark name = plot()->outline().marks[0];
    EXPECT_NEAR(name.x, plot()->points()[0].x, 1e-6);
    EXPECT_NEAR(name.y, plot()->points()[0].y, 1e-6);
    saveScreenshot(screen, QStringLiteral("DrawingScreen"));

    save(folder / "out.dxf");
    ASSERT_EQ(errorMessage(), QString());
    EXPECT_TRUE(questions.back().save);
    EXPECT_TRUE(questions.back().suggestedName.endsWith(QStringLiteral("/survey_μετασχ.dxf"))) << questions.back().suggestedName.toStdString();
    transformDrawing((folder / "reference.dxf").string(), (folder / "survey.dxf").string(), handoff.parameterFile());
    EXPECT_EQ(readBytes(folder / "out.dxf"), readBytes(folder / "reference.dxf"));
}

TEST_F(DrawingScreenTest, TheExampleDrawingLandsOnTheExampleSurvey)
{
    // The example where a surveyor keeps a job: a folder "Εργασίες" of the home folder (one of
    // the test's own), as the screen and its picture show it.
    const std::filesystem::path jobs = folder / "home" / pathFromUtf8("Εργασίες");
    std::filesystem::create_directories(jobs);
    for (const char* name : {"survey.txt", "survey.dxf"})
        std::filesystem::copy_file(pathFromUtf8(std::string(TAVRELO_EXAMPLES "/") + name), jobs / name);
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(utf8Path(folder / "home")));
    // The parameters of stations Σ1 and Σ4 as the two-point road hands them on.
    writeHandoffPath(handoff, utf8Path(jobs / "survey.txt"));
    writeHandoffParameters(handoff, {"12.3458080889694", "2483.83", "3829.405", "0.850000000000001", "1", "475000", "4201000"});
    DrawingScreen* screen = open();
    screen->resize(1000, 720);
    choose(jobs / "survey.dxf");
    qputenv("HOME", home);
    ASSERT_EQ(errorMessage(), QString());
    // Every station block sits on its station, carried.
    int onAPoint = 0;
    for (const OutlineMark& m : plot()->outline().marks) {
        if (m.kind != MarkKind::Insert)
            continue;
        for (const PlanPoint& p : plot()->points())
            onAPoint += std::hypot(m.x - p.x, m.y - p.y) < 1e-6;
    }
    EXPECT_EQ(onAPoint, 6);
    saveScreenshot(screen, QStringLiteral("DrawingScreenExample"));
}

TEST_F(DrawingScreenTest, TheSaveScreensInverseBoxCarriesTheDrawingAndThePointsBack)
{
    DrawingScreen* screen = open();
    choose(folder / "survey.dxf");
    const PlanPoint forward = plot()->points()[0];
    auto* inverse = control<QCheckBox>(showScreen<Form4>(), "inverseBox");
    inverse->setChecked(true);
    EXPECT_TRUE(screen->inverse());
    EXPECT_TRUE(control<QLabel>(screen, "directionText")->text().startsWith(QStringLiteral("αντίστροφα")));
    // Carried again, the other way: elsewhere, and the name still on its point.
    ASSERT_EQ(plot()->points().size(), 3u);
    EXPECT_GT(std::hypot(plot()->points()[0].x - forward.x, plot()->points()[0].y - forward.y), 100);
    ASSERT_EQ(plot()->outline().marks.size(), 1u);
    EXPECT_NEAR(plot()->outline().marks[0].x, plot()->points()[0].x, 1e-6);
    EXPECT_NEAR(plot()->outline().marks[0].y, plot()->points()[0].y, 1e-6);
    // Opened anew, it takes the box as it stands.
    screen->close();
    settle();
    EXPECT_TRUE(open()->inverse());
}

TEST_F(DrawingScreenTest, WhatCannotBeCarriedIsRefusedOrLeftAsItWasAndListed)
{
    std::string drawing = kDrawing;
    drawing.insert(drawing.find("0\nENDSEC"), "0\n3DSOLID\n5\n2F\n8\n0\n");
    writeBytes(folder / "solid.dxf", drawing);
    DrawingScreen* screen = open();
    choose(folder / "solid.dxf");
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("3DSOLID"))) << errorMessage().toStdString();
    EXPECT_FALSE(control<QPushButton>(screen, "saveButton")->isEnabled());
    EXPECT_TRUE(plot()->outline().pathEnds.empty()) << "a drawing refused is no longer shown";
    closeAllScreens();

    // A drawing the plan cannot read is named as the carrying names it.
    writeBytes(folder / "plan.dxf", std::string("AC1032\0\0\0\0", 10));
    open();
    choose(folder / "plan.dxf");
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("DWG"))) << errorMessage().toStdString();
    closeAllScreens();

    screen = open();
    control<QCheckBox>(screen, "skipUnknownBox")->setChecked(true);
    choose(folder / "solid.dxf");
    EXPECT_TRUE(summary().contains(QStringLiteral("3DSOLID 1 (handle 2F)"))) << summary().toStdString();
    EXPECT_EQ(plot()->outline().pathEnds.size(), 2u);
}

TEST(DrawingPlot, ZoomedInOnALargeDrawingEveryLineInSightIsDrawn)
{
    // 40000 short lines on a grid of 200 by 200 metres, in random order.
    DrawingOutline outline;
    std::vector<int> order(40000);
    for (int i = 0; i < 40000; ++i)
        order[static_cast<std::size_t>(i)] = (i * 7919) % 40000;
    for (int i : order) {
        const double x = 1000 + (i % 200), y = 5000 + (i / 200);
        outline.vertices.push_back({x, y});
        outline.vertices.push_back({x + 0.6, y});
        outline.pathEnds.push_back(static_cast<std::uint32_t>(outline.vertices.size()));
    }
    outline.hasExtents = true;
    outline.minX = 1000, outline.minY = 5000, outline.maxX = 1199.6, outline.maxY = 5199;
    DrawingPlot plot;
    plot.resize(400, 300);
    plot.setDrawing(std::move(outline), {});
    for (int step = 0; step < 12; ++step) {
        const QPointF at(130, 170);
        QWheelEvent wheel(at, plot.mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&plot, &wheel);
    }
    const QImage image = plot.grab().toImage();
    int inSight = 0;
    for (std::size_t p = 0; p < plot.outline().pathEnds.size(); ++p) {
        const OutlinePoint a = plot.outline().vertices[2 * p];
        const QPointF middle = plot.view().toPixel(a.x + 0.3, a.y);
        // In the image, clear of its frame and of the notes in its corners.
        const double x = middle.x(), y = middle.y();
        if (x < 4 || y < 4 || x > 396 || y > 296 || (x < 280 && y < 80) || (x < 160 && y > 230) || (x > 350 && y < 90))
            continue;
        ++inSight;
        EXPECT_NE(image.pixel(middle.toPoint()), qRgb(255, 255, 255)) << a.x << ", " << a.y;
    }
    EXPECT_GT(inSight, 20);
}

TEST_F(DrawingScreenTest, AFailureShowsTheErrorBoxAndWritesNothing)
{
    struct Case {
        const char* name;
        std::function<void()> step;
    };
    const Case cases[] = {
        {"no parameters to carry with",
         [this] {
             std::filesystem::remove(handoff.parameterFile());
             choose(folder / "survey.dxf");
         }},
        {"saving over the drawing itself",
         [this] {
             choose(folder / "survey.dxf");
             save(folder / "survey.dxf");
         }},
        {"parameters gone before saving",
         [this] {
             choose(folder / "survey.dxf");
             std::filesystem::remove(handoff.parameterFile());
             save(folder / "out.dxf");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::copy_file(TAVRELO_FIXTURES "/survey_parameters.tmp", handoff.parameterFile(),
                                   std::filesystem::copy_options::overwrite_existing);
        const auto before = snapshot(folder.path());
        open();
        c.step();
        EXPECT_NE(errorMessage(), QString());
        // Nothing new or changed but the parameter file the case took away.
        auto after = snapshot(folder.path());
        auto expected = before;
        const std::string parameters = std::filesystem::path("state/file001.tmp").make_preferred().string();
        expected.erase(parameters);
        after.erase(parameters);
        EXPECT_EQ(after, expected);
        closeAllScreens();
    }
}

}  // namespace
}  // namespace tavrelo
