#include "transform/similarity_fit.h"

#include "text/codepage.h"
#include "text/failure.h"
#include "text/number_form.h"
#include "transform/apply_transformation.h"

#include <cmath>

namespace tavrelo {

void requireTolerance(const FitOptions& options)
{
    if (!(options.tolerance >= 0) || !std::isfinite(options.tolerance))
        throw Failure("Η ανοχή πρέπει να είναι μη αρνητικός αριθμός. Δεν έγινε υπολογισμός.");
}

void requireFiniteFigure(double value)
{
    if (!std::isfinite(value))
        throw Failure("Τα κοινά σημεία δίνουν αποτέλεσμα εκτός ορίων αριθμών. Δεν έγινε υπολογισμός.");
}

SimilarityFit fitSimilarity(const std::vector<CommonPoint>& points, const std::vector<bool>& useIn,
                            const FitOptions& options)
{
    requireTolerance(options);
    std::vector<bool> use(points.size(), false);
    for (std::size_t i = 0; i < points.size() && i < useIn.size(); ++i)
        use[i] = useIn[i];

    SimilarityFit fit;
    fit.scaleWanted = options.scaleWanted;
    fit.tolerance = options.tolerance;
    for (bool u : use)
        fit.used += u;
    if (fit.used < 2)
        throw Failure("Σε χρήση " + std::string(fit.used == 1 ? "είναι μόνο ένα κοινό σημείο" : "δεν είναι κανένα κοινό σημείο") +
                      ": η προσαρμογή με ελάχιστα τετράγωνα θέλει τουλάχιστον δύο. Δεν έγινε υπολογισμός.");
    const int n = fit.used;

    // The pivot: the centroids of the used points in both systems.
    fit.X1 = meanOfUsed(points, use, n, [](const CommonPoint& p) { return p.x; });
    fit.Y1 = meanOfUsed(points, use, n, [](const CommonPoint& p) { return p.y; });
    fit.X1N = meanOfUsed(points, use, n, [](const CommonPoint& p) { return p.X; });
    fit.Y1N = meanOfUsed(points, use, n, [](const CommonPoint& p) { return p.Y; });
    for (double v : {fit.X1, fit.Y1, fit.X1N, fit.Y1N})
        requireFiniteFigure(v);

    // Sums over the used points reduced to their centroids: a, b in the coordinate file,
    // A, B in the target system. The least-squares k·cos t is P/S and k·sin t is Q/S.
    long double S = 0, P = 0, Q = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!use[i])
            continue;
        const long double a = points[i].x - fit.X1, b = points[i].y - fit.Y1;
        const long double A = points[i].X - fit.X1N, B = points[i].Y - fit.Y1N;
        S += a * a + b * b;
        P += a * A + b * B;
        Q += b * A - a * B;
    }
    if (S == 0)
        throw Failure("Τα κοινά σημεία σε χρήση συμπίπτουν στο αρχείο συντεταγμένων (όλα στην ίδια θέση): "
                      "η στροφή δεν ορίζεται. Δεν έγινε υπολογισμός.");
    for (long double sum : {S, P, Q})
        requireFiniteFigure(static_cast<double>(sum));

    // The turn of every bearing (counted from +Y towards +X), radians in (−π, π].
    fit.t = static_cast<double>(std::atan2(Q, P));
    if (options.scaleWanted) {
        fit.klimax = static_cast<double>(std::sqrt(P * P + Q * Q) / S);
        if (!(fit.klimax > 0) || !std::isfinite(fit.klimax))
            throw Failure("Η κλίμακα βγαίνει " + generalNumberForm(fit.klimax) +
                          ": τα κοινά σημεία σε χρήση συμπίπτουν στο σύστημα προορισμού. Δεν έγινε υπολογισμός.");
    }
    // In grads through the save step's own π, so that it turns by exactly t.
    fit.f = fit.t * 200 / kPiApply;

    // Residuals: the mapping's own arithmetic about the centroids.
    const double c = std::cos(fit.t), s = std::sin(fit.t), k = fit.klimax;
    completeFit(
        points, use, options.scaleWanted ? 4 : 3,
        [&](const CommonPoint& p, double& vX, double& vY) {
            const double a = p.x - fit.X1, b = p.y - fit.Y1;
            vX = k * (a * c + b * s) - (p.X - fit.X1N);
            vY = k * (b * c - a * s) - (p.Y - fit.Y1N);
        },
        fit);
    return fit;
}

SimilarityFit dropOutliers(const std::vector<CommonPoint>& points, std::vector<bool>& use,
                           const FitOptions& options)
{
    use.resize(points.size(), false);
    return dropWorstPoints<SimilarityFit>(use, 2, options.tolerance,
                                          [&] { return fitSimilarity(points, use, options); });
}

ParameterLines parameterLinesOf(const SimilarityFit& fit)
{
    ParameterLines lines;
    lines.f = generalNumberForm(fit.f);
    appendPrintForm(lines.X1, fit.X1);
    appendPrintForm(lines.Y1, fit.Y1);
    lines.Dh = generalNumberForm(fit.Dh);
    lines.klimax = generalNumberForm(fit.klimax);
    lines.X1N = generalNumberForm(fit.X1N);
    lines.Y1N = generalNumberForm(fit.Y1N);
    return lines;
}

}  // namespace tavrelo
