#include "screens/plan_view.h"

#include "screens/screen_mechanics.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <string>

namespace tavrelo {

void PlotView::showAll(const QRectF& bounds, const QSizeF& size, double margin, double minimumExtent)
{
    const double width = std::max(bounds.width(), minimumExtent);
    const double height = std::max(bounds.height(), minimumExtent);
    const double roomX = std::max(size.width() - 2 * margin, 1.0);
    const double roomY = std::max(size.height() - 2 * margin, 1.0);
    scale_ = std::min(roomX / width, roomY / height);
    const QPointF centre = bounds.center();
    left_ = centre.x() - size.width() / 2 / scale_;
    top_ = centre.y() + size.height() / 2 / scale_;
}

void PlotView::zoomAt(const QPointF& pixel, double factor)
{
    const QPointF fixed = toPlane(pixel);
    scale_ *= factor;
    left_ = fixed.x() - pixel.x() / scale_;
    top_ = fixed.y() + pixel.y() / scale_;
}

void PlotView::panBy(const QPointF& pixels)
{
    left_ -= pixels.x() / scale_;
    top_ += pixels.y() / scale_;
}

std::vector<PlanPoint> thinEvenly(const std::vector<PlanPoint>& points, std::size_t limit)
{
    if (points.size() <= limit)
        return points;
    std::vector<PlanPoint> kept;
    if (limit == 0)
        return kept;
    const std::size_t step = (points.size() + limit - 1) / limit;
    kept.reserve(points.size() / step + 1);
    for (std::size_t i = 0; i < points.size(); i += step)
        kept.push_back(points[i]);
    return kept;
}

double roundDown125(double atMost)
{
    // The power of ten read from its decimal form: the system's pow() may miss it by a last
    // digit (Windows' does for 10^-3), which would halve the length shown.
    double power = std::stod("1e" + std::to_string(static_cast<int>(std::floor(std::log10(atMost)))));
    // log10 may land just beside a whole power of ten.
    if (power > atMost)
        power /= 10;
    else if (power * 10 <= atMost)
        power *= 10;
    for (double mantissa : {5.0, 2.0})
        if (mantissa * power <= atMost)
            return mantissa * power;
    return power;
}

void PlanBounds::take(double x, double y)
{
    if (minX_ > maxX_) {
        minX_ = maxX_ = x;
        minY_ = maxY_ = y;
        return;
    }
    minX_ = std::min(minX_, x);
    maxX_ = std::max(maxX_, x);
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);
}

void PlanBounds::take(const QRectF& box)
{
    take(box.left(), box.top());
    take(box.right(), box.bottom());
}

QRectF PlanBounds::box() const
{
    if (minX_ > maxX_)
        return QRectF(0, 0, 0, 0);
    return QRectF(QPointF(minX_, minY_), QPointF(maxX_, maxY_));
}

void drawArrow(QPainter& painter, const QPointF& from, const QPointF& to, double pixelSize)
{
    painter.drawLine(from, to);
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length < 6 * pixelSize)
        return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const double head = 5 * pixelSize;
    painter.drawLine(to, to - u * head + n * head * 0.5);
    painter.drawLine(to, to - u * head - n * head * 0.5);
}

PlanView::PlanView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(240, 200);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PlotView PlanView::wholeView(const QSizeF& size, double margin) const
{
    PlotView view;
    view.showAll(bounds(), size, margin);
    return view;
}

void PlanView::showAll()
{
    view_ = wholeView(size(), kMargin);
    wholeShown_ = true;
    viewChanged();
    update();
}

void PlanView::paintNote(QPainter& painter, const QRectF& box)
{
    painter.setPen(QPen(QColor(200, 200, 200)));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRect(box);
}

void PlanView::paintBar(QPainter& painter, const QRectF& box, double pixels, const QString& above,
                        const QString& below, double pixelSize)
{
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height();
    const double pad = kPad * pixelSize;
    paintNote(painter, box);
    painter.setPen(QPen(Qt::black, 1.5 * pixelSize));
    const double y = box.top() + pad + line + 3 * pixelSize;
    const double x = box.left() + pad;
    painter.drawLine(QPointF(x, y), QPointF(x + pixels, y));
    painter.drawLine(QPointF(x, y - 4 * pixelSize), QPointF(x, y + 4 * pixelSize));
    painter.drawLine(QPointF(x + pixels, y - 4 * pixelSize), QPointF(x + pixels, y + 4 * pixelSize));
    painter.drawText(QPointF(x, box.top() + pad + metrics.ascent() - 2 * pixelSize), above);
    if (!below.isEmpty())
        painter.drawText(QPointF(x, y + 5 * pixelSize + metrics.ascent()), below);
}

void PlanView::paintFurniture(QPainter& painter, double w, double h, const PlotView& view, double pixelSize)
{
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height();
    const double pad = kPad * pixelSize;

    // North: Y up, top right.
    {
        painter.setPen(QPen(Qt::black, 1.2 * pixelSize));
        const QPointF foot(w - 3 * pad, 5 * line);
        const QPointF tip(w - 3 * pad, pad + line * 1.2);
        drawArrow(painter, foot, tip, pixelSize * 1.4);
        painter.drawText(QPointF(tip.x() - metrics.horizontalAdvance(QStringLiteral("Y")) / 2, tip.y() - 3 * pixelSize),
                         QStringLiteral("Y"));
    }

    // Scale bar, bottom left.
    {
        const double barMetres = roundDown125(110 * pixelSize / view.pixelsPerMetre());
        const double barPixels = barMetres * view.pixelsPerMetre();
        const QString text = displayNumber(barMetres) + QStringLiteral(" m");
        const double boxWidth = std::max(barPixels, metrics.horizontalAdvance(text)) + 2 * pad;
        const double boxHeight = line + 2 * pad + 8 * pixelSize;
        paintBar(painter, QRectF(pad, h - pad - boxHeight, boxWidth, boxHeight), barPixels, text, QString(), pixelSize);
    }

    painter.setPen(QPen(QColor(160, 160, 160), pixelSize));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0, 0, w - pixelSize, h - pixelSize));
}

void PlanView::clickedAt(const QPointF&) {}

void PlanView::resizeEvent(QResizeEvent*)
{
    if (wholeShown_)
        showAll();
}

void PlanView::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    view_.zoomAt(event->position(), std::pow(1.25, steps));
    wholeShown_ = false;
    viewChanged();
    update();
    event->accept();
}

void PlanView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
        pressedAt_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
}

void PlanView::mouseMoveEvent(QMouseEvent* event)
{
    if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
        view_.panBy(event->position() - *dragFrom_);
        dragFrom_ = event->position();
        wholeShown_ = false;
        viewChanged();
        update();
    }
}

void PlanView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_.reset();
        setCursor(Qt::OpenHandCursor);
        const QPointF moved = event->position() - pressedAt_;
        if (std::abs(moved.x()) + std::abs(moved.y()) <= 3)
            clickedAt(event->position());
    }
}

void PlanView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        showAll();
}

}  // namespace tavrelo
