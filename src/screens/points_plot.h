#pragma once
// The plan of the fit: every point of the coordinate file as a small dot, the common points as
// labelled triangles coloured by how they take part, and their residuals as exaggerated
// vectors, on a plan view (X to the right, Y up, one scale for both, wheel zoom, drag pan,
// double click shows all). The tooltip of a common point gives its Pn and v, and a click on it
// picks it.

#include "screens/plan_view.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

namespace tavrelo {

// A common point as the plan shows it.
struct PlotPoint {
    QString label;
    double x = 0.0, y = 0.0;               // in the coordinate file
    bool used = true;                      // takes part in the fit
    bool overTolerance = false;            // its v exceeds the tolerance
    std::optional<double> vX, vY, v;       // residual in the target system, when a fit stands
};

class PointsPlot : public PlanView {
    Q_OBJECT
public:
    explicit PointsPlot(QWidget* parent = nullptr);

    void setPlan(const std::vector<PlanPoint>& plan);
    // `residualTurn` (radians) turns the target-system residuals into the directions of the
    // coordinate file's plan: the fit's rotation t.
    void setCommonPoints(std::vector<PlotPoint> points, double residualTurn);

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

signals:
    // A click on a common point, not a drag.
    void pointPicked(int index);

protected:
    QRectF bounds() const override;
    void clickedAt(const QPointF& pixel) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void drawDots(QPainter& painter, const QRect& area, const PlotView& view, double pixelSize) const;

    std::vector<PlanPoint> dots_;
    std::vector<PlotPoint> common_;
    double residualTurn_ = 0.0;
    double residualFactor_ = 0.0;  // of the last paint on the screen
    int marked_ = -1;
};

}  // namespace tavrelo
