#pragma once
// A plan of the survey: plane coordinates drawn with X to the right and Y up at one scale for
// both, a scale bar in metres and the north arrow. Wheel zooms about the pointer, a drag pans,
// a double click shows everything again. The plan of the least-squares screen and the plan of
// a carried drawing are both one of these; each draws its own marks.

#include "data/common_points.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <optional>
#include <vector>

class QFontMetricsF;
class QPainter;

namespace tavrelo {

// Plane coordinates and pixels of a drawing area: pixel x grows with X, pixel y falls as Y
// grows, the same number of pixels to the metre both ways.
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
    // The plane point at pixel (0, 0).
    double left() const { return left_; }
    double top() const { return top_; }

private:
    double left_ = 0.0, top_ = 0.0;
    double scale_ = 1.0;  // pixels per metre
};

// At most `limit` of `points`, every n-th of them from the first, n the smallest whole number
// that keeps the count within the limit: an even spread over the file for a plan at a glance.
std::vector<PlanPoint> thinEvenly(const std::vector<PlanPoint>& points, std::size_t limit);

// A round length for a bar or a factor: the largest 1, 2 or 5 times a power of ten that is at
// most `atMost` (which must be positive).
double roundDown125(double atMost);

// A line from `from` to `to` with an arrow head at `to`, when it is long enough to carry one.
void drawArrow(QPainter& painter, const QPointF& from, const QPointF& to, double pixelSize);

// The smallest box holding every point, or an empty box at (0, 0) when there is none.
class PlanBounds {
public:
    void take(double x, double y);
    void take(const QRectF& box);
    QRectF box() const;

private:
    double minX_ = 1.0, minY_ = 1.0, maxX_ = -1.0, maxY_ = -1.0;  // empty while min > max
};

class PlanView : public QWidget {
    Q_OBJECT
public:
    explicit PlanView(QWidget* parent = nullptr);

    // No more points of a coordinate file than this are kept for a plan, whatever its size.
    static constexpr std::size_t kMaxDots = 100000;
    // Pixels kept free all round when everything is shown.
    static constexpr double kMargin = 28;

    // Shows everything the plan holds.
    void showAll();
    const PlotView& view() const { return view_; }
    // The view that shows everything in an area of `size`.
    PlotView wholeView(const QSizeF& size, double margin) const;

    // The marks every plan carries, drawn over an area `w` × `h` (device units from (0, 0)):
    // north arrow top right, scale bar bottom left, and the frame. `pixelSize` is one screen
    // pixel in the device's units.
    static void paintFurniture(QPainter& painter, double w, double h, const PlotView& view, double pixelSize);
    // A bar `pixels` long in a note at `box`, with a text above it and one below (may be empty).
    static void paintBar(QPainter& painter, const QRectF& box, double pixels, const QString& above,
                         const QString& below, double pixelSize);
    // A box of text on a pale ground, so it reads over the drawing.
    static void paintNote(QPainter& painter, const QRectF& box);
    // The padding of the notes, in screen pixels.
    static constexpr double kPad = 6;

protected:
    // What the plan holds, in plane coordinates.
    virtual QRectF bounds() const = 0;
    // A click that did not drag, at `pixel`.
    virtual void clickedAt(const QPointF& pixel);
    // The view moved or zoomed (by the user or by showing everything).
    virtual void viewChanged() {}

    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    bool wholeShown() const { return wholeShown_; }

private:
    PlotView view_;
    bool wholeShown_ = true;  // no zoom or pan since everything was shown
    std::optional<QPointF> dragFrom_;
    QPointF pressedAt_;
};

}  // namespace tavrelo
