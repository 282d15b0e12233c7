#include "screens/points_plot.h"

#include "screens/screen_mechanics.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <string>
#include <limits>

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

namespace {

// Pixels on the screen that the plan's marks take, in screen pixels.
constexpr double kMargin = 28;
constexpr double kTriangle = 7;     // half the side of a common point's triangle
constexpr double kHitRadius = 9;    // how near the pointer must come for a tooltip
constexpr double kResidualShare = 0.12;  // the largest residual drawn this part of the area
constexpr std::size_t kNamedPoints = 150;  // more common points in sight are not all named

const QColor kDotColour(90, 100, 120);
const QColor kUsedColour(25, 95, 200);
const QColor kUnusedColour(150, 150, 150);
const QColor kOverColour(215, 25, 25);

// Blue for a used point, red for one over the tolerance; a point left out is hollow.
QColor colourOf(const PlotPoint& p)
{
    if (p.overTolerance)
        return kOverColour;
    return p.used ? kUsedColour : kUnusedColour;
}

QPolygonF triangleAt(const QPointF& centre, double half)
{
    const double h = half * 1.7320508 / 2;
    return QPolygonF({centre + QPointF(0, -h * 1.2), centre + QPointF(half, h * 0.8), centre + QPointF(-half, h * 0.8)});
}

void drawTriangle(QPainter& painter, const QPointF& centre, double half, const PlotPoint& p, double pixelSize)
{
    const QColor colour = colourOf(p);
    painter.setPen(QPen(colour.darker(p.used ? 140 : 110), pixelSize * (p.used ? 1.0 : 1.6)));
    painter.setBrush(p.used ? QBrush(colour) : QBrush(Qt::white));
    painter.drawPolygon(triangleAt(centre, half));
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

// A box of text on a pale ground, so it reads over dots.
void drawNote(QPainter& painter, const QRectF& box)
{
    painter.setPen(QPen(QColor(200, 200, 200)));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRect(box);
}

QString metres(double value)
{
    return displayNumber(value) + QStringLiteral(" m");
}

}  // namespace

PointsPlot::PointsPlot(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(240, 200);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PointsPlot::setPlan(const std::vector<PlanPoint>& plan)
{
    dots_ = thinEvenly(plan, kMaxDots);
    showAll();
}

void PointsPlot::setCommonPoints(std::vector<PlotPoint> points, double residualTurn)
{
    const bool first = common_.empty();
    if (points.size() != common_.size())
        marked_ = -1;
    common_ = std::move(points);
    residualTurn_ = residualTurn;
    if (first && wholeShown_)
        showAll();
    update();
}

QRectF PointsPlot::bounds() const
{
    double minX = std::numeric_limits<double>::infinity(), minY = minX;
    double maxX = -minX, maxY = -minX;
    auto take = [&](double x, double y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    for (const PlanPoint& p : dots_)
        take(p.x, p.y);
    for (const PlotPoint& p : common_)
        take(p.x, p.y);
    if (minX > maxX)
        return QRectF(0, 0, 0, 0);
    return QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
}

PlotView PointsPlot::wholeView(const QSizeF& size, double margin) const
{
    PlotView view;
    view.showAll(bounds(), size, margin);
    return view;
}

void PointsPlot::showAll()
{
    view_ = wholeView(size(), kMargin);
    wholeShown_ = true;
    update();
}

int PointsPlot::pointAt(const QPointF& pixel) const
{
    int nearest = -1;
    double best = kHitRadius * kHitRadius;
    for (std::size_t i = 0; i < common_.size(); ++i) {
        const QPointF d = view_.toPixel(common_[i].x, common_[i].y) - pixel;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance <= best) {
            best = distance;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

QString PointsPlot::toolTipAt(const QPointF& pixel) const
{
    const int index = pointAt(pixel);
    if (index < 0)
        return {};
    const PlotPoint& p = common_[static_cast<std::size_t>(index)];
    if (!p.v)
        return p.label;
    return p.label + QStringLiteral("\nv = ") + fixedDecimals(*p.v, 3) + QStringLiteral(" m");
}

void PointsPlot::setMarked(int index)
{
    if (index != marked_) {
        marked_ = index;
        update();
    }
}

void PointsPlot::drawDots(QPainter& painter, const QRect& area, const PlotView& view, double pixelSize) const
{
    // Straight into an image's pixels: a hundred thousand dots cost a few milliseconds.
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int dot = std::max(1, static_cast<int>(std::lround((dots_.size() < 5000 ? 3 : 2) * pixelSize)));
    const int half = dot / 2;
    // A dense plan in a lighter grey, so the common points and their names stand out on it.
    const QRgb colour = (dots_.size() < 5000 ? kDotColour : QColor(168, 177, 192)).rgba();
    const int width = image.width(), height = image.height();
    const qsizetype stride = image.bytesPerLine() / 4;
    auto* pixels = reinterpret_cast<QRgb*>(image.bits());
    for (const PlanPoint& p : dots_) {
        const QPointF at = view.toPixel(p.x, p.y);
        const int x0 = static_cast<int>(std::floor(at.x())) - half;
        const int y0 = static_cast<int>(std::floor(at.y())) - half;
        if (x0 + dot <= 0 || y0 + dot <= 0 || x0 >= width || y0 >= height)
            continue;
        for (int y = std::max(y0, 0); y < std::min(y0 + dot, height); ++y) {
            QRgb* row = pixels + y * stride;
            for (int x = std::max(x0, 0); x < std::min(x0 + dot, width); ++x)
                row[x] = colour;
        }
    }
    painter.drawImage(area.topLeft(), image);
}

double PointsPlot::paintPlan(QPainter& painter, const QRect& area, const PlotView& view, double pixelSize) const
{
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, Qt::white);
    drawDots(painter, area, view, pixelSize);
    painter.translate(area.topLeft());
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = area.width(), h = area.height();
    if (dots_.empty() && common_.empty()) {
        painter.setPen(QColor(120, 120, 120));
        painter.drawText(QRectF(0, 0, w, h), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("Η κάτοψη δείχνει τα σημεία μόλις διαβαστεί το αρχείο κοινών σημείων."));
    }

    // Residual vectors: the largest of the used points drawn about an eighth of the area, by
    // a round factor; the vectors of points left out may be far longer and are cut short.
    double largest = 0.0, largestOfAll = 0.0;
    for (const PlotPoint& p : common_) {
        if (!p.v)
            continue;
        largestOfAll = std::max(largestOfAll, *p.v);
        if (p.used)
            largest = std::max(largest, *p.v);
    }
    if (largest <= 0)
        largest = largestOfAll;
    // Only the common points near enough to the area to show in it are drawn; names only
    // where few enough points are in sight to read them, else only of the points that ask
    // for a look: those over the tolerance and those left out.
    const double longest = 2 * kResidualShare * std::min(w, h);
    const QRectF reach = QRectF(0, 0, w, h).adjusted(-longest - 60 * pixelSize, -longest - 60 * pixelSize,
                                                     longest + 60 * pixelSize, longest + 60 * pixelSize);
    std::vector<const PlotPoint*> near;
    std::size_t inSight = 0;
    for (const PlotPoint& p : common_) {
        const QPointF at = view.toPixel(p.x, p.y);
        if (reach.contains(at)) {
            near.push_back(&p);
            inSight += at.x() >= 0 && at.y() >= 0 && at.x() <= w && at.y() <= h;
        }
    }
    const bool nameAll = inSight <= kNamedPoints;

    double factor = 0.0;
    const double c = std::cos(residualTurn_), s = std::sin(residualTurn_);
    if (largest > 0) {
        factor = roundDown125(kResidualShare * std::min(w, h) / view.pixelsPerMetre() / largest);
        for (const PlotPoint* q : near) {
            const PlotPoint& p = *q;
            if (!p.vX || !p.vY)
                continue;
            // The residual in the directions of the coordinate file's plan.
            const double dx = c * *p.vX - s * *p.vY;
            const double dy = s * *p.vX + c * *p.vY;
            const QPointF from = view.toPixel(p.x, p.y);
            QPointF to = view.toPixel(p.x + dx * factor, p.y + dy * factor);
            QPen pen(colourOf(p).darker(120), 1.5 * pixelSize);
            const QPointF d = to - from;
            const double length = std::hypot(d.x(), d.y());
            if (length > longest) {
                to = from + d * (longest / length);
                pen.setStyle(Qt::DashLine);
            }
            painter.setPen(pen);
            drawArrow(painter, from, to, pixelSize);
        }
    }

    // Common points, labelled.
    QFont font = this->font();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(12 * pixelSize))));
    painter.setFont(font);
    for (const PlotPoint* q : near) {
        const PlotPoint& p = *q;
        const QPointF at = view.toPixel(p.x, p.y);
        drawTriangle(painter, at, (nameAll ? kTriangle : kTriangle * 0.6) * pixelSize, p, pixelSize);
        if (!nameAll && p.used && !p.overTolerance)
            continue;
        // The name on a white halo, to read over the dots.
        const QPointF place = at + QPointF(kTriangle + 3, -kTriangle + 2) * pixelSize;
        painter.setPen(QColor(255, 255, 255, 230));
        for (const QPointF& shift : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
            painter.drawText(place + shift * pixelSize, p.label);
        painter.setPen(p.overTolerance ? kOverColour.darker(130) : p.used ? QColor(20, 20, 20) : QColor(110, 110, 110));
        painter.drawText(place, p.label);
    }

    const QFontMetricsF metrics(font);
    const double line = metrics.height();
    const double pad = 6 * pixelSize;

    // The key of the triangles, top left.
    if (!common_.empty()) {
        const QString names[] = {QStringLiteral("σε χρήση"), QStringLiteral("εκτός χρήσης"),
                                 QStringLiteral("πάνω από την ανοχή")};
        PlotPoint samples[3];
        samples[1].used = false;
        samples[2].overTolerance = true;
        double textWidth = 0;
        for (const QString& name : names)
            textWidth = std::max(textWidth, metrics.horizontalAdvance(name));
        const QRectF box(pad, pad, textWidth + 3 * pad + 2 * kTriangle * pixelSize, 3 * line + 2 * pad);
        drawNote(painter, box);
        for (int i = 0; i < 3; ++i) {
            const QPointF at(box.left() + pad + kTriangle * pixelSize, box.top() + pad + (i + 0.5) * line);
            drawTriangle(painter, at, kTriangle * pixelSize * 0.8, samples[i], pixelSize);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(at.x() + kTriangle * pixelSize + pad, at.y() + metrics.ascent() / 2 - 1), names[i]);
        }
    }

    // North: Y up, top right.
    {
        painter.setPen(QPen(Qt::black, 1.2 * pixelSize));
        const QPointF foot(w - 3 * pad, 5 * line);
        const QPointF tip(w - 3 * pad, pad + line * 1.2);
        drawArrow(painter, foot, tip, pixelSize * 1.4);
        painter.drawText(QPointF(tip.x() - metrics.horizontalAdvance(QStringLiteral("Y")) / 2, tip.y() - 3 * pixelSize),
                         QStringLiteral("Y"));
    }

    // Scale bar of the plan, bottom left.
    const double barRoom = 110 * pixelSize;
    const double barMetres = roundDown125(barRoom / view.pixelsPerMetre());
    const double barPixels = barMetres * view.pixelsPerMetre();
    auto drawBar = [&](const QRectF& box, double pixels, const QString& above, const QString& below) {
        drawNote(painter, box);
        painter.setPen(QPen(Qt::black, 1.5 * pixelSize));
        const double y = box.top() + pad + line + 3 * pixelSize;
        const double x = box.left() + pad;
        painter.drawLine(QPointF(x, y), QPointF(x + pixels, y));
        painter.drawLine(QPointF(x, y - 4 * pixelSize), QPointF(x, y + 4 * pixelSize));
        painter.drawLine(QPointF(x + pixels, y - 4 * pixelSize), QPointF(x + pixels, y + 4 * pixelSize));
        painter.drawText(QPointF(x, box.top() + pad + metrics.ascent() - 2 * pixelSize), above);
        if (!below.isEmpty())
            painter.drawText(QPointF(x, y + 5 * pixelSize + metrics.ascent()), below);
    };
    {
        const QString text = metres(barMetres);
        const double boxWidth = std::max(barPixels, metrics.horizontalAdvance(text)) + 2 * pad;
        drawBar(QRectF(pad, h - pad - (line + 2 * pad + 8 * pixelSize), boxWidth, line + 2 * pad + 8 * pixelSize),
                barPixels, text, QString());
    }

    // The residuals' exaggeration and a bar of their length, bottom right.
    if (factor > 0) {
        const double residualMetres = roundDown125(barRoom / view.pixelsPerMetre() / factor);
        const double pixels = residualMetres * factor * view.pixelsPerMetre();
        const QString above = QStringLiteral("υπόλοιπα × ") +
                              displayNumber(factor);
        const QString below = metres(residualMetres);
        const double boxWidth = std::max({pixels, metrics.horizontalAdvance(above), metrics.horizontalAdvance(below)}) + 2 * pad;
        const double boxHeight = 2 * line + 2 * pad + 10 * pixelSize;
        drawBar(QRectF(w - pad - boxWidth, h - pad - boxHeight, boxWidth, boxHeight), pixels, above, below);
    }

    painter.setPen(QPen(QColor(160, 160, 160), pixelSize));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0, 0, w - pixelSize, h - pixelSize));
    painter.restore();
    return factor;
}

void PointsPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    residualFactor_ = paintPlan(painter, rect(), view_, 1.0);
    // The point picked in the table or on the plan, ringed (on the screen only).
    if (marked_ >= 0 && marked_ < static_cast<int>(common_.size())) {
        const PlotPoint& p = common_[static_cast<std::size_t>(marked_)];
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(255, 150, 0), 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(view_.toPixel(p.x, p.y), 2 * kTriangle, 2 * kTriangle);
    }
}

void PointsPlot::resizeEvent(QResizeEvent*)
{
    if (wholeShown_)
        showAll();
}

void PointsPlot::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    view_.zoomAt(event->position(), std::pow(1.25, steps));
    wholeShown_ = false;
    update();
    event->accept();
}

void PointsPlot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
        pressedAt_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
}

void PointsPlot::mouseMoveEvent(QMouseEvent* event)
{
    if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
        view_.panBy(event->position() - *dragFrom_);
        dragFrom_ = event->position();
        wholeShown_ = false;
        update();
    }
}

void PointsPlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_.reset();
        setCursor(Qt::OpenHandCursor);
        // A click that did not drag, on a common point, picks it.
        const QPointF moved = event->position() - pressedAt_;
        if (std::abs(moved.x()) + std::abs(moved.y()) <= 3) {
            const int index = pointAt(event->position());
            if (index >= 0) {
                setMarked(index);
                emit pointPicked(index);
            }
        }
    }
}

void PointsPlot::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        showAll();
}

bool PointsPlot::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace tavrelo
