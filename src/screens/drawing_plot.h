#pragma once
// The plan of a carried drawing: its lines, polylines, arcs and circles, its points, text
// anchors and insert points, with the points of the coordinate file carried by the same
// parameters as triangles on top, so the user sees the drawing land on its points. A plan view:
// X to the right, Y up, wheel zoom, drag pan, double click shows all.
//
// Drawn straight into the pixels of an image, not through the painter's lines: a drawing of a
// million entities repaints in a few milliseconds.

#include "drawing/drawing_outline.h"
#include "screens/plan_view.h"

#include <QImage>

#include <cstdint>

#include <vector>

namespace tavrelo {

class DrawingPlot : public PlanView {
    Q_OBJECT
public:
    explicit DrawingPlot(QWidget* parent = nullptr);

    // The drawing and the points to show, everything shown; an empty outline and no points
    // show the plan empty.
    void setDrawing(DrawingOutline outline, std::vector<PlanPoint> points);
    const DrawingOutline& outline() const { return outline_; }
    const std::vector<PlanPoint>& points() const { return points_; }

    // Draws the plan into an image of `size`, as the screen shows it with `view`.
    void paintPlan(QImage& image, const PlotView& view) const;

protected:
    QRectF bounds() const override;
    void paintEvent(QPaintEvent* event) override;

private:
    // A grid over a large drawing: the paths of each cell and the box they fill, so a plan
    // zoomed in goes only through the paths of the cells in sight. The paths of a large
    // drawing are kept cell by cell.
    struct PathCell {
        double minX = 0, minY = 0, maxX = 0, maxY = 0;
        std::uint32_t first = 0, count = 0;  // paths
    };
    static constexpr std::size_t kIndexedPaths = 20000;
    void indexPaths();
    // The lines, polylines, circles and arcs: the `share`-th of every `shares` of them.
    void paintLines(QImage& image, const PlotView& view, unsigned share, unsigned shares) const;
    // From this many vertices (an arc counting as eight) the lines are drawn by two threads.
    static constexpr std::size_t kSharedPaint = 50000;

    DrawingOutline outline_;
    std::vector<PathCell> pathCells_;
    std::vector<PlanPoint> points_;
    QImage image_;  // kept from paint to paint
    mutable QImage second_;  // the second half of a large drawing's lines
};

}  // namespace tavrelo
