#pragma once
// The plan of the fit: every point of the coordinate file as a small dot, the common points as
// labelled triangles coloured by how they take part, and their residuals as exaggerated
// vectors. X to the right, Y up, one scale for both. Wheel zooms about the pointer, a drag
// pans, a double click shows everything again; the tooltip of a common point gives its Pn and v,
// and a click on it picks it.

#include "data/common_points.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <optional>
#include <vector>

namespace tavrelo {

// Plane coordinates of the coordinate file and pixels of a drawing area: pixel x grows with X,
// pixel y falls as Y grows, the same number of pixels to the metre both ways.
class PlotView {
public:
    // Shows `bounds` whole, centred in an area of `size` pixels with `margin` pixels free all
    // round. A bounds of no width or height is shown as if it were `minimumExtent` metres across.
    void showAll(const QRectF& bounds, const QSizeF& size, double margin, double minimumExtent = 1.0);
    QPointF toPixel(double x, double y) const { return {(x - left_) * scale_, (top_ - y) * scale_}; }
    QPointF toPlane(const QPointF& pixel) const { return {left_ + pixel.x() / scale_, top_ - pixel.y() / scale_}; }
    // Zooms by `factor` (above 1 closer) keeping the plane point under `pixel` where it is.
    void zoomAt(const QPointF& pixel, double factor);
    // Moves the drawing by `pixels`, as a drag does.
    void panBy(const QPointF& pixels);
    double pixelsPerMetre() const { return scale_; }

private:
    double left_ = 0.0, top_ = 0.0;  // the plane point at pixel (0, 0)
    double scale_ = 1.0;             // pixels per metre
};

// At most `limit` of `points`, every n-th of them from the first, n the smallest whole number
// that keeps the count within the limit: an even spread over the file for a plan at a glance.
std::vector<PlanPoint> thinEvenly(const std::vector<PlanPoint>& points, std::size_t limit);

// A round length for a bar or a factor: the largest 1, 2 or 5 times a power of ten that is at
// most `atMost` (which must be positive).
double roundDown125(double atMost);

// A common point as the plan shows it.
struct PlotPoint {
    QString label;
    double x = 0.0, y = 0.0;               // in the coordinate file
    bool used = true;                      // takes part in the fit
    bool overTolerance = false;            // its v exceeds the tolerance
    std::optional<double> vX, vY, v;       // residual in the target system, when a fit stands
};

class PointsPlot : public QWidget {
    Q_OBJECT
public:
    explicit PointsPlot(QWidget* parent = nullptr);

    // No more dots than this are kept for the plan, whatever the size of the file.
    static constexpr std::size_t kMaxDots = 100000;

    void setPlan(const std::vector<PlanPoint>& plan);
    // `residualTurn` (radians) turns the target-system residuals into the directions of the
    // coordinate file's plan: the fit's rotation t.
    void setCommonPoints(std::vector<PlotPoint> points, double residualTurn);
    // Shows every dot and common point.
    void showAll();

    const PlotView& view() const { return view_; }
    const std::vector<PlanPoint>& dots() const { return dots_; }
    // The exaggeration of the residual vectors drawn on the screen (0 when none is): a round
    // factor that draws the largest residual of the used points about an eighth of the area.
    // Longer vectors (of points left out) are cut short at a quarter of the area, dashed.
    double residualFactor() const { return residualFactor_; }
    // The tooltip for the pointer at `pixel`: Pn and v of the nearest common point within a
    // few pixels, or empty.
    QString toolTipAt(const QPointF& pixel) const;
    // The common point (its position in the list given) within a few pixels of `pixel`,
    // the nearest; -1 when none is.
    int pointAt(const QPointF& pixel) const;
    // Rings one common point (-1: none), as picked in the table.
    void setMarked(int index);
    int marked() const { return marked_; }

    // Draws the plan into `area` of any paint device (the screen, a PDF page). `pixelSize` is
    // the size of one screen pixel in the device's units, for dots, lines and letters.
    // Returns the exaggeration of the residual vectors drawn (0 when none is drawn).
    double paintPlan(QPainter& painter, const QRect& area, const PlotView& view, double pixelSize) const;
    // The view that shows everything in an area of `size`.
    PlotView wholeView(const QSizeF& size, double margin) const;

signals:
    // A click on a common point, not a drag.
    void pointPicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRectF bounds() const;
    void drawDots(QPainter& painter, const QRect& area, const PlotView& view, double pixelSize) const;

    std::vector<PlanPoint> dots_;
    std::vector<PlotPoint> common_;
    double residualTurn_ = 0.0;
    double residualFactor_ = 0.0;  // of the last paint on the screen
    PlotView view_;
    bool wholeShown_ = true;  // no zoom or pan since everything was shown
    std::optional<QPointF> dragFrom_;
    QPointF pressedAt_;
    int marked_ = -1;
};

}  // namespace tavrelo
