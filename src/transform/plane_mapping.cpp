#include "transform/plane_mapping.h"

#include "data/file_io.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"

#include <cmath>

namespace tavrelo {

namespace {

const char* const kParameterNames[] = {"f (στροφή)", "X1", "Y1", "Dh", "klimax (κλίμακα)", "X1N", "Y1N"};

// A parameter for arithmetic: the number, 0 when empty; a text cannot be used.
double parameter(const Value& v, int index, const std::filesystem::path& parameterFile)
{
    double n = 0.0;
    if (!v.arithmetic(n))
        throw Failure("Η παράμετρος " + std::string(kParameterNames[index]) + " του αρχείου " +
                      inQuotes(utf8Path(parameterFile)) + " δεν είναι αριθμός: " +
                      inQuotes(windows1253ToUtf8(v.text)) + ". Υπολογίστε ξανά τις παραμέτρους στα κοινά σημεία.");
    return n;
}

}  // namespace

PlaneMapping::PlaneMapping(const TransformParameters& p, const std::filesystem::path& parameterFile,
                           Direction direction)
    : f_(parameter(p.f, 0, parameterFile)),
      X1_(parameter(p.X1, 1, parameterFile)),
      Y1_(parameter(p.Y1, 2, parameterFile)),
      Dh_(parameter(p.Dh, 3, parameterFile)),
      k_(parameter(p.klimax, 4, parameterFile)),
      X1N_(parameter(p.X1N, 5, parameterFile)),
      Y1N_(parameter(p.Y1N, 6, parameterFile)),
      // Rotation in radians: f times the constant first, then divided by 200.
      theta_(f_ * kPiApply / 200),
      cosTheta_(std::cos(theta_)),
      sinTheta_(std::sin(theta_)),
      cosMinus_(std::cos(-theta_)),
      sinMinus_(std::sin(-theta_)),
      inverse_(direction == Direction::Inverse)
{
    // The way back divides by the scale.
    if (inverse_ && k_ == 0)
        throw Failure("Η κλίμακα (klimax) του αρχείου " + inQuotes(utf8Path(parameterFile)) +
                      " είναι 0: ο μετασχηματισμός δεν αντιστρέφεται. Υπολογίστε ξανά τις παραμέτρους στα κοινά σημεία.");
    // The shift of common point 1 stands in the result file's header: it must be a number.
    if (!std::isfinite(X1N_ - X1_) || !std::isfinite(Y1N_ - Y1_))
        throw Failure("Οι παράμετροι του αρχείου " + inQuotes(utf8Path(parameterFile)) +
                      " δίνουν μετατόπιση εκτός ορίων αριθμών. Υπολογίστε ξανά τις παραμέτρους στα κοινά σημεία.");
}

void PlaneMapping::turn(double x, double y, double& X, double& Y) const
{
    if (!inverse_) {
        X = x * cosTheta_ + y * sinTheta_;
        Y = y * cosTheta_ - x * sinTheta_;
        return;
    }
    X = x * cosTheta_ - y * sinTheta_;
    Y = x * sinTheta_ + y * cosTheta_;
}

}  // namespace tavrelo
