#include "screens/points_plot.h"

#include "screen_test_support.h"

#include <QWheelEvent>

#include <cmath>

namespace tavrelo {
namespace {

using namespace test;

void expectNear(const QPointF& a, const QPointF& b, double within = 1e-6)
{
    EXPECT_NEAR(a.x(), b.x(), within);
    EXPECT_NEAR(a.y(), b.y(), within);
}

struct ShowAllCase {
    QRectF bounds;  // in metres
    QSizeF size;    // in pixels
};

TEST(PlotView, ShowsEverythingCentredWithXRightYUpAndOneScale)
{
    const ShowAllCase cases[] = {
        {{474900, 4200900, 150, 150}, {400, 300}},   // square survey in a wide area
        {{2400, 3760, 90, 110}, {300, 500}},         // tall area
        {{0, 0, 1000, 10}, {640, 480}},              // a long line of points
        {{100, 200, 0, 0}, {200, 200}},              // one point: a metre across
    };
    for (const ShowAllCase& c : cases) {
        SCOPED_TRACE(c.bounds.width());
        PlotView view;
        const double margin = 20;
        view.showAll(c.bounds, c.size, margin);
        const QPointF lowLeft = view.toPixel(c.bounds.left(), c.bounds.top());  // QRectF top is the least Y
        const QPointF highRight = view.toPixel(c.bounds.right(), c.bounds.bottom());
        // X grows to the right, Y upwards.
        EXPECT_LE(lowLeft.x(), highRight.x());
        EXPECT_GE(lowLeft.y(), highRight.y());
        // Inside the margins, touching them on at least one axis unless a point.
        for (const QPointF& p : {lowLeft, highRight}) {
            EXPECT_GE(p.x(), margin - 1e-6);
            EXPECT_LE(p.x(), c.size.width() - margin + 1e-6);
            EXPECT_GE(p.y(), margin - 1e-6);
            EXPECT_LE(p.y(), c.size.height() - margin + 1e-6);
        }
        // The centre in the centre; a metre is as long across as up.
        expectNear(view.toPixel(c.bounds.center().x(), c.bounds.center().y()), QPointF(c.size.width() / 2, c.size.height() / 2));
        const QPointF east = view.toPixel(c.bounds.left() + 1, c.bounds.top()) - lowLeft;
        const QPointF north = view.toPixel(c.bounds.left(), c.bounds.top() + 1) - lowLeft;
        EXPECT_NEAR(east.x(), -north.y(), 1e-9);
        EXPECT_NEAR(east.y(), 0, 1e-9);
        EXPECT_NEAR(north.x(), 0, 1e-9);
        // toPlane undoes toPixel, also at national-grid sizes.
        const QPointF plane = view.toPlane(QPointF(37.5, 81.25));
        expectNear(view.toPixel(plane.x(), plane.y()), QPointF(37.5, 81.25));
    }
}

TEST(PlotView, ZoomKeepsThePointUnderThePointerAndPanMovesByThePixels)
{
    PlotView view;
    view.showAll({474900, 4200900, 150, 150}, {400, 300}, 20);
    const QPointF pointer(123, 77);
    const QPointF under = view.toPlane(pointer);
    const double before = view.pixelsPerMetre();
    view.zoomAt(pointer, 1.25);
    EXPECT_NEAR(view.pixelsPerMetre(), before * 1.25, 1e-12);
    expectNear(view.toPixel(under.x(), under.y()), pointer);
    view.panBy({30, -12});
    expectNear(view.toPixel(under.x(), under.y()), pointer + QPointF(30, -12));
}

TEST(PlanThinning, KeepsAnEvenSpreadWithinTheLimit)
{
    struct Case {
        std::size_t points, limit;
        std::vector<double> kept;  // the x of the points kept (point i has x = i)
    };
    const Case cases[] = {
        {10, 20, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {10, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {10, 5, {0, 2, 4, 6, 8}},
        {10, 3, {0, 4, 8}},
        {10, 1, {0}},
        {10, 0, {}},
        {0, 5, {}},
    };
    for (const Case& c : cases) {
        std::vector<PlanPoint> points;
        for (std::size_t i = 0; i < c.points; ++i)
            points.push_back({static_cast<double>(i), 0});
        std::vector<double> kept;
        for (const PlanPoint& p : thinEvenly(points, c.limit))
            kept.push_back(p.x);
        EXPECT_EQ(kept, c.kept) << c.points << " points, limit " << c.limit;
    }
    // A million points come down to the plot's limit, from the first to near the last.
    std::vector<PlanPoint> million(1000000);
    for (std::size_t i = 0; i < million.size(); ++i)
        million[i].x = static_cast<double>(i);
    const std::vector<PlanPoint> kept = thinEvenly(million, PointsPlot::kMaxDots);
    EXPECT_LE(kept.size(), PointsPlot::kMaxDots);
    EXPECT_GT(kept.size(), PointsPlot::kMaxDots / 2);
    EXPECT_GT(kept.back().x, 990000);
}

TEST(RoundLengths, AreOneTwoOrFiveTimesAPowerOfTen)
{
    const std::pair<double, double> cases[] = {
        {0.7, 0.5}, {1, 1}, {1.999, 1}, {2, 2}, {19.9, 10}, {20, 20}, {49, 20}, {50, 50},
        {0.0031, 0.002}, {1000, 1000}, {0.001, 0.001}, {7.3e5, 5e5},
    };
    for (const auto& [atMost, expected] : cases)
        EXPECT_DOUBLE_EQ(roundDown125(atMost), expected) << atMost;
}

class PlotWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        plot.resize(400, 300);
        std::vector<PlanPoint> plan;
        for (int i = 0; i < 50; ++i)
            plan.push_back({2400.0 + i * 2, 3760.0 + (i % 7) * 15});
        plot.setPlan(plan);
        PlotPoint a{QStringLiteral("Σ1"), 2410, 3770, true, false, 0.003, -0.004, 0.005};
        PlotPoint b{QStringLiteral("Σ5"), 2480, 3850, true, true, 0.3, 0.4, 0.5};
        PlotPoint c{QStringLiteral("Σ6"), 2450, 3800, false, false, {}, {}, {}};
        plot.setCommonPoints({a, b, c}, 0.2);
    }
    QPointF pixelOf(double x, double y) const { return plot.view().toPixel(x, y); }

    PointsPlot plot;
};

TEST_F(PlotWidget, TheTooltipNamesTheNearestCommonPointAndItsMiss)
{
    EXPECT_EQ(plot.toolTipAt(pixelOf(2480, 3850) + QPointF(3, -2)), QStringLiteral("Σ5\nv = 0.500 m"));
    EXPECT_EQ(plot.toolTipAt(pixelOf(2410, 3770)), QStringLiteral("Σ1\nv = 0.005 m"));
    EXPECT_EQ(plot.toolTipAt(pixelOf(2450, 3800)), QStringLiteral("Σ6"));
    EXPECT_EQ(plot.toolTipAt(pixelOf(2410, 3770) + QPointF(30, 30)), QString());
}

TEST_F(PlotWidget, WheelZoomsAboutThePointerDragPansDoubleClickShowsAll)
{
    const QImage whole = plot.grab().toImage();
    const QPointF pointer = pixelOf(2480, 3850);
    const double before = plot.view().pixelsPerMetre();
    QWheelEvent wheel(pointer, plot.mapToGlobal(pointer), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&plot, &wheel);
    EXPECT_GT(plot.view().pixelsPerMetre(), before);
    expectNear(pixelOf(2480, 3850), pointer, 1e-6);

    QTest::mousePress(&plot, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&plot, QPoint(140, 90));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, QPoint(140, 90));
    expectNear(pixelOf(2480, 3850), pointer + QPointF(40, -10), 1e-6);

    QTest::mouseDClick(&plot, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_DOUBLE_EQ(plot.view().pixelsPerMetre(), before);
    EXPECT_EQ(plot.grab().toImage(), whole);
}

TEST_F(PlotWidget, ResidualsAreExaggeratedByARoundFactorToAFewPixelsAcross)
{
    plot.grab();  // paints
    const double factor = plot.residualFactor();
    ASSERT_GT(factor, 0);
    EXPECT_DOUBLE_EQ(roundDown125(factor), factor);
    // The largest residual (0.5 m) drawn at most an eighth of the shorter side, and not tiny.
    const double pixels = 0.5 * factor * plot.view().pixelsPerMetre();
    EXPECT_LE(pixels, 0.12 * 300 + 1e-9);
    EXPECT_GE(pixels, 0.12 * 300 / 5 - 1e-9);
    saveScreenshot(&plot, QStringLiteral("PointsPlot"));
}

}  // namespace
}  // namespace tavrelo
