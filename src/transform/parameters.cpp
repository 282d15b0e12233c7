#include "transform/parameters.h"

#include "data/point_table.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <cmath>

namespace tavrelo {

double directionBearing(double dX, double dY)
{
    const double PI = kPiCompute;
    if (dY == 0.0)
        return dX < 0.0 ? 3 * PI / 2 : PI / 2;  // along the X axis; two coinciding points give PI/2
    const double a = std::atan(dX / dY);  // principal value, -PI/2 .. PI/2
    if (dY < 0.0)
        return PI + a;
    if (dX < 0.0)
        return 2 * PI + a;
    return a;
}

double rotationGrads(double rho)
{
    return ((std::floor(rho * kAngleQuantum) / kAngleQuantum) * 200) / kPiCompute;
}

namespace {

// A coordinate of a picked row as a number for arithmetic: empty counts as 0, a text fails.
double sourceCoordinate(const PointRecord& record, const Value& v, const char* field, int point)
{
    double n = 0.0;
    if (!v.arithmetic(n))
        throw Failure("Το " + std::string(field) + " του κοινού σημείου " + std::to_string(point) + " (σημείο " +
                      inQuotes(windows1253ToUtf8(record.Pn)) + ") δεν είναι αριθμός: " +
                      inQuotes(windows1253ToUtf8(v.text)) + ". Δεν έγινε υπολογισμός.");
    return n;
}

double typedCoordinate(const std::string& text, const char* box, char separator)
{
    const auto n = readTypedNumber(text, separator);
    if (!n)
        throw Failure("Το κείμενο «" + text + "» του πεδίου " + box +
                      " δεν είναι αριθμός. Δεν έγινε υπολογισμός.");
    return *n;
}

bool anyTargetMissing(const CommonPointInput& in)
{
    for (const std::string* text : {&in.X1N, &in.Y1N, &in.h1N, &in.X2N, &in.Y2N, &in.h2N})
        if (text->empty())
            return true;
    return false;
}

void requireFinite(double value)
{
    if (!std::isfinite(value))
        throw Failure("Οι συντεταγμένες δίνουν αποτέλεσμα εκτός ορίων αριθμών. Δεν έγινε υπολογισμός.");
}

}  // namespace

std::optional<ParameterResult> computeParameters(const CommonPointInput& in, const HandoffFiles& handoff,
                                                 char decimalSeparator)
{
    // 1. Completeness first: with a target text missing no file is read.
    if (anyTargetMissing(in))
        return std::nullopt;

    // 2. Source points, from the coordinate file read afresh.
    const LoadedPoints points = loadPointTable(handoff);
    if (in.row1 < 0 || in.row1 >= points.count)
        throw Failure("Δεν έχει επιλεγεί το κοινό σημείο 1. Δεν έγινε υπολογισμός.");
    if (in.row2 < 0 || in.row2 >= points.count)
        throw Failure("Δεν έχει επιλεγεί το κοινό σημείο 2. Δεν έγινε υπολογισμός.");
    return computeParametersFor(points.table.row(in.row1), points.table.row(in.row2), in, decimalSeparator);
}

std::optional<ParameterResult> computeParametersFor(const PointRecord& point1, const PointRecord& point2,
                                                    const CommonPointInput& in, char decimalSeparator)
{
    // 1. Completeness: only the empty string counts as missing (a text of blanks is present).
    if (anyTargetMissing(in))
        return std::nullopt;

    const double X1 = sourceCoordinate(point1, point1.X, "X", 1);
    const double Y1 = sourceCoordinate(point1, point1.Y, "Y", 1);
    const double h1 = sourceCoordinate(point1, point1.h, "h", 1);
    const double X2 = sourceCoordinate(point2, point2.X, "X", 2);
    const double Y2 = sourceCoordinate(point2, point2.Y, "Y", 2);
    const double h2 = sourceCoordinate(point2, point2.h, "h", 2);
    const double X1N = typedCoordinate(in.X1N, "X1N", decimalSeparator);
    const double Y1N = typedCoordinate(in.Y1N, "Y1N", decimalSeparator);
    const double h1N = typedCoordinate(in.h1N, "h1N", decimalSeparator);
    const double X2N = typedCoordinate(in.X2N, "X2N", decimalSeparator);
    const double Y2N = typedCoordinate(in.Y2N, "Y2N", decimalSeparator);
    const double h2N = typedCoordinate(in.h2N, "h2N", decimalSeparator);

    const double PI = kPiCompute;
    ParameterResult result;

    // 3. Lengths of the line 1-2 in both systems; warn when they differ by more than the
    //    tolerance, whether or not the scale is wanted.
    const double ds = std::sqrt((X1 - X2) * (X1 - X2) + (Y1 - Y2) * (Y1 - Y2));
    const double dt = std::sqrt((X1N - X2N) * (X1N - X2N) + (Y1N - Y2N) * (Y1N - Y2N));
    const double e = std::fabs(ds - dt);
    requireFinite(e);
    result.distanceMismatch = e > kDistanceTolerance;

    // 4. Scale: target length over source length, or exactly "1" when not wanted.
    if (in.scaleWanted) {
        if (ds == 0.0)
            throw Failure("Τα δύο κοινά σημεία συμπίπτουν στο αρχικό σύστημα (μήκος 0): "
                          "η κλίμακα δεν υπολογίζεται. Δεν έγινε υπολογισμός.");
        const double k = dt / ds;
        requireFinite(k);
        result.klimax = generalNumberForm(k, decimalSeparator);
    } else {
        result.klimax = "1";
    }

    // 5. Height shift: source minus target, averaged over the two points.
    const double Dh = ((h1 - h1N) + (h2 - h2N)) / 2;
    requireFinite(Dh);
    result.Dh = generalNumberForm(Dh, decimalSeparator);

    // 6. Bearings of the line 1-2 in both systems.
    const double as = directionBearing(X2 - X1, Y2 - Y1);
    const double at = directionBearing(X2N - X1N, Y2N - Y1N);

    // 7. Rotation, not reduced to a standard range, cut down to 1/10000000 rad, in grads.
    const double rho = at - as;
    const double phi = rotationGrads(rho);
    requireFinite(phi);
    result.f = generalNumberForm(phi, decimalSeparator);

    // 8. Shift of common point 1, target minus source.
    const double dx1 = X1N - X1;
    const double Dy1 = Y1N - Y1;
    requireFinite(dx1);
    requireFinite(Dy1);
    result.dx1 = generalNumberForm(dx1, decimalSeparator);
    result.Dy1 = generalNumberForm(Dy1, decimalSeparator);

    // 9. Accuracy figure: the angle lost by the cut of the rotation, carried to common
    //    point 1's target position, combined with the length mismatch. The rotation and the
    //    scale are taken back from their texts, as shown.
    const double phiShown = *readTypedNumber(result.f, decimalSeparator);
    const double r = rho - phiShown * PI / 200;
    const double kShown = *readTypedNumber(result.klimax, decimalSeparator);
    const double u = std::sqrt((1 - kShown) * (1 - kShown));
    const double sinR = std::sin(r);
    const double t2 = std::sqrt((X1N * sinR) * (X1N * sinR) + (Y1N * sinR) * (Y1N * sinR));
    const double sigma = std::floor((t2 * (u + 1)) / 4 * 1000 + (e / 2) * 1000) / 10000;
    requireFinite(sigma);
    result.SD = generalNumberForm(sigma, decimalSeparator);

    return result;
}

}  // namespace tavrelo
