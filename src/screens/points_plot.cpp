#include "screens/points_plot.h"

#include "screens/screen_mechanics.h"
#include "text/measure_form.h"

#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace tavrelo {

namespace {

// Pixels on the screen that the plan's marks take, in screen pixels.
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

QString metres(double value)
{
    return displayNumber(value) + QStringLiteral(" m");
}

}  // namespace

PointsPlot::PointsPlot(QWidget* parent) : PlanView(parent) {}

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
    if (first && wholeShown())
        showAll();
    update();
}

QRectF PointsPlot::bounds() const
{
    PlanBounds bounds;
    for (const PlanPoint& p : dots_)
        bounds.take(p.x, p.y);
    for (const PlotPoint& p : common_)
        bounds.take(p.x, p.y);
    return bounds.box();
}

int PointsPlot::pointAt(const QPointF& pixel) const
{
    int nearest = -1;
    double best = kHitRadius * kHitRadius;
    for (std::size_t i = 0; i < common_.size(); ++i) {
        const QPointF d = view().toPixel(common_[i].x, common_[i].y) - pixel;
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
    return p.label + QStringLiteral("\nv = ") + shownFigure(residualForm, *p.v) + QStringLiteral(" m");
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
    const double pad = kPad * pixelSize;

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
        paintNote(painter, box);
        for (int i = 0; i < 3; ++i) {
            const QPointF at(box.left() + pad + kTriangle * pixelSize, box.top() + pad + (i + 0.5) * line);
            drawTriangle(painter, at, kTriangle * pixelSize * 0.8, samples[i], pixelSize);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(at.x() + kTriangle * pixelSize + pad, at.y() + metrics.ascent() / 2 - 1), names[i]);
        }
    }

    paintFurniture(painter, w, h, view, pixelSize);
    const double barRoom = 110 * pixelSize;

    // The residuals' exaggeration and a bar of their length, bottom right.
    if (factor > 0) {
        const double residualMetres = roundDown125(barRoom / view.pixelsPerMetre() / factor);
        const double pixels = residualMetres * factor * view.pixelsPerMetre();
        const QString above = QStringLiteral("υπόλοιπα × ") +
                              displayNumber(factor);
        const QString below = metres(residualMetres);
        const double boxWidth = std::max({pixels, metrics.horizontalAdvance(above), metrics.horizontalAdvance(below)}) + 2 * pad;
        const double boxHeight = 2 * line + 2 * pad + 10 * pixelSize;
        paintBar(painter, QRectF(w - pad - boxWidth, h - pad - boxHeight, boxWidth, boxHeight), pixels, above, below,
                 pixelSize);
    }
    painter.restore();
    return factor;
}

void PointsPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    residualFactor_ = paintPlan(painter, rect(), view(), 1.0);
    // The point picked in the table or on the plan, ringed (on the screen only).
    if (marked_ >= 0 && marked_ < static_cast<int>(common_.size())) {
        const PlotPoint& p = common_[static_cast<std::size_t>(marked_)];
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(255, 150, 0), 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(view().toPixel(p.x, p.y), 2 * kTriangle, 2 * kTriangle);
    }
}

void PointsPlot::clickedAt(const QPointF& pixel)
{
    // A click that did not drag, on a common point, picks it.
    const int index = pointAt(pixel);
    if (index >= 0) {
        setMarked(index);
        emit pointPicked(index);
    }
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
    return PlanView::event(event);
}

}  // namespace tavrelo
