#include "screens/drawing_plot.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <thread>

namespace tavrelo {

namespace {

const QRgb kDrawingColour = qRgb(45, 55, 75);
const QRgb kTextColour = qRgb(150, 95, 20);
const QRgb kInsertColour = qRgb(30, 125, 65);
const QRgb kPointEdge = qRgb(20, 90, 200);

// Pixels of an image, written directly; everything outside the image is left out.
class Raster {
public:
    explicit Raster(QImage& image)
        : width_(image.width()), height_(image.height()), stride_(image.bytesPerLine() / 4),
          pixels_(reinterpret_cast<QRgb*>(image.bits()))
    {
    }

    void plot(int x, int y, QRgb colour)
    {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(width_) && static_cast<unsigned>(y) < static_cast<unsigned>(height_))
            pixels_[y * stride_ + x] = colour;
    }

    // A line between two pixel positions, cut to the image.
    void line(double x0, double y0, double x1, double y1, QRgb colour)
    {
        const double right = width_ - 1, bottom = height_ - 1;
        if ((x0 < 0 && x1 < 0) || (y0 < 0 && y1 < 0) || (x0 > right && x1 > right) || (y0 > bottom && y1 > bottom))
            return;
        if (x0 < 0 || y0 < 0 || x1 < 0 || y1 < 0 || x0 > right || x1 > right || y0 > bottom || y1 > bottom) {
            // Liang–Barsky: the part of the line inside the image, if any.
            double t0 = 0, t1 = 1;
            const double dx = x1 - x0, dy = y1 - y0;
            const double p[4] = {-dx, dx, -dy, dy};
            const double q[4] = {x0, right - x0, y0, bottom - y0};
            for (int i = 0; i < 4; ++i) {
                if (p[i] == 0) {
                    if (q[i] < 0)
                        return;
                    continue;
                }
                const double t = q[i] / p[i];
                if (p[i] < 0)
                    t0 = std::max(t0, t);
                else
                    t1 = std::min(t1, t);
                if (t0 > t1)
                    return;
            }
            const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
            x1 = x0 + t1 * dx;
            y1 = y0 + t1 * dy;
            x0 = ax;
            y0 = ay;
        }
        // Both ends now lie inside the image: one pixel a step along the longer axis, the other
        // axis in fixed point (16 bits of fraction), without a branch a pixel. The slope is
        // divided out in floating point, many times quicker than a 64-bit division.
        const int ix0 = std::clamp(static_cast<int>(x0 + 0.5), 0, width_ - 1);
        const int iy0 = std::clamp(static_cast<int>(y0 + 0.5), 0, height_ - 1);
        const int ix1 = std::clamp(static_cast<int>(x1 + 0.5), 0, width_ - 1);
        const int iy1 = std::clamp(static_cast<int>(y1 + 0.5), 0, height_ - 1);
        const int dx = ix1 - ix0, dy = iy1 - iy0;
        const int steps = std::max(std::abs(dx), std::abs(dy));
        if (steps == 0) {
            pixels_[iy0 * stride_ + ix0] = colour;
            return;
        }
        if (std::abs(dx) >= std::abs(dy)) {
            const qsizetype stepX = dx > 0 ? 1 : -1;
            const auto slope = static_cast<std::int64_t>(dy * 65536.0 / steps);
            std::int64_t y = (static_cast<std::int64_t>(iy0) << 16) + 0x8000;
            QRgb* column = pixels_ + ix0;
            for (int i = 0; i <= steps; ++i, column += stepX, y += slope)
                column[(y >> 16) * stride_] = colour;
        } else {
            const qsizetype stepY = dy > 0 ? stride_ : -stride_;
            const auto slope = static_cast<std::int64_t>(dx * 65536.0 / steps);
            std::int64_t x = (static_cast<std::int64_t>(ix0) << 16) + 0x8000;
            QRgb* row = pixels_ + iy0 * stride_;
            for (int i = 0; i <= steps; ++i, row += stepY, x += slope)
                row[x >> 16] = colour;
        }
    }

    // A point of the coordinate file: the edge of a triangle, point up, `half` pixels to each side, its
    // pixels worked out once for all the points.
    void prepareTriangle(int half)
    {
        stamp_.clear();
        const int top = -half - half / 2, base = half / 2 + 1;
        for (int row = top; row <= base; ++row) {
            const int across = (row - top) * half / (base - top);
            for (int col = -across; col <= across; ++col) {
                // Hollow, so the drawing's own marks under a point still show.
                const bool edge = row == base || col <= -across + 1 || col >= across - 1;
                if (edge)
                    stamp_.push_back({col, row, row * stride_ + col, kPointEdge});
            }
        }
        reach_ = half + half / 2 + 1;
    }
    void triangle(double x, double y)
    {
        const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
        if (cx + reach_ < 0 || cy + reach_ < 0 || cx - reach_ >= width_ || cy - reach_ >= height_)
            return;
        if (cx >= reach_ && cy >= reach_ && cx + reach_ < width_ && cy + reach_ < height_) {
            QRgb* centre = pixels_ + cy * stride_ + cx;
            for (const Stamp& s : stamp_)
                centre[s.offset] = s.colour;
            return;
        }
        for (const Stamp& s : stamp_)
            plot(cx + s.x, cy + s.y, s.colour);
    }

    int width() const { return width_; }
    int height() const { return height_; }

private:
    struct Stamp {
        int x, y;
        qsizetype offset;
        QRgb colour;
    };
    int width_, height_;
    qsizetype stride_;
    QRgb* pixels_;
    std::vector<Stamp> stamp_;
    int reach_ = 0;
};

}  // namespace

DrawingPlot::DrawingPlot(QWidget* parent) : PlanView(parent) {}

void DrawingPlot::setDrawing(DrawingOutline outline, std::vector<PlanPoint> points)
{
    outline_ = std::move(outline);
    indexPaths();
    points_ = thinEvenly(points, kMaxDots);
    showAll();
}

void DrawingPlot::indexPaths()
{
    pathCells_.clear();
    const std::vector<std::uint32_t>& ends = outline_.pathEnds;
    if (ends.size() < kIndexedPaths || !outline_.hasExtents)
        return;
    // Each path goes to the cell of the grid that holds its first vertex; a cell's box grows
    // to hold all of its paths.
    constexpr int kGrid = 64;
    const double cellWidth = std::max(outline_.maxX - outline_.minX, 1e-9) / kGrid;
    const double cellHeight = std::max(outline_.maxY - outline_.minY, 1e-9) / kGrid;
    pathCells_.assign(kGrid * kGrid, PathCell{});
    std::vector<std::uint16_t> cellOf(ends.size());
    const std::vector<OutlinePoint>& v = outline_.vertices;
    std::uint32_t start = 0;
    for (std::size_t path = 0; path < ends.size(); ++path) {
        const int cx = std::clamp(static_cast<int>((v[start].x - outline_.minX) / cellWidth), 0, kGrid - 1);
        const int cy = std::clamp(static_cast<int>((v[start].y - outline_.minY) / cellHeight), 0, kGrid - 1);
        PathCell& cell = pathCells_[cy * kGrid + cx];
        if (cell.count == 0) {
            cell.minX = cell.maxX = v[start].x;
            cell.minY = cell.maxY = v[start].y;
        }
        for (std::uint32_t i = start; i < ends[path]; ++i) {
            cell.minX = std::min(cell.minX, v[i].x);
            cell.maxX = std::max(cell.maxX, v[i].x);
            cell.minY = std::min(cell.minY, v[i].y);
            cell.maxY = std::max(cell.maxY, v[i].y);
        }
        ++cell.count;
        cellOf[path] = static_cast<std::uint16_t>(cy * kGrid + cx);
        start = ends[path];
    }
    std::uint32_t first = 0;
    for (PathCell& cell : pathCells_) {
        cell.first = first;
        first += cell.count;
        cell.count = 0;
    }
    std::vector<std::uint32_t> order(ends.size());
    for (std::size_t path = 0; path < ends.size(); ++path) {
        PathCell& cell = pathCells_[cellOf[path]];
        order[cell.first + cell.count++] = static_cast<std::uint32_t>(path);
    }
    // The paths stored again cell by cell: a plan zoomed in then reads the vertices of the
    // cells in sight one after the other, not from all over memory.
    std::vector<OutlinePoint> vertices;
    vertices.reserve(v.size());
    std::vector<std::uint32_t> cellEnds;
    cellEnds.reserve(ends.size());
    for (const std::uint32_t path : order) {
        vertices.insert(vertices.end(), v.begin() + (path == 0 ? 0 : ends[path - 1]), v.begin() + ends[path]);
        cellEnds.push_back(static_cast<std::uint32_t>(vertices.size()));
    }
    outline_.vertices = std::move(vertices);
    outline_.pathEnds = std::move(cellEnds);
}

QRectF DrawingPlot::bounds() const
{
    PlanBounds bounds;
    if (outline_.hasExtents) {
        bounds.take(outline_.minX, outline_.minY);
        bounds.take(outline_.maxX, outline_.maxY);
    }
    for (const PlanPoint& p : points_)
        bounds.take(p.x, p.y);
    return bounds.box();
}

void DrawingPlot::paintLines(QImage& image, const PlotView& view, unsigned share, unsigned shares) const
{
    Raster raster(image);
    const double left = view.left(), top = view.top(), scale = view.pixelsPerMetre();
    auto px = [&](double x) { return (x - left) * scale; };
    auto py = [&](double y) { return (top - y) * scale; };

    // Lines and polylines.
    const std::vector<OutlinePoint>& v = outline_.vertices;
    const std::vector<std::uint32_t>& ends = outline_.pathEnds;
    auto drawPath = [&](std::size_t path) {
        const std::uint32_t start = path == 0 ? 0 : ends[path - 1];
        double x0 = px(v[start].x), y0 = py(v[start].y);
        for (std::uint32_t i = start + 1; i < ends[path]; ++i) {
            const double x1 = px(v[i].x), y1 = py(v[i].y);
            raster.line(x0, y0, x1, y1, kDrawingColour);
            x0 = x1;
            y0 = y1;
        }
    };
    // Zoomed in on a large drawing, only the cells of the grid in sight are gone through.
    const double seenLeft = left, seenRight = left + raster.width() / scale;
    const double seenTop = top, seenBottom = top - raster.height() / scale;
    std::size_t inSight = 0;
    for (const PathCell& c : pathCells_)
        if (c.maxX >= seenLeft && c.minX <= seenRight && c.maxY >= seenBottom && c.minY <= seenTop)
            inSight += c.count;
    if (pathCells_.empty() || inSight > ends.size() / 2) {
        for (std::size_t path = share; path < ends.size(); path += shares)
            drawPath(path);
    } else {
        for (const PathCell& c : pathCells_)
            if (c.maxX >= seenLeft && c.minX <= seenRight && c.maxY >= seenBottom && c.minY <= seenTop)
                for (std::uint32_t k = c.first + share; k < c.first + c.count; k += shares)
                    drawPath(k);
    }

    // Circles and arcs, in chords short enough to look round at their size on the screen.
    const double w = raster.width(), h = raster.height();
    for (std::size_t i = share; i < outline_.arcs.size(); i += shares) {
        const OutlineArc& a = outline_.arcs[i];
        const double cx = px(a.x), cy = py(a.y), r = a.radius * scale;
        if (cx + r < 0 || cy + r < 0 || cx - r > w || cy - r > h)
            continue;
        if (r < 0.75) {
            raster.plot(static_cast<int>(cx), static_cast<int>(cy), kDrawingColour);
            continue;
        }
        const int n = std::clamp(static_cast<int>(std::ceil(a.sweep * std::sqrt(r) * 0.9)), 3, 720);
        const double step = a.sweep / n, cs = std::cos(step), sn = std::sin(step);
        double c = std::cos(a.start), s = std::sin(a.start);
        double x0 = cx + r * c, y0 = cy - r * s;
        for (int k = 1; k <= n; ++k) {
            const double c1 = c * cs - s * sn;
            s = s * cs + c * sn;
            c = c1;
            const double x1 = cx + r * c, y1 = cy - r * s;
            raster.line(x0, y0, x1, y1, kDrawingColour);
            x0 = x1;
            y0 = y1;
        }
    }
}

void DrawingPlot::paintPlan(QImage& image, const PlotView& view) const
{
    image.fill(Qt::white);
    // A large drawing's lines are drawn in two halves at once, the second into an image of its
    // own whose drawn pixels then go over the first: the same pixels, in the same colour.
    if (outline_.vertices.size() + 8 * outline_.arcs.size() < kSharedPaint) {
        paintLines(image, view, 0, 1);
    } else {
        if (second_.size() != image.size())
            second_ = QImage(image.size(), QImage::Format_RGB32);
        std::thread other([&] {
            second_.fill(Qt::white);
            paintLines(second_, view, 1, 2);
        });
        paintLines(image, view, 0, 2);
        other.join();
        const QRgb white = qRgb(255, 255, 255);
        const int width = image.width(), height = image.height();
        for (int y = 0; y < height; ++y) {
            QRgb* const to = reinterpret_cast<QRgb*>(image.scanLine(y));
            const QRgb* const from = reinterpret_cast<const QRgb*>(second_.constScanLine(y));
            for (int x = 0; x < width; ++x)
                to[x] = from[x] != white ? from[x] : to[x];
        }
    }
    Raster raster(image);
    const double left = view.left(), top = view.top(), scale = view.pixelsPerMetre();
    auto px = [&](double x) { return (x - left) * scale; };
    auto py = [&](double y) { return (top - y) * scale; };
    const double w = raster.width(), h = raster.height();

    // Points, text anchors and insert points of the drawing; a single pixel each where there
    // are so many that their signs would cover the lines.
    const bool dense = outline_.marks.size() > 20000;
    for (const OutlineMark& m : outline_.marks) {
        const double x = px(m.x), y = py(m.y);
        if (x < -3 || y < -3 || x > w + 3 || y > h + 3)
            continue;
        const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        if (dense) {
            raster.plot(ix, iy, m.kind == MarkKind::Text ? kTextColour : m.kind == MarkKind::Insert ? kInsertColour : kDrawingColour);
            continue;
        }
        switch (m.kind) {
        case MarkKind::Point:
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    raster.plot(ix + dx, iy + dy, kDrawingColour);
            break;
        case MarkKind::Text:
            for (int d = -2; d <= 2; ++d) {
                raster.plot(ix + d, iy, kTextColour);
                raster.plot(ix, iy + d, kTextColour);
            }
            break;
        case MarkKind::Insert:
            for (int d = -2; d <= 2; ++d) {
                raster.plot(ix + d, iy - 2, kInsertColour);
                raster.plot(ix + d, iy + 2, kInsertColour);
                raster.plot(ix - 2, iy + d, kInsertColour);
                raster.plot(ix + 2, iy + d, kInsertColour);
            }
            break;
        }
    }

    // The coordinate file's points on top.
    raster.prepareTriangle(points_.size() < 5000 ? 5 : points_.size() < 20000 ? 3 : 2);
    for (const PlanPoint& p : points_)
        raster.triangle(px(p.x), py(p.y));

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = this->font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double line = metrics.height(), pad = kPad;
    if (outline_.pathEnds.empty() && outline_.arcs.empty() && outline_.marks.empty() && points_.empty()) {
        painter.setPen(QColor(120, 120, 120));
        painter.drawText(QRectF(0, 0, w, h), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("Επιλέξτε ένα σχέδιο DXF: εδώ φαίνεται μεταφερμένο με τις παραμέτρους, "
                                        "μαζί με τα σημεία του αρχείου συντεταγμένων."));
    } else {
        // The key, top left.
        const QString names[] = {QStringLiteral("σχέδιο"), QStringLiteral("κείμενο"), QStringLiteral("σημείο εισαγωγής block"),
                                 QStringLiteral("σημεία του αρχείου συντεταγμένων")};
        double textWidth = 0;
        for (const QString& name : names)
            textWidth = std::max(textWidth, metrics.horizontalAdvance(name));
        const QRectF box(pad, pad, textWidth + 4 * pad + 12, 4 * line + 2 * pad);
        paintNote(painter, box);
        const QRgb colours[] = {kDrawingColour, kTextColour, kInsertColour, kPointEdge};
        for (int i = 0; i < 4; ++i) {
            const QPointF at(box.left() + pad + 6, box.top() + pad + (i + 0.5) * line);
            painter.setPen(QPen(QColor(colours[i]), 1.5));
            painter.setBrush(Qt::NoBrush);
            if (i == 0)
                painter.drawLine(at - QPointF(6, 0), at + QPointF(6, 0));
            else if (i == 1) {
                painter.drawLine(at - QPointF(3, 0), at + QPointF(3, 0));
                painter.drawLine(at - QPointF(0, 3), at + QPointF(0, 3));
            } else if (i == 2)
                painter.drawRect(QRectF(at - QPointF(3, 3), at + QPointF(3, 3)));
            else
                painter.drawPolygon(QPolygonF({at + QPointF(0, -6), at + QPointF(5, 3), at + QPointF(-5, 3)}));
            painter.setPen(Qt::black);
            painter.drawText(QPointF(at.x() + 6 + pad, at.y() + metrics.ascent() / 2 - 1), names[i]);
        }
    }
    paintFurniture(painter, w, h, view, 1.0);
}

void DrawingPlot::paintEvent(QPaintEvent*)
{
    if (image_.size() != size())
        image_ = QImage(size(), QImage::Format_RGB32);
    paintPlan(image_, view());
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

}  // namespace tavrelo
